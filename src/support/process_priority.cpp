#include "process_priority.h"

Raised_Priority::Raised_Priority() {
    const DWORD current = GetPriorityClass(GetCurrentProcess());
    // A class the user set higher already is kept.
    if (current != NORMAL_PRIORITY_CLASS && current != BELOW_NORMAL_PRIORITY_CLASS && current != IDLE_PRIORITY_CLASS)
        return;
    if (SetPriorityClass(GetCurrentProcess(), ABOVE_NORMAL_PRIORITY_CLASS)) before_ = current;
}

Raised_Priority::~Raised_Priority() {
    if (before_ != 0) (void)SetPriorityClass(GetCurrentProcess(), before_);
}
