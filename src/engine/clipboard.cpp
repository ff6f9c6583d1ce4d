#include "clipboard.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "gdi_handles.h"
#include "global_memory.h"
#include "png_picture.h"

namespace {

// A hidden window that the clipboard is opened for, never no window: Wine lets a second opener with
// no window take the clipboard from a program that holds it open the same way, whose copy then
// fails, and Windows documents that a clipboard emptied while opened for no window has no owner,
// which makes SetClipboardData fail.
class Opener_Window {
public:
    explicit Opener_Window(bool create = true) {
        if (!create) return;
        static const bool registered = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"CellDropClipboard";
            return RegisterClassW(&wc) != 0;
        }();
        if (registered)
            hwnd_.Reset(CreateWindowExW(0, L"CellDropClipboard", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        GetModuleHandleW(nullptr), nullptr));
    }
    HWND Get() const { return hwnd_.Get(); }

private:
    Window_Handle hwnd_;
};

// Reading leaves the clipboard's owner alone: one window per thread serves every read. Emptying makes
// the opening window the owner, so a change gets a window of its own, destroyed once the clipboard
// is closed: the clipboard is left without an owner, and another program's next copy never waits
// for this program to answer WM_DESTROYCLIPBOARD.
enum class Clipboard_Use { Read, Change };

// Owns an open clipboard. Another program may hold it for a moment, so opening is tried three times,
// 10 ms apart (or as often as asked, that far apart); a caller that still finds it busy tries again
// later instead of waiting longer.
class Clipboard_Open {
public:
    explicit Clipboard_Open(Clipboard_Use use, int attempts = 3, DWORD pause_ms = 10)
        : own_window_(use == Clipboard_Use::Change) {
        thread_local Opener_Window reader;
        const HWND window = use == Clipboard_Use::Change ? own_window_.Get() : reader.Get();
        for (int attempt = 0; attempt < attempts && !open_; ++attempt) {
            open_ = OpenClipboard(window) != FALSE;
            if (!open_ && attempt + 1 < attempts) Sleep(pause_ms);
        }
    }
    Clipboard_Open(const Clipboard_Open&) = delete;
    Clipboard_Open& operator=(const Clipboard_Open&) = delete;
    ~Clipboard_Open() {
        if (open_) CloseClipboard();
    }
    bool Is_Open() const { return open_; }

private:
    Opener_Window own_window_;  // for a change only; destroyed after the clipboard is closed
    bool open_ = false;
};

// Registered formats by which password managers and the like mark a copy as not for clipboard
// history or monitoring.
UINT Exclude_Format() {
    static const UINT f = RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
    return f;
}
// Offered alone by some programs (and by Wine's bridge from the X11 clipboard) for a picture.
UINT Png_Format() {
    static const UINT f = RegisterClipboardFormatW(L"PNG");
    return f;
}
UINT History_Format() {
    static const UINT f = RegisterClipboardFormatW(L"CanIncludeInClipboardHistory");
    return f;
}

bool Dword_Is_Zero(UINT format) {
    const Global_Lock data(GetClipboardData(format));
    if (data.Size() < sizeof(DWORD)) return false;
    DWORD value = 1;
    std::memcpy(&value, data.Data(), sizeof value);
    return value == 0;
}

Clipboard_Snapshot Read_Clipboard_Now();
// The offered formats, and the text when the clipboard is open already (nothing else is read then).
Clipboard_Snapshot Read_Formats();
void Read_Open_Text(Clipboard_Snapshot& s);
std::optional<Bitmap_Image> Read_Open_Picture();
std::optional<Clipboard_Picture_Bytes> Read_Open_Picture_Bytes();
bool Open_Picture_Without_Pixels();

// Empties the clipboard and puts one format on it, copied into memory the clipboard then owns.
bool Set_Clipboard_Bytes(UINT format, const void* bytes, std::size_t size, const std::function<bool()>& may_replace) {
    Clipboard_Open clipboard(Clipboard_Use::Change);
    if (!clipboard.Is_Open() || (may_replace && !may_replace()) || !EmptyClipboard()) return false;
    Global_Memory memory(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!memory) return false;
    {
        const Global_Lock block(memory.Get());
        if (!block.Data()) return false;
        std::memcpy(block.Data(), bytes, size);
    }
    if (!SetClipboardData(format, memory.Get())) return false;
    (void)memory.Release();  // the clipboard's now
    return true;
}

// The size a metafile was recorded at, in pixels of its reference device; nothing when it has none
// or is too large for the history.
std::optional<SIZE> Metafile_Size(HENHMETAFILE metafile) {
    ENHMETAHEADER header{};
    if (!GetEnhMetaFileHeader(metafile, sizeof header, &header)) return std::nullopt;
    const long width = header.rclBounds.right - header.rclBounds.left + 1;
    const long height = header.rclBounds.bottom - header.rclBounds.top + 1;
    if (width <= 0 || height <= 0 || width > Max_Picture_Side || height > Max_Picture_Side ||
        static_cast<std::int64_t>(width) * height > Max_Picture_Pixels)
        return std::nullopt;
    return SIZE{width, height};
}

HENHMETAFILE Metafile_Of(std::string_view bits) {
    return SetEnhMetaFileBits(static_cast<UINT>(bits.size()), reinterpret_cast<const BYTE*>(bits.data()));
}

// A metafile drawn on white at the size it was recorded at, in pixels of its reference device.
std::optional<Bitmap_Image> Draw_Metafile(HENHMETAFILE metafile) {
    const std::optional<SIZE> size = Metafile_Size(metafile);
    if (!size) return std::nullopt;
    const long width = size->cx, height = size->cy;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows top to bottom, as Bitmap_Image keeps them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Bitmap_Handle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const Memory_Dc memory(CreateCompatibleDC(nullptr));
    if (!bitmap || !bits || !memory) return std::nullopt;
    HDC dc = memory.Get();
    const Selected_Object drawn_on(dc, bitmap.Get());
    RECT area{0, 0, width, height};
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    PlayEnhMetaFile(dc, metafile, &area);
    GdiFlush();
    Bitmap_Image image;
    image.Width = static_cast<int>(width);
    image.Height = static_cast<int>(height);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    image.Pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
    for (std::uint32_t& p : image.Pixels) p &= 0xFFFFFF;
    return image;
}

// A packed bitmap format of the open clipboard, decoded; nothing when it is not there or unreadable.
std::optional<Bitmap_Image> Decode_Clipboard_Dib(UINT format) {
    const Global_Lock data(GetClipboardData(format));
    if (!data.Data()) return std::nullopt;
    return Decode_Packed_Dib(data.Bytes());
}

}  // namespace

bool Clipboard_Clear(const std::function<bool()>& may_replace) {
    // Emptying is no read that can wait for the next pass: it is tried for longer.
    Clipboard_Open clipboard(Clipboard_Use::Change, 50);
    return clipboard.Is_Open() && (!may_replace || may_replace()) && EmptyClipboard() != FALSE;
}

unsigned long Clipboard_Sequence() { return GetClipboardSequenceNumber(); }

Clipboard_Listener::Clipboard_Listener(HWND window) {
    if (window && AddClipboardFormatListener(window)) window_ = window;
}

Clipboard_Listener::~Clipboard_Listener() {
    if (window_) RemoveClipboardFormatListener(window_);
}

Clipboard_Copy Clipboard_Read_Copy(bool with_picture, bool decode) {
    Clipboard_Copy copy;
    // Opened once for the whole copy, so that nobody changes it while it is read, and the sequence
    // number read meanwhile is the one of what was read. A program writing its next copy holds the
    // clipboard for a moment only: it is tried again at once, often, rather than 10 ms later, when a
    // program copying every few milliseconds would have replaced the copy twice.
    Clipboard_Open clipboard(Clipboard_Use::Read, 40, 1);
    if (!clipboard.Is_Open()) {
        copy.Snapshot.Busy = true;
        return copy;
    }
    copy.Sequence = GetClipboardSequenceNumber();
    copy.Snapshot = Read_Formats();
    copy.Snapshot.Has_Picture = copy.Snapshot.Has_Picture && with_picture;
    if (!copy.Snapshot.Has_Content) return copy;
    Read_Open_Text(copy.Snapshot);
    if (!decode) {
        if (!copy.Snapshot.Private && copy.Snapshot.Has_Picture) copy.Picture_Bytes = Read_Open_Picture_Bytes();
        return copy;
    }
    if (!copy.Snapshot.Private && copy.Snapshot.Has_Picture) copy.Picture = Read_Open_Picture();
    // A picture 0 pixels wide or high has nothing to paste or keep: the copy is its text alone.
    // A picture offered only as "PNG" that cannot be decoded has nothing to paste either.
    if (copy.Snapshot.Has_Picture && !copy.Picture && (copy.Snapshot.Png_Only || Open_Picture_Without_Pixels()))
        copy.Snapshot.Has_Picture = false;
    return copy;
}

bool Clipboard_Set_Text(const std::wstring& text, const std::function<bool()>& may_replace) {
    return Set_Clipboard_Bytes(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t), may_replace);
}

bool Clipboard_Set_Picture(const Bitmap_Image& image, const std::function<bool()>& may_replace) {
    const std::string dib = Encode_Packed_Dib(image);
    return Set_Clipboard_Bytes(CF_DIB, dib.data(), dib.size(), may_replace);
}

std::optional<Bitmap_Image> Clipboard_Read_Picture() {
    Clipboard_Open clipboard(Clipboard_Use::Read);
    if (!clipboard.Is_Open()) return std::nullopt;
    return Read_Open_Picture();
}

Clipboard_Snapshot Clipboard_Read() {
    // Unchanged since the last read (same sequence number): the same answer, without opening the
    // clipboard again. The paste loop asks five times a second, mostly of an unchanged clipboard.
    thread_local DWORD last_sequence = 0;
    thread_local Clipboard_Snapshot last;
    const DWORD sequence = GetClipboardSequenceNumber();
    if (sequence != 0 && sequence == last_sequence) return last;
    Clipboard_Snapshot s = Read_Clipboard_Now();
    last_sequence = s.Busy ? 0 : sequence;
    last = s;
    return s;
}

namespace {

Clipboard_Snapshot Read_Formats() {
    Clipboard_Snapshot s;
    bool png = false;
    // All offered formats in one call, instead of asking for 99 formats one by one every pass.
    for (UINT f : Clipboard_Offered_Formats()) {
        if (f >= 1 && f <= 99) s.Has_Content = true;
        if (f == CF_TEXT) s.Has_Text = true;
        if (f == CF_BITMAP || f == CF_METAFILEPICT || f == CF_DIB || f == CF_DIBV5) s.Has_Picture = true;
        if (f == Exclude_Format()) s.Private = true;
        if (f == Png_Format()) png = true;
    }
    if (png && !s.Has_Picture) {
        // A picture all the same, though it offers no standard format.
        s.Has_Picture = s.Png_Only = s.Has_Content = true;
    }
    return s;
}

void Read_Open_Text(Clipboard_Snapshot& s) {
    if (!s.Private && IsClipboardFormatAvailable(History_Format())) s.Private = Dword_Is_Zero(History_Format());
    if (!s.Has_Text || s.Private) return;
    const Global_Lock data(GetClipboardData(CF_UNICODETEXT));
    if (const auto* p = static_cast<const wchar_t*>(data.Data())) {
        // Bounded by the block's size: a text without its terminating zero cannot run past it.
        s.Text.assign(p, wcsnlen(p, data.Size() / sizeof(wchar_t)));
    }
}

Clipboard_Snapshot Read_Clipboard_Now() {
    Clipboard_Snapshot s = Read_Formats();
    if (!s.Has_Content) return s;
    Clipboard_Open clipboard(Clipboard_Use::Read);
    if (!clipboard.Is_Open()) {
        s.Busy = true;
        return s;
    }
    Read_Open_Text(s);
    return s;
}

// Which packed bitmap to read, 0 when none is offered. The copier's own is read, never one Windows
// makes from it on request (for a large picture that conversion takes longer than the paste): what
// Windows makes comes after every format the copier put, after the bitmap it makes too. A version 5
// bitmap the copier put itself is read before its plain one: it keeps the alpha mask of screenshot
// tools and browsers, which the plain one may drop. One made from the plain one (or from a bitmap)
// holds the same pixels and alpha bytes.
UINT Dib_Format_To_Read() {
    const std::vector<UINT> offered = Clipboard_Offered_Formats();
    const auto at = [&](UINT format) {
        return static_cast<std::size_t>(std::find(offered.begin(), offered.end(), format) - offered.begin());
    };
    const std::size_t dib = at(CF_DIB), v5 = at(CF_DIBV5), bitmap = at(CF_BITMAP), none = offered.size();
    if (v5 == none) return dib == none ? 0 : CF_DIB;
    if (dib == none || v5 < dib || v5 < bitmap) return CF_DIBV5;
    return CF_DIB;
}

std::optional<Bitmap_Image> Read_Open_Picture() {
    const UINT dib = Dib_Format_To_Read();
    if (dib == CF_DIBV5)
        if (auto image = Decode_Clipboard_Dib(CF_DIBV5)) return image;
    if (dib != 0) return Decode_Clipboard_Dib(CF_DIB);
    if (HANDLE data = GetClipboardData(CF_ENHMETAFILE)) return Draw_Metafile(static_cast<HENHMETAFILE>(data));
    if (HANDLE png = GetClipboardData(Png_Format())) {
        const Global_Lock data(png);
        if (!data.Data()) return std::nullopt;
        return Decode_Png(data.Bytes());
    }
    return std::nullopt;
}

// The bytes of one clipboard format, copied out of the open clipboard.
std::optional<std::string> Open_Format_Bytes(UINT format) {
    const Global_Lock data(GetClipboardData(format));
    if (!data.Data()) return std::nullopt;
    return std::string(data.Bytes());
}

// The picture formats in the order Read_Open_Picture reads them, copied out as they are.
std::optional<Clipboard_Picture_Bytes> Read_Open_Picture_Bytes() {
    const UINT dib = Dib_Format_To_Read();
    if (dib == CF_DIBV5)
        if (auto bytes = Open_Format_Bytes(CF_DIBV5)) return Clipboard_Picture_Bytes{CF_DIBV5, std::move(*bytes)};
    if (dib != 0)
        if (auto bytes = Open_Format_Bytes(CF_DIB)) return Clipboard_Picture_Bytes{CF_DIB, std::move(*bytes)};
    if (HANDLE data = GetClipboardData(CF_ENHMETAFILE)) {
        const UINT size = GetEnhMetaFileBits(static_cast<HENHMETAFILE>(data), 0, nullptr);
        std::string bytes(size, '\0');
        if (size == 0 ||
            GetEnhMetaFileBits(static_cast<HENHMETAFILE>(data), size, reinterpret_cast<BYTE*>(bytes.data())) != size)
            return std::nullopt;
        return Clipboard_Picture_Bytes{CF_ENHMETAFILE, std::move(bytes)};
    }
    if (auto bytes = Open_Format_Bytes(Png_Format())) return Clipboard_Picture_Bytes{Png_Format(), std::move(*bytes)};
    return std::nullopt;
}

bool Open_Picture_Without_Pixels() {
    const Global_Lock data(GetClipboardData(CF_DIB));
    return data.Data() && Dib_Without_Pixels(data.Bytes());
}

}  // namespace

std::optional<Bitmap_Image> Decode_Picture_Bytes(const Clipboard_Picture_Bytes& picture) {
    const std::string_view bytes(picture.Bytes);
    if (picture.Format == CF_DIBV5 || picture.Format == CF_DIB) return Decode_Packed_Dib(bytes);
    if (picture.Format == CF_ENHMETAFILE) {
        const Metafile_Handle metafile(Metafile_Of(bytes));
        return metafile ? Draw_Metafile(metafile.Get()) : std::nullopt;
    }
    return Decode_Png(bytes);
}

void Ready_Copy_Picture(Clipboard_Copy& copy) {
    std::optional<Clipboard_Picture_Bytes>& picture = copy.Picture_Bytes;
    // Offered only as "PNG" and not copied out (or not decoded below): nothing to paste.
    bool nothing_to_paste = copy.Snapshot.Png_Only && !picture;
    if (picture && (picture->Format == CF_DIBV5 || picture->Format == CF_DIB)) {
        nothing_to_paste = Dib_Without_Pixels(picture->Bytes);
        if (!Dib_Readable(picture->Bytes)) picture.reset();
    } else if (picture && picture->Format == CF_ENHMETAFILE) {
        const Metafile_Handle metafile(Metafile_Of(picture->Bytes));
        if (!metafile || !Metafile_Size(metafile.Get())) picture.reset();
    } else if (picture) {
        const std::optional<Bitmap_Image> image = Decode_Png(picture->Bytes);
        nothing_to_paste = !image && copy.Snapshot.Png_Only;
        if (image)
            *picture = Clipboard_Picture_Bytes{CF_DIB, Encode_Packed_Dib(*image)};
        else
            picture.reset();
    }
    if (nothing_to_paste) {
        copy.Snapshot.Has_Picture = false;
        picture.reset();
    }
}

bool Clipboard_Put_Picture_Bytes(const Clipboard_Picture_Bytes& picture, const std::function<bool()>& may_replace) {
    if (picture.Format != CF_ENHMETAFILE)
        return Set_Clipboard_Bytes(picture.Format, picture.Bytes.data(), picture.Bytes.size(), may_replace);
    Metafile_Handle metafile(Metafile_Of(picture.Bytes));
    Clipboard_Open clipboard(Clipboard_Use::Change);
    if (!metafile || !clipboard.Is_Open() || (may_replace && !may_replace()) || !EmptyClipboard() ||
        !SetClipboardData(CF_ENHMETAFILE, metafile.Get()))
        return false;
    (void)metafile.Release();  // the clipboard's now
    return true;
}

std::vector<UINT> Clipboard_Offered_Formats() {
    std::vector<UINT> formats(64);
    UINT count = 0;
    while (!GetUpdatedClipboardFormats(formats.data(), static_cast<UINT>(formats.size()), &count) &&
           GetLastError() == ERROR_INSUFFICIENT_BUFFER && formats.size() < 65536)
        formats.resize(formats.size() * 2);
    formats.resize(std::min<std::size_t>(count, formats.size()));
    return formats;
}
