#include "text_box_fill.h"

#include "control.h"

namespace {

// Lines per piece: about 50 ms of a text box's layout under Wine, so the window answers between them.
constexpr std::size_t Lines_Per_Piece = 1000;
// The pause before the next piece: the timer is set again after each piece, so that a loop that lets
// messages run until none are left (as waits do) takes one piece, not the whole text at once.
constexpr UINT Pause_Ms = 15;

}  // namespace

void Text_Box_Fill::Start(Control& box, std::wstring text) {
    Stop();
    text_ = std::move(text);
    put_ = 0;
    std::size_t lines = 0;
    for (std::size_t at = text_.find(L"\r\n"); at != std::wstring::npos && lines <= Lines_Per_Piece;
         at = text_.find(L"\r\n", at + 2))
        ++lines;
    if (lines <= Lines_Per_Piece || !box.Hwnd()) {
        box.Set_Caption(text_);
        put_ = text_.size();
        return;
    }
    box_ = &box;
    // A shown box scrolls along with every piece, which costs as much again as taking the piece.
    was_visible_ = box.Visible();
    box.Set_Visible(false);
    box.Set_Locked(true);
    box.Set_Caption(L"");
    // The timer's message comes after input and painting: the window stays usable while the box fills.
    SetTimer(box.Hwnd(), reinterpret_cast<UINT_PTR>(this), Pause_Ms, &Text_Box_Fill::On_Timer);
}

void Text_Box_Fill::Stop() {
    if (!box_) return;
    Control* box = box_;
    box_ = nullptr;
    if (box->Hwnd()) KillTimer(box->Hwnd(), reinterpret_cast<UINT_PTR>(this));
    box->Set_Locked(false);
    box->Set_Visible(was_visible_);
}

void CALLBACK Text_Box_Fill::On_Timer(HWND, UINT, UINT_PTR id, DWORD) {
    reinterpret_cast<Text_Box_Fill*>(id)->Next_Piece();
}

void Text_Box_Fill::Next_Piece() {
    if (!box_) return;
    KillTimer(box_->Hwnd(), reinterpret_cast<UINT_PTR>(this));
    // Each piece but the first starts with the line break that ends the line before it.
    std::size_t from = put_ == 0 ? 0 : put_ + 2;
    std::size_t end = std::wstring::npos;
    for (std::size_t lines = 0; lines < Lines_Per_Piece; ++lines) {
        end = text_.find(L"\r\n", from);
        if (end == std::wstring::npos) break;
        from = end + 2;
    }
    if (end == std::wstring::npos) end = text_.size();
    box_->Append_Text(text_.substr(put_, end - put_));
    put_ = end;
    if (put_ < text_.size()) {
        SetTimer(box_->Hwnd(), reinterpret_cast<UINT_PTR>(this), Pause_Ms, &Text_Box_Fill::On_Timer);
        return;
    }
    Control* box = box_;
    Stop();
    box->Select_Text(0, 0);  // the list from its first line
}
