#pragma once
// Owners for global memory blocks, the currency of the clipboard.
#include <windows.h>

#include <cstddef>
#include <string_view>

#include "owned_handle.h"

// A block the program allocated: freed at the end of its scope unless Release hands it to a new owner
// (SetClipboardData takes it once it succeeds; until then it is still the program's to free).
struct Free_Global {
    void operator()(HGLOBAL h) const { GlobalFree(h); }
};
using Global_Memory = Owned_Handle<HGLOBAL, Free_Global>;

// A block locked for the life of a scope: every successful GlobalLock is matched by one GlobalUnlock.
// Data is nullptr when the block is missing or cannot be locked.
class Global_Lock {
public:
    explicit Global_Lock(HGLOBAL block) : block_(block), data_(block ? GlobalLock(block) : nullptr) {}
    Global_Lock(const Global_Lock&) = delete;
    Global_Lock& operator=(const Global_Lock&) = delete;
    ~Global_Lock() {
        if (data_) GlobalUnlock(block_);
    }
    void* Data() const { return data_; }
    std::size_t Size() const { return data_ ? GlobalSize(block_) : 0; }
    // The whole block as bytes; empty when it is not locked.
    std::string_view Bytes() const { return data_ ? std::string_view(static_cast<const char*>(data_), Size()) : ""; }

private:
    HGLOBAL block_;
    void* data_;
};
