#include "file_list_build.h"

#include <algorithm>

#include "control.h"
#include "file_list.h"
#include "message_pump.h"
#include "text.h"

namespace {

// Lines per piece: a text box lays out every line it receives, which under Wine takes tens of
// microseconds each, so a piece of this size keeps every pause of the window short (about 50 ms).
constexpr std::size_t Lines_Per_Piece = 1000;

bool Still_There(const Control& box) { return box.Hwnd() != nullptr && !Quit_Requested(); }

}  // namespace

bool File_List_Build::Restart_If_Running() {
    if (!running_) return false;
    restart_ = true;
    return true;
}

bool File_List_Build::Run(Control& box, const std::vector<Control*>& readers, const std::function<Source()>& source) {
    running_ = true;
    // The build lets messages run: a click meanwhile must not save or use half a list.
    std::vector<bool> were_enabled;
    for (Control* c : readers) {
        were_enabled.push_back(c->Enabled());
        c->Set_Enabled(false);
    }
    bool alive = true;
    do {
        restart_ = false;
        const Source s = source();
        alive = Fill(box, s.Folder, s.Sub_Folders);
    } while (alive && restart_);
    running_ = false;
    restart_ = false;
    if (alive) {
        for (std::size_t i = 0; i < readers.size(); ++i) readers[i]->Set_Enabled(were_enabled[i]);
    }
    return alive;
}

bool File_List_Build::Fill(Control& box, const std::wstring& folder, bool sub_folders) {
    // Typing into the box while the list is built would mix with it.
    box.Set_Locked(true);
    box.Set_Caption(L"");
    const std::vector<std::wstring> lines = File_List_Lines(folder, sub_folders, [] { (void)Do_Events_Sometimes(); });
    if (!Still_There(box)) return false;
    // Whatever reached the box while the search ran gives way to the list.
    box.Set_Caption(L"");
    // A shown box scrolls along with every piece, which costs as much again as taking the piece: a
    // long list goes in while the box is hidden.
    const bool was_visible = box.Visible();
    const bool long_list = lines.size() > Lines_Per_Piece;
    if (long_list) box.Set_Visible(false);
    std::wstring piece;
    for (std::size_t first = 0; first < lines.size() && !restart_; first += Lines_Per_Piece) {
        piece.clear();
        const std::size_t end = std::min(lines.size(), first + Lines_Per_Piece);
        for (std::size_t i = first; i < end; ++i) {
            if (i > 0) piece += Get_CrLf();
            piece += lines[i];
        }
        box.Append_Text(piece);
        Do_Events();
        if (!Still_There(box)) return false;
    }
    if (long_list) box.Set_Visible(was_visible);
    box.Select_Text(0, 0);  // the list from its first line
    box.Set_Locked(false);
    return true;
}
