#pragma once
// A long text put into a text box a piece at a time after the window has shown, instead of at once:
// a text box lays out every line it receives (under Wine tens of microseconds each), so a list of
// tens of thousands of lines would hold the window for seconds. The box is hidden and locked while it
// fills; the text itself is known at once, and whoever needs it reads Shown() to tell how much of it
// the box holds so far.
#include <windows.h>

#include <string>
#include <string_view>

class Control;

class Text_Box_Fill {
public:
    Text_Box_Fill() = default;
    Text_Box_Fill(const Text_Box_Fill&) = delete;
    Text_Box_Fill& operator=(const Text_Box_Fill&) = delete;
    ~Text_Box_Fill() { Stop(); }

    // A short text goes into the box at once; a long one starts filling it, one piece of lines per
    // turn of the message loop.
    void Start(Control& box, std::wstring text);
    // The box gives up what is left (its text is being replaced); it is shown and unlocked.
    void Stop();
    bool Filling() const { return box_ != nullptr; }
    // What the box holds of the text so far (the whole text once it is filled).
    std::wstring_view Shown() const { return std::wstring_view(text_).substr(0, put_); }

private:
    static void CALLBACK On_Timer(HWND, UINT, UINT_PTR id, DWORD);
    void Next_Piece();

    Control* box_ = nullptr;
    bool was_visible_ = false;
    std::wstring text_;
    std::size_t put_ = 0;
};
