#pragma once
// Starts COM on the calling thread for the life of a scope. Only a start that succeeded is ended:
// CoInitializeEx answers RPC_E_CHANGED_MODE when the thread already runs COM in the other model, and
// calling CoUninitialize for that would end the start that someone else made.
//
//   const Com_Init com(COINIT_MULTITHREADED);  if (!com.Usable()) return std::nullopt;
#include <objbase.h>

class [[nodiscard]] Com_Init {
public:
    explicit Com_Init(DWORD model) : hr_(CoInitializeEx(nullptr, model)) {}
    Com_Init(const Com_Init&) = delete;
    Com_Init& operator=(const Com_Init&) = delete;
    ~Com_Init() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    // COM can be used on the thread: started here (S_FALSE, started before in this model, counts and
    // is ended all the same), or running already in the other model.
    bool Usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT hr_;
};
