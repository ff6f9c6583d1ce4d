#pragma once
// One take-back at a time. A take-back's Excel calls let window messages run (a busy Excel is waited
// for), so the button or the hot key can be pressed again while one is being made. Such a press
// waits its turn instead of starting a second take-back inside the first: the one being made takes
// back one paste per press, in order, once it is done. Presses that come while a paste is being
// made wait for its end (Hold), so that they take back that paste too.
//
//     if (!turns.Press()) return;          // the take-back being made will make this one too
//     while (turns.Next()) { ... take back one paste; on a refusal turns.Drop_Waiting() ... }
class Take_Back_Turns {
public:
    // A press. True when the caller is to make the turns now; false when a take-back is being made,
    // which makes this one after its own.
    [[nodiscard]] bool Press() {
        ++waiting_;
        return !running_;
    }
    // Starts the next turn (one fewer waiting) and true, or false when none waits: the turns are over.
    [[nodiscard]] bool Next() {
        running_ = waiting_ > 0;
        if (running_) --waiting_;
        return running_;
    }
    // The presses wait on, for whoever calls Next later (a paste is being made).
    void Hold() { running_ = false; }
    // Forgets the presses that wait (the user was shown why a take-back was not made).
    void Drop_Waiting() { waiting_ = 0; }

    bool Running() const { return running_; }
    int Waiting() const { return waiting_; }

private:
    int waiting_ = 0;
    bool running_ = false;
};
