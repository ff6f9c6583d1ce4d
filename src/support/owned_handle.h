#pragma once
// One owner for the many Win32 handle kinds that are closed by a single call: not copyable, movable,
// the old handle closed before a new one is taken. Close is a small function object, so that the
// owner costs no more than the handle; a handle of nullptr is no handle.
//
//   using Kernel_Handle = Owned_Handle<HANDLE, Close_Kernel_Handle>;
//   const Kernel_Handle process(OpenProcess(...));  if (!process) return false;
#include <utility>

template <class Handle, class Close>
class Owned_Handle {
public:
    Owned_Handle() = default;
    explicit Owned_Handle(Handle h) : h_(h) {}
    Owned_Handle(const Owned_Handle&) = delete;
    Owned_Handle& operator=(const Owned_Handle&) = delete;
    Owned_Handle(Owned_Handle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    Owned_Handle& operator=(Owned_Handle&& o) noexcept {
        if (this != &o) Reset(std::exchange(o.h_, nullptr));
        return *this;
    }
    ~Owned_Handle() { Reset(); }

    Handle Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void Reset(Handle h = nullptr) {
        if (h_) Close{}(h_);
        h_ = h;
    }
    // Hands the handle over to whoever closes it from now on.
    [[nodiscard]] Handle Release() { return std::exchange(h_, nullptr); }

private:
    Handle h_ = nullptr;
};
