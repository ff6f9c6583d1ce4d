#pragma once
// RAII owners of GDI objects: not copyable, movable, the old object deleted before a new one is taken.
#include <windows.h>

#include <utility>

template <class Handle>
class Gdi_Object {
public:
    Gdi_Object() = default;
    explicit Gdi_Object(Handle h) : h_(h) {}
    Gdi_Object(const Gdi_Object&) = delete;
    Gdi_Object& operator=(const Gdi_Object&) = delete;
    Gdi_Object(Gdi_Object&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    Gdi_Object& operator=(Gdi_Object&& o) noexcept {
        if (this != &o) Reset(std::exchange(o.h_, nullptr));
        return *this;
    }
    ~Gdi_Object() { Reset(); }

    Handle Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void Reset(Handle h = nullptr) {
        if (h_) DeleteObject(h_);
        h_ = h;
    }
    Handle Release() { return std::exchange(h_, nullptr); }

private:
    Handle h_ = nullptr;
};

using Font_Handle = Gdi_Object<HFONT>;
using Bitmap_Handle = Gdi_Object<HBITMAP>;
using Brush_Handle = Gdi_Object<HBRUSH>;
