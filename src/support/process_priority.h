#pragma once
// The process's priority class raised for a while and put back as it was.
#include <windows.h>

// Raised to "above normal" for the object's lifetime. A paste run is what the user waits for on a
// machine that is rarely idle: its short bursts of work (reading a copy, pasting it) then go before
// the normal-priority work beside it (a build, a browser), while it takes nothing when idle. "High"
// would let the program hold up the user's other programs; it is not used.
class Raised_Priority {
public:
    Raised_Priority();
    Raised_Priority(const Raised_Priority&) = delete;
    Raised_Priority& operator=(const Raised_Priority&) = delete;
    ~Raised_Priority();

private:
    DWORD before_ = 0;  // 0 when the class could not be read or was not changed
};
