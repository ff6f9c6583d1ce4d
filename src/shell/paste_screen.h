#pragma once
// The paste screen of the main form: the paste options, the file, URL and fixed-string quick lists,
// the copy history (texts and the picture grid), the notice line, the run's keys and the take-back
// button. It is what the paste loop asks for what it needs of the window.
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "copy_history.h"
#include "file_reports.h"
#include "fixed_strings.h"
#include "form.h"
#include "hot_keys.h"
#include "paste_loop.h"
#include "paste_run.h"
#include "picture_recorder.h"
#include "screen_keys.h"

class Paste_Screen : private Paste_Loop_Host {
public:
    // form: the window the screen's controls live in; app_path: the folder of the options files;
    // kotei: the fixed strings the set-up screen edits.
    Paste_Screen(Form& form, const Screen_Keys& keys, Paste_Run& run, Save_Failures& saves,
                 const std::wstring& app_path, const Fixed_Strings& kotei)
        : form_(form), keys_(keys), run_(run), saves_(saves), app_path_(app_path), kotei_(kotei) {}

    // What the paste loop asks of the window; Return_To_Setup_Screen shows the set-up screen again.
    Paste_Loop_Host& Host() { return *this; }
    std::function<void()> Return_To_Setup_Screen;

    bool Flg_Stop = false;  // the end button was pressed during a paste run
    float Pic_Cell_Size = 0;
    int Search_Position = -1;

    Text_History Rireki_Texts;
    Picture_History Rireki_Pics;
    // Makes the pasted pictures' history entries off the window's thread; every save takes them all first.
    Picture_Recorder Picture_Work;
    Paste_Options Options;

    // Roles (bound by the form's registration procedures).
    Control* Pic_Control_Paste = nullptr;  // Pic_Control(2)
    std::array<Control*, 3> Che_Table_Text{};
    Control* Che_Picture_Caption = nullptr;  // Che_Control(4): the time before each picture
    Control* Cmd_Paste_End = nullptr;        // Cmd_Control(4)
    Control* Cmd_Take_Back = nullptr;        // Cmd_Control(14)
    Control* Che_Picture_Number = nullptr;   // Che_Control(5): pictures numbered as steps
    Control* Txt_Picture_Number = nullptr;   // Txt_File(2): the next step number
    Control* Che_Move_Past = nullptr;        // Che_Control(6): the cell after a picture is clear of it
    Control* Cmd_New_Sheet = nullptr;        // Cmd_Control(15)
    Control* Cmd_Paste_History = nullptr;    // Cmd_Control(16)
    Control* Pic_Container_Paste = nullptr;  // Pic_Container(0)
    Control* Pic_Container_Move = nullptr;   // Pic_Container(1)
    std::array<Control*, 2> Pic_Container_Picture{};
    std::array<Control*, 2> Pic_Container_Text{};
    Control* Label1_Target = nullptr;    // Label1(13): target path on the paste screen
    Control* Label1_Folder = nullptr;    // Label1(9): folder on the paste screen
    Control* Label1_Hot_Keys = nullptr;  // Label1(20): the run's keys that are not held
    Control* Label1_Waiting = nullptr;   // Label1(21): the notice line (a busy Excel, a failed paste)
    Control* Lst_File = nullptr;         // Lst_Select(0)
    Control* Lst_Url = nullptr;          // Lst_Select(1)
    Control* Lst_Rireki = nullptr;       // Lst_Select(2)
    Control* Lst_Kotei_Paste = nullptr;  // Lst_Select(4)
    std::array<Control*, 2> Opt_Table_Paste{};
    std::array<Control*, 2> Opt_Table_Move{};
    std::array<Control*, 3> Opt_Table_Text{};
    std::array<Control*, 9> Opt_Table_Picture{};
    std::array<Control*, 4> Opt_Table_Zoom{};

    // Table procedures.
    void Object_Table_To_IndexSearch(std::span<Control* const> table, int index);
    static int Object_TableOpt_To_Index(std::span<Control* const> table);
    static void Object_TableOpt_MouseClick(std::span<Control* const> table);

    // The picture grid's thirty cells, made once at start-up.
    void Build_Picture_Grid();
    void VScroll1_Change();

    // Options, quick lists and the history's entries.
    void Opt_Joken_ツール_CellDrop2(int index);
    void Che_Picture_Caption_Click();
    // "画像に番号を付ける" and "画像の下（右）へ移動", saved at once as the time box is.
    void Che_Picture_Steps_Click();
    // The number box was typed in: saved when copies pause.
    void Txt_Picture_Number_Change() { number_unsaved_ = true; }
    // "新しいシート" (or Ctrl+Alt+N) during a run; the numbers start again at 1 once it is there.
    void Cmd_New_Sheet_Click();
    void Case_Sheet_Added(const Call_Result& added);
    // A numbered picture was taken back: its number is the next again, unless the numbers went on
    // elsewhere since (typed, or a new sheet).
    void Picture_Number_Taken_Back(int number);
    // "選んだ履歴を順に貼付": the chosen history entries, oldest copy first.
    void Cmd_Paste_History_Click();
    // A click on the text history that adds to a choice of several (Ctrl or Shift held, or several
    // chosen) pastes nothing; a plain click pastes the entry as it always did.
    bool Choosing_Several(int list_index) const;
    void Lst_Select_ツール_CellDrop2(int index);
    void Lst_Select_File_Open(const std::wstring& line);
    // A quick-list text put on the clipboard for the paste loop, marked with who put it there.
    void Put_On_Clipboard(const std::wstring& text, Copy_Source source);
    void Img_Pic_Click(int index);
    // "貼付終了": whatever Excel is doing, nothing taken is lost.
    void Cmd_Control_Excel2_Stop();
    void Text_Update_ツール_CellDrop2(const std::wstring& mode);

    // Paste run.
    // Ctrl+Alt+P switches "する"/"しない", Ctrl+Alt+Z takes back the last paste, whichever program is
    // in front: held from the start of a run to its end.
    static constexpr int Hot_Key_Paste = 1;
    static constexpr int Hot_Key_Take_Back = 2;
    // Ctrl+Alt+N: "新しいシート".
    static constexpr int Hot_Key_New_Sheet = 3;
    std::optional<Hot_Keys> Run_Keys;
    void Hold_Run_Keys(bool hold);
    // The run's notice line: what the run says (a busy Excel, the failed pastes) while its keys are held.
    void Show_Waiting();
    // The message on the notice line until the next one, with the taskbar button flashing.
    void Show_Notice(const std::wstring& message);
    // Draws the eye of a user who works in Excel: the taskbar button flashes until the window is in front.
    void Flash_Taskbar_Button();
    // "直前の貼付を取り消す", only while a run is on the paste screen.
    void Take_Back_Last_Paste();
    // The button is greyed while there is nothing to take back.
    void Show_Take_Back_State();

    // Copy history.
    void Excel_ツール_CellDrop2_RirekiText(const std::wstring& text);
    void Excel_ツール_CellDrop2_RirekiPic(Bitmap_Image picture);
    // The entries the recorder finished put into the history, the grid redrawn once for them all.
    void Put_Recorded_Pictures(std::vector<Picture_Entry> entries);
    // Waits for the recorder and puts in all it made: before any save or load of the picture history.
    void Finish_Recorded_Pictures() { Put_Recorded_Pictures(Picture_Work.Finish_All()); }
    void Excel_ツール_CellDrop2_RirekiText_Display();
    void Excel_ツール_CellDrop2_RirekiPic_Display();
    void Text_Update_ツール_CellDrop2_Text(const std::wstring& mode);
    void Text_Update_ツール_CellDrop2_Pic(const std::wstring& mode);
    void Text_Update_ツール_CellDrop2_Text_Write();
    void Text_Update_ツール_CellDrop2_Pic_Write();
    // "コピー履歴を保存できませんでした。" naming every folder whose save failed, once a run for the same folders.
    // While the paste loop runs, a failed save is said on the notice line instead (a message box would
    // hold every later copy while the user works in Excel); the box follows once the loop is over.
    void Report_History_Failures();
    // The saves that failed earlier, made once more as the program ends (run: a run is still on).
    void Save_Pending_History_At_Exit();

private:
    // What the paste loop asks of the window.
    bool Stop_Requested() override { return Flg_Stop; }
    void Clear_Stop_Request() override { Flg_Stop = false; }
    bool Window_Closed() override { return !form_.Is_Loaded(); }
    void Return_To_Setup() override { Return_To_Setup_Screen(); }
    HWND Main_Window() override { return form_.Hwnd(); }
    Text_Edits Edits() override;
    void Record_Text(const std::wstring& text) override { Excel_ツール_CellDrop2_RirekiText(text); }
    void Record_Texts(const std::vector<std::wstring>& texts) override {
        if (Rireki_Texts.Add_All(texts)) text_history_unshown_ = true;
    }
    void Show_Recorded_Texts() override {
        if (text_history_unshown_) Excel_ツール_CellDrop2_RirekiText_Display();
    }
    void Record_Picture(Bitmap_Image picture) override { Excel_ツール_CellDrop2_RirekiPic(std::move(picture)); }
    // Decoded with the rest of the history's work, off the paste loop.
    void Record_Copied_Picture(std::shared_ptr<const Clipboard_Picture_Bytes> picture) override {
        Picture_Work.Submit(std::move(picture), Rireki_Pics.Thumbnail_Side, Rireki_Pics.Folder);
    }
    void Show_Recorded_Pictures() override {
        Put_Recorded_Pictures(Picture_Work.Take_Finished());
        Save_Picture_Number();
    }
    bool Text_History_Changed() override { return Rireki_Texts.Rireki_Text_Dirty; }
    bool Picture_History_Changed() override { return Rireki_Pics.Rireki_Pic_Dirty || Picture_Work.Pending(); }
    void Write_Text_History() override { Text_Update_ツール_CellDrop2_Text_Write(); }
    void Write_Picture_History() override { Text_Update_ツール_CellDrop2_Pic_Write(); }
    Paste_Journal& Journal() override { return run_.Journal(); }
    void Paste_Failed(const std::wstring& message) override;
    void Copies_Skipped(const std::wstring& message) override { Show_Notice(message); }
    void Paste_Step_Done() override { run_.Paste_Step_Done(); }
    int Next_Picture_Number() override;
    void Set_Next_Picture_Number(int number) override;
    // The number, when changed, into Para2_2.txt: while copies pause, so that no paste waits for the write.
    void Save_Picture_Number();
    void Write_Checks_File();

    // Shows the saving label while a history is written; the flag is cleared only when all was written.
    // A folder whose save failed is remembered until a save there succeeds.
    void Write_History(const wchar_t* caption, bool (*write)(Paste_Screen&), bool& dirty, const std::wstring& folder);

    Form& form_;
    const Screen_Keys& keys_;
    Paste_Run& run_;
    Save_Failures& saves_;
    const std::wstring& app_path_;
    const Fixed_Strings& kotei_;
    bool text_history_unshown_ = false;      // texts recorded that the list does not show yet
    bool number_unsaved_ = false;            // the next step number changed since Para2_2.txt was written
    std::vector<std::wstring> shown_texts_;  // the text history as the list shows it, newest first
    std::vector<std::wstring> history_failed_;
    std::vector<std::wstring> history_reported_;
};
