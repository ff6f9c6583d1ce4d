#pragma once
// RAII owners of GDI objects and of the other handles the window code makes: not copyable, movable,
// the old object deleted before a new one is taken.
#include <windows.h>

#include <commctrl.h>

#include <utility>

#include "owned_handle.h"

struct Delete_Gdi_Object {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
template <class Handle>
using Gdi_Object = Owned_Handle<Handle, Delete_Gdi_Object>;

using Font_Handle = Gdi_Object<HFONT>;
using Bitmap_Handle = Gdi_Object<HBITMAP>;
using Brush_Handle = Gdi_Object<HBRUSH>;

struct Destroy_Icon {
    void operator()(HICON h) const { DestroyIcon(h); }
};
using Icon_Handle = Owned_Handle<HICON, Destroy_Icon>;

struct Destroy_Image_List {
    void operator()(HIMAGELIST h) const { ImageList_Destroy(h); }
};
using Image_List_Handle = Owned_Handle<HIMAGELIST, Destroy_Image_List>;

struct Delete_Metafile {
    void operator()(HENHMETAFILE h) const { DeleteEnhMetaFile(h); }
};
using Metafile_Handle = Owned_Handle<HENHMETAFILE, Delete_Metafile>;

// A device context made to draw into memory (CreateCompatibleDC).
struct Delete_Dc {
    void operator()(HDC h) const { DeleteDC(h); }
};
using Memory_Dc = Owned_Handle<HDC, Delete_Dc>;

// A window the program made and no parent destroys. A window that is gone already (its owner went
// first and took it along) is left alone.
struct Destroy_Window_If_There {
    void operator()(HWND h) const {
        if (IsWindow(h)) DestroyWindow(h);
    }
};
using Window_Handle = Owned_Handle<HWND, Destroy_Window_If_There>;

// A window's device context (the screen's for nullptr), borrowed with GetDC and given back with
// ReleaseDC, which needs the window as well.
class Window_Dc {
public:
    explicit Window_Dc(HWND window) : window_(window), dc_(GetDC(window)) {}
    Window_Dc(const Window_Dc&) = delete;
    Window_Dc& operator=(const Window_Dc&) = delete;
    ~Window_Dc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context for the life of a scope, then puts back the one it replaced
// (a DC must not be released or deleted with the program's object still selected).
class Selected_Object {
public:
    Selected_Object(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    Selected_Object(const Selected_Object&) = delete;
    Selected_Object& operator=(const Selected_Object&) = delete;
    ~Selected_Object() {
        if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};
