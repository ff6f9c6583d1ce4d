#pragma once
// The screen-wide mouse pointer: the hourglass while the program works, else the default.

enum class Mouse_Pointer { Default, Hourglass };

void Set_Screen_Mouse_Pointer(Mouse_Pointer pointer);
Mouse_Pointer Screen_Mouse_Pointer();

// Shows the hourglass for the life of a scope, then puts back the pointer shown before it, so that
// an early return cannot leave the hourglass on. Nested ones leave it on until the outermost ends.
//
//   const Hourglass busy;  // from here to the end of the block
class [[nodiscard]] Hourglass {
public:
    Hourglass();
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
    ~Hourglass();

private:
    Mouse_Pointer before_;
};
