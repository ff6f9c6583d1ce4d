#include "screenshot.h"

#include "driver.h"
#include "test_files.h"

namespace {

// Whether the window or one of its children still has a part waiting to be painted.
bool Paint_Pending(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return true;
    bool pending = false;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM found) -> BOOL {
            if (!GetUpdateRect(child, nullptr, FALSE)) return TRUE;
            *reinterpret_cast<bool*>(found) = true;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&pending));
    return pending;
}

}  // namespace

std::optional<Screen_Picture> Picture_On_Screen(HWND window) {
    // The window's own thread paints it, once its queue is empty: wait until nothing is left to
    // paint, then for a message answered afterwards, which comes once the last paint is over.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    (void)Wait_Until([&] { return !Paint_Pending(window); }, 5000);
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return std::nullopt;
    Screen_Picture picture;
    picture.Width = rect.right - rect.left;
    picture.Height = rect.bottom - rect.top;
    if (picture.Width <= 0 || picture.Height <= 0) return std::nullopt;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), picture.Width, -picture.Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, picture.Width, picture.Height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(memory, old);
    }
    if (copied) {
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        picture.Pixels.assign(pixels, pixels + static_cast<size_t>(picture.Width) * picture.Height);
        for (std::uint32_t& pixel : picture.Pixels) pixel &= 0xFFFFFF;
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied) return std::nullopt;
    return picture;
}

bool Save_Window_Picture(HWND window, const std::wstring& bmp_path) {
    const std::optional<Screen_Picture> picture = Picture_On_Screen(window);
    if (!picture) return false;
    // Rows from the bottom, three bytes a pixel, each row padded to four bytes.
    const DWORD stride = ((picture->Width * 3 + 3) / 4) * 4;
    const DWORD image_size = stride * picture->Height;
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + image_size;
    const BITMAPINFOHEADER info{
        sizeof(BITMAPINFOHEADER), picture->Width, picture->Height, 1, 24, BI_RGB, image_size, 0, 0, 0, 0};
    std::string file(reinterpret_cast<const char*>(&header), sizeof header);
    file.append(reinterpret_cast<const char*>(&info), sizeof info);
    std::string row(stride, '\0');
    for (int y = picture->Height - 1; y >= 0; --y) {
        for (int x = 0; x < picture->Width; ++x) {
            const std::uint32_t pixel = picture->At(x, y);
            row[x * 3] = static_cast<char>(pixel & 0xFF);
            row[x * 3 + 1] = static_cast<char>((pixel >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((pixel >> 16) & 0xFF);
        }
        file += row;
    }
    return Write_Bytes(bmp_path, file);
}
