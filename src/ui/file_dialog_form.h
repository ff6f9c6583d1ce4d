#pragma once
// The program's own file and folder dialog: a drive list, a folder list and a file list filtered by
// a pattern list. It grows out of the text box that asked for it and is modal while the user chooses.
//
//   Wk_FileDlg_F dialog;
//   if (auto path = dialog.Run(main.Hwnd(), box, {L"貼付先Excelファイル", L"FILE", L"*.xls;*.xlsx", box.Caption()}))
//       box.Set_Caption(*path);
#include <optional>
#include <string>

#include "form.h"

struct File_Dialog_Request {
    std::wstring Dlg_Caption;
    std::wstring Dlg_Mode;     // "FILE" chooses a file, "DIR" a folder; letter case does not matter
    std::wstring Dlg_Pattern;  // ";"-separated patterns of the file list, shown as they are
    std::wstring Dlg_Path;     // the text of the box that asked: where the dialog starts
};

class Wk_FileDlg_F : public Form {
public:
    Wk_FileDlg_F();

    // Shows the dialog beside anchor, modal to owner. OK gives the chosen file or folder,
    // proper-cased, and makes its folder the process's current directory; Cancel gives nothing.
    std::optional<std::wstring> Run(HWND owner, const Control& anchor, const File_Dialog_Request& request);

protected:
    void On_Load() override;
    std::optional<LRESULT> On_Message(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool File_Mode() const;
    // The folder list moves to the folder when it exists; false leaves everything as it was.
    bool Open_Folder(const std::wstring& folder);
    void Show_Drive_Of(const std::wstring& folder);
    void List_Files();
    void Select_Previous_File(const std::wstring& name);

    void Drive1_Got_Focus();
    void Drive1_Change();
    void Dir1_Dbl_Click();
    void File_List_Click();
    void Cmd_Ok_Click();

    File_Dialog_Request request_;
    int Dlg_Result = 1;       // 1 until OK produced a path, then 0
    std::wstring Last_Drive;  // the drive the drive list showed when it last had the focus
    std::wstring folder_;     // the folder list's folder, shown by Dir_Label
};
