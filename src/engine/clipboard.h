#pragma once
// The Windows clipboard, for the whole program: the one place that opens it.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bitmap_image.h"

// Empties the clipboard. False when another program held it open throughout the retries (about
// half a second).
// may_replace, when given, is asked once the clipboard is open (nothing can change it then): false
// leaves what is there.
[[nodiscard]] bool Clipboard_Clear(const std::function<bool()>& may_replace = {});

// Changes with every change of the clipboard's content, by any program.
unsigned long Clipboard_Sequence();

// Every format the clipboard offers now, in one call: this runs for every copy, and copies may come
// milliseconds apart.
std::vector<UINT> Clipboard_Offered_Formats();

// Makes the window a clipboard format listener (it receives WM_CLIPBOARDUPDATE after every change)
// for the lifetime of the object.
class Clipboard_Listener {
public:
    explicit Clipboard_Listener(HWND window);
    Clipboard_Listener(const Clipboard_Listener&) = delete;
    Clipboard_Listener& operator=(const Clipboard_Listener&) = delete;
    ~Clipboard_Listener();
    bool Listening() const { return window_ != nullptr; }

private:
    HWND window_ = nullptr;
};

// Puts a text on the clipboard (as Unicode text; Windows offers the other text formats from it).
// may_replace, when given, is asked once the clipboard is open (nothing can change it then): false
// leaves what is there and fails the write.
[[nodiscard]] bool Clipboard_Set_Text(const std::wstring& text, const std::function<bool()>& may_replace = {});

// What the clipboard holds, read in one go.
struct Clipboard_Snapshot {
    bool Busy = false;         // another program held it open: look again at the next pass
    bool Has_Content = false;  // any of the standard formats 1 to 99 is offered
    bool Has_Text = false;     // format 1 (text) is offered
    bool Has_Picture = false;  // format 2, 3, 8 or 17 (bitmap, metafile, DIB, DIB version 5), or "PNG", is offered
    bool Png_Only = false;     // the picture is offered only as "PNG", which not every paste reads
    bool Private = false;      // the source asked clipboard watchers to leave it alone (passwords)
    std::wstring Text;         // the text, when offered
};

Clipboard_Snapshot Clipboard_Read();

// A picture as the clipboard offered it, copied out to be decoded later, away from the reading thread
// and from the paste: the copier's bytes are put back as they are when its paste needs them again.
struct Clipboard_Picture_Bytes {
    UINT Format = 0;  // CF_DIBV5, CF_DIB, CF_ENHMETAFILE (its bits) or the registered "PNG"
    std::string Bytes;
};

// A whole copy as it is on the clipboard now: the snapshot, with its picture when it offers one, and
// the sequence number it was read at. Without with_picture the copy is its text alone.
struct Clipboard_Copy {
    Clipboard_Snapshot Snapshot;
    std::optional<Bitmap_Image> Picture;
    std::optional<Clipboard_Picture_Bytes> Picture_Bytes;  // read without decoding: Ready_Copy_Picture
    unsigned long Sequence = 0;
    bool Not_Rendered = false;  // its owner did not make its data in time: nothing of it was read
};
// decode false leaves the picture's bytes as read, for Ready_Copy_Picture: the clipboard is held
// only for as long as copying them out takes.
Clipboard_Copy Clipboard_Read_Copy(bool with_picture = true, bool decode = true);
// Readies the picture bytes of a copy for its paste without decoding them, which the history does once
// the picture has landed. Only a picture offered as "PNG" alone is decoded now: its paste needs it put
// back as a bitmap, which its bytes then become. A picture 0 pixels wide or high, or offered only as
// "PNG" that cannot be decoded, has nothing to paste or keep: the copy is then its text alone. Bytes
// that are no readable picture (damaged, too large) are dropped: such a picture is pasted from the
// clipboard while it is there, and never kept.
void Ready_Copy_Picture(Clipboard_Copy& copy);
// The picture the bytes hold, as the history keeps it; nothing for bytes that hold none.
std::optional<Bitmap_Image> Decode_Picture_Bytes(const Clipboard_Picture_Bytes& picture);

// The clipboard's picture: its bitmap, its metafile drawn at its own size, or its "PNG". Nothing when it offers
// no picture, the picture is damaged or too large, or another program holds the clipboard.
std::optional<Bitmap_Image> Clipboard_Read_Picture();

// Puts a picture on the clipboard as a device-independent bitmap (Windows offers the other picture
// formats from it).
[[nodiscard]] bool Clipboard_Set_Picture(const Bitmap_Image& image, const std::function<bool()>& may_replace = {});
// Puts a picture back on the clipboard in the format and bytes it was copied in.
[[nodiscard]] bool Clipboard_Put_Picture_Bytes(const Clipboard_Picture_Bytes& picture,
                                               const std::function<bool()>& may_replace = {});
