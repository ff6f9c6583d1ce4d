// The copy history on the paste screen: recording, showing, saving, and picking a picture.
#include "clipboard.h"
#include "copy_history_view.h"
#include "message_box.h"
#include "message_pump.h"
#include "paste_screen.h"
#include "text.h"
#include "ui_text.h"
#include "wait.h"

void Paste_Screen::Excel_ツール_CellDrop2_RirekiText(const std::wstring& text) {
    if (Rireki_Texts.Add(text)) Excel_ツール_CellDrop2_RirekiText_Display();
}

void Paste_Screen::Excel_ツール_CellDrop2_RirekiPic(Bitmap_Image picture) {
    // The thumbnail and the files take up to a tenth of a second for a large picture: the next copy
    // does not wait for them.
    Picture_Work.Submit(std::move(picture), Rireki_Pics.Thumbnail_Side, Rireki_Pics.Folder);
}

void Paste_Screen::Put_Recorded_Pictures(std::vector<Picture_Entry> entries) {
    if (entries.empty()) return;
    for (Picture_Entry& entry : entries) Rireki_Pics.Put(std::move(entry));
    if (form_.Is_Loaded()) Excel_ツール_CellDrop2_RirekiPic_Display();
}

void Paste_Screen::Excel_ツール_CellDrop2_RirekiText_Display() {
    text_history_unshown_ = false;
    shown_texts_.assign(Rireki_Texts.Rireki_Text.begin(),
                        Rireki_Texts.Rireki_Text.begin() + Rireki_Texts.Rireki_Text_Count + 1);
    ::Excel_ツール_CellDrop2_RirekiText_Display(*Lst_Rireki, Rireki_Texts);
}

void Paste_Screen::Excel_ツール_CellDrop2_RirekiPic_Display() {
    Picture_Grid grid{form_(L"Pic_Screen"), form_(L"Pic_Scroll"), form_(L"VScroll1"), {}, Pic_Cell_Size};
    for (int i = 0; i < Rireki_Size; ++i) grid.Img_Pic[static_cast<std::size_t>(i)] = &form_(L"Img_Pic", i);
    ::Excel_ツール_CellDrop2_RirekiPic_Display(grid, Rireki_Pics);
}

void Paste_Screen::Text_Update_ツール_CellDrop2_Text(const std::wstring& mode) {
    if (mode == L"R") {
        history_reported_.clear();  // a new run
        // A save that failed is made now; while it still cannot be made, the history in memory is the
        // one that counts, and reading the folder would lose what it holds.
        if (Rireki_Texts.Loaded() && Rireki_Texts.Rireki_Text_Dirty) Text_Update_ツール_CellDrop2_Text_Write();
        if (Rireki_Texts.Loaded() && Rireki_Texts.Rireki_Text_Dirty) return;
        Lst_Rireki->Clear_List();
        shown_texts_.clear();
        Rireki_Texts.Load();
        Report_Moved_Aside(Rireki_Texts.Moved_Aside);
    } else if (mode == L"W") {
        Text_Update_ツール_CellDrop2_Text_Write();
    }
}

void Paste_Screen::Text_Update_ツール_CellDrop2_Pic(const std::wstring& mode) {
    // A load would read the scratch files of entries not put in yet a second time.
    Finish_Recorded_Pictures();
    if (mode == L"R") {
        if (Rireki_Pics.Loaded() && Rireki_Pics.Rireki_Pic_Dirty) Text_Update_ツール_CellDrop2_Pic_Write();
        if (Rireki_Pics.Loaded() && Rireki_Pics.Rireki_Pic_Dirty) return;
        Rireki_Pics.Load([] { (void)Do_Events(); });
        Report_Moved_Aside(Rireki_Pics.Moved_Aside);
    } else if (mode == L"W") {
        Text_Update_ツール_CellDrop2_Pic_Write();
    }
}

void Paste_Screen::Text_Update_ツール_CellDrop2_Text_Write() {
    Write_History(
        Ui_Text(Text_Id::Saving_Text_History), [](Paste_Screen& f) { return f.Rireki_Texts.Write(); },
        Rireki_Texts.Rireki_Text_Dirty, Rireki_Texts.Folder);
}

void Paste_Screen::Text_Update_ツール_CellDrop2_Pic_Write() {
    Finish_Recorded_Pictures();
    Write_History(
        Ui_Text(Text_Id::Saving_Picture_History), [](Paste_Screen& f) { return f.Rireki_Pics.Write(); },
        Rireki_Pics.Rireki_Pic_Dirty, Rireki_Pics.Folder);
    // The pictures are saved after the texts at every save moment that saves both.
    Report_History_Failures();
}

void Paste_Screen::Write_History(const wchar_t* caption, bool (*write)(Paste_Screen&), bool& dirty,
                                 const std::wstring& folder) {
    // The window may be gone already (closed during a run): the files are written all the same.
    Control* label = form_.Is_Loaded() ? form_.Find(L"Lbl_Error_Check") : nullptr;
    if (label) {
        label->Set_Visible(true);
        label->Set_Fore_Color(Colour{255});
        label->Set_Caption(caption);
        Do_Events();
    }
    const bool written = write(*this);
    if (label && form_.Is_Loaded()) label->Set_Visible(false);
    std::erase(history_failed_, folder);
    // What was stored stays as it was; the history stays dirty, and the next save moment makes it.
    if (written) {
        dirty = false;
    } else {
        history_failed_.push_back(folder);
        // A message box would hold every later copy while the user works in Excel.
        if (run_.In_Paste_Loop()) Show_Notice(Ui_Text(Text_Id::History_Not_Saved));
    }
}

void Paste_Screen::Report_History_Failures() {
    // Once a run for the same folders, naming every folder that failed.
    // During the paste loop the notice line has said it (Write_History); the box follows the loop.
    if (history_failed_.empty() || run_.In_Paste_Loop() || history_failed_ == history_reported_) return;
    history_reported_ = history_failed_;
    std::wstring text = Ui_Text(Text_Id::History_Not_Saved);
    for (const std::wstring& folder : history_failed_) {
        // A file that keeps the save from being made is named, so that the user can mend it.
        const std::vector<std::wstring>& blocked =
            folder == Rireki_Texts.Folder ? Rireki_Texts.Blocked : Rireki_Pics.Blocked;
        if (blocked.empty()) text += Get_CrLf() + folder;
        for (const std::wstring& path : blocked) text += Get_CrLf() + path;
    }
    Show_Message(text);
}

void Paste_Screen::Save_Pending_History_At_Exit() {
    Finish_Recorded_Pictures();
    // A run saves its histories when it ends; what could not be saved then is tried once more here.
    if (run_.Active()) return;
    if (Rireki_Texts.Loaded() && Rireki_Texts.Rireki_Text_Dirty) Text_Update_ツール_CellDrop2_Text_Write();
    if (Rireki_Pics.Loaded() && Rireki_Pics.Rireki_Pic_Dirty) Text_Update_ツール_CellDrop2_Pic_Write();
    history_reported_.clear();
    Report_History_Failures();
    // A save kept from being made by a file the user protected stays undone: the entries that
    // waited for it go with the program instead of lingering as scratch files.
    if (Rireki_Texts.Rireki_Text_Dirty && !Rireki_Texts.Blocked.empty()) Rireki_Texts.Drop_Waiting();
    if (Rireki_Pics.Rireki_Pic_Dirty && !Rireki_Pics.Blocked.empty()) Rireki_Pics.Drop_Waiting();
}

void Paste_Screen::Img_Pic_Click(int index) {
    Control* cell = form_.Find(L"Img_Pic", index);
    if (!cell || !cell->Enabled()) return;
    cell->Set_Border(true);
    Do_Events();
    // An entry whose picture cannot be read back puts nothing on the clipboard, and marks nothing.
    if (const auto picture = Rireki_Pics.Picture(index)) {
        // Marked before the write: the copy is taken as soon as the clipboard tells of it.
        run_.Mark_Next(Copy_Source::History);
        if (!Clipboard_Set_Picture(*picture)) run_.Mark_User_Copy();
    }
    Do_Events();
    Wait_Time(200);
    if (form_.Is_Loaded()) cell->Set_Border(false);
}
