#include "file_dialog_form.h"

#include "codepage.h"
#include "control.h"
#include "file_checks.h"
#include "file_dialog_ids.h"
#include "file_dialog_rules.h"
#include "layout.h"
#include "paths.h"
#include "ui_text.h"

namespace {

namespace ids = file_dialog_ids;
using K = Control_Kind;

// As designed, in twips. The window is fitted to the file list's lower right edge when it loads.
// Made at the first use, in the language chosen at the start.
std::span<const Control_Def> Dialog_Controls() {
    static const Control_Def controls[] = {
        {L"Dir_Label", -1, K::Label, L"A:", 120, 120, 7695, 615, nullptr, -1, ids::Dir_Label},
        {L"Title_Label1", -1, K::Label, Ui_Text(Text_Id::Search_Pattern), 120, 840, 855, 255, nullptr, -1,
         ids::Title_Label1},
        {L"Kensaku_Label", -1, K::Label, L"*.EXE", 1080, 840, 6735, 255, nullptr, -1, ids::Kensaku_Label},
        {L"Drive1", -1, K::Combo_Box, nullptr, 120, 1200, 3375, 315, nullptr, -1, ids::Drive1},
        {L"File_Label", -1, K::Label, L"********.***", 3600, 1200, 4215, 255, nullptr, -1, ids::File_Label},
        {L"Dir1", -1, K::Sorted_List_Box, nullptr, 120, 1560, 3375, 2115, nullptr, -1, ids::Dir1},
        {L"File_List", -1, K::Sorted_List_Box, nullptr, 3600, 1560, 4215, 3015, nullptr, -1, ids::File_List},
        {L"Cmd_Ok", -1, K::Button, Ui_Text(Text_Id::Ok), 1560, 4080, 855, 375, nullptr, -1, ids::Cmd_Ok},
        {L"Cmd_Cancel", -1, K::Button, Ui_Text(Text_Id::Cancel), 2520, 4080, 855, 375, nullptr, -1, ids::Cmd_Cancel},
    };
    return controls;
}

std::wstring Current_Directory() {
    std::wstring path(MAX_PATH, L'\0');
    DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data());
    if (n >= path.size()) {
        path.resize(n);
        n = GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data());
    }
    path.resize(n < path.size() ? n : 0);
    return path;
}

// Without the system's "no disk" box for a drive without a medium (a card reader without a card): the
// read fails quietly and the dialog goes back to the last drive. Per thread, and restored on leaving.
class Critical_Errors_Quiet {
public:
    Critical_Errors_Quiet() { SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
    Critical_Errors_Quiet(const Critical_Errors_Quiet&) = delete;
    Critical_Errors_Quiet& operator=(const Critical_Errors_Quiet&) = delete;
    ~Critical_Errors_Quiet() { SetThreadErrorMode(previous_, nullptr); }

private:
    DWORD previous_ = 0;
};

// The current folder the process keeps for a drive ("D:" -> "D:\work"), its root when it keeps none.
std::wstring Current_Folder_On(const std::wstring& drive) {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetFullPathNameW(drive.c_str(), MAX_PATH, path, nullptr);
    return n > 0 && n < MAX_PATH ? std::wstring(path) : drive + L'\\';
}

}  // namespace

Wk_FileDlg_F::Wk_FileDlg_F() : Form(L"Wk_FileDlg_F", Ui_Text(Text_Id::Find_File_Title)) {}

std::optional<std::wstring> Wk_FileDlg_F::Run(HWND owner, const Control& anchor, const File_Dialog_Request& request) {
    if (Is_Loaded()) return std::nullopt;  // one dialog at a time
    request_ = request;
    Set_Owner(owner);
    Popup_Area_Reset();
    Form_Popup_At(*this, anchor);
    Show_Modal();
    if (Dlg_Result >= 1) return std::nullopt;
    return request_.Dlg_Path;
}

bool Wk_FileDlg_F::File_Mode() const { return Upper_Case(request_.Dlg_Mode) == L"FILE"; }

void Wk_FileDlg_F::On_Load() {
    // The controls outlive the window: a later use recreates them instead of adding them again.
    if (!Find(L"Dir_Label")) Add_Controls(Dialog_Controls());
    On(Control_Event::Got_Focus, L"Drive1", [this](int) { Drive1_Got_Focus(); });
    On(Control_Event::Change, L"Drive1", [this](int) { Drive1_Change(); });
    On(Control_Event::Dbl_Click, L"Dir1", [this](int) { Dir1_Dbl_Click(); });
    On(Control_Event::Click, L"File_List", [this](int) { File_List_Click(); });
    On(Control_Event::Dbl_Click, L"File_List", [this](int) { Cmd_Ok_Click(); });
    On(Control_Event::Click, L"Cmd_Ok", [this](int) { Cmd_Ok_Click(); });
    On(Control_Event::Click, L"Cmd_Cancel", [this](int) { Unload(); });
    // Modal from the start: the main window takes no clicks while the dialog grows into place.
    Hold_Owner();

    Dlg_Result = 1;
    Set_Caption(request_.Dlg_Caption);
    const Path_Parts path = Path_Split(request_.Dlg_Path);
    Control& file_list = (*this)(L"File_List");
    Form_Fit(*this, file_list, file_list);
    (*this)(L"Cmd_Ok").Set_Enabled(!File_Mode());
    (*this)(L"File_Label").Set_Caption(L"");

    Control& drives = (*this)(L"Drive1");
    drives.Clear_List();
    SendMessageW(drives.Hwnd(), CB_DIR, DDL_DRIVES | DDL_EXCLUSIVE, reinterpret_cast<LPARAM>(L"*"));
    const std::wstring start = File_Dialog_Start_Folder(path, Current_Directory(), Is_Existing_Folder);
    if (!Open_Folder(start)) Open_Folder(Current_Directory());
    Last_Drive = folder_.substr(0, 2);

    (*this)(L"Kensaku_Label").Set_Caption(request_.Dlg_Pattern);
    Select_Previous_File(path.Name);
}

std::optional<LRESULT> Wk_FileDlg_F::On_Message(UINT msg, WPARAM wp, LPARAM lp) {
    // Enter and Esc, which the keyboard handling turns into IDOK and IDCANCEL without a control.
    if (msg != WM_COMMAND || lp != 0) return std::nullopt;
    if (LOWORD(wp) == IDCANCEL) {
        Unload();
    } else if (LOWORD(wp) == IDOK) {
        // Enter in the folder list opens the folder, as a double click does.
        if (GetFocus() == (*this)(L"Dir1").Hwnd())
            Dir1_Dbl_Click();
        else if ((*this)(L"Cmd_Ok").Enabled())
            Cmd_Ok_Click();
    }
    return 0;
}

bool Wk_FileDlg_F::Open_Folder(const std::wstring& folder) {
    if (folder.empty() || !Is_Existing_Folder(folder)) return false;
    folder_ = folder;
    Show_Drive_Of(folder_);
    (*this)(L"Dir_Label").Set_Caption(folder_);
    Control& folders = (*this)(L"Dir1");
    folders.Clear_List();
    const std::wstring every_folder = Path_Join(folder_, L"*");
    SendMessageW(folders.Hwnd(), LB_DIR, DDL_DIRECTORY | DDL_EXCLUSIVE, reinterpret_cast<LPARAM>(every_folder.c_str()));
    // A file chosen in another folder is no choice here.
    if (File_Mode()) (*this)(L"Cmd_Ok").Set_Enabled(false);
    (*this)(L"File_Label").Set_Caption(L"");
    List_Files();
    return true;
}

void Wk_FileDlg_F::Show_Drive_Of(const std::wstring& folder) {
    Control& drives = (*this)(L"Drive1");
    const std::wstring drive = folder.size() >= 2 && folder[1] == L':' ? Upper_Case(folder.substr(0, 2)) : L"";
    int found = -1;
    for (int i = 0; i < drives.List_Count() && found < 0; ++i)
        if (Drive_List_Entry(drives.List(i)) == drive) found = i;
    // Shown without a change event: the folder list is where it should be already.
    SendMessageW(drives.Hwnd(), CB_SETCURSEL, static_cast<WPARAM>(found), 0);
}

void Wk_FileDlg_F::List_Files() {
    Control& files = (*this)(L"File_List");
    files.Clear_List();
    const std::vector<std::wstring> patterns = Pattern_List(request_.Dlg_Pattern);
    for (const std::wstring& pattern : patterns) {
        const std::wstring matching = Path_Join(folder_, pattern);
        SendMessageW(files.Hwnd(), LB_DIR, DDL_READWRITE | DDL_READONLY | DDL_ARCHIVE,
                     reinterpret_cast<LPARAM>(matching.c_str()));
    }
    // The system's match also looks at short names ("*.xls" finds Book1.xlsx through BOOK1~1.XLS), and
    // a name two patterns match comes twice: keep each name one of the patterns matches, once. The
    // list is sorted, so a repeated name sits right after its first copy.
    for (int i = files.List_Count() - 1; i >= 0; --i) {
        const std::wstring name = files.List(i);
        if (!Name_Matches_Patterns(name, patterns) || (i > 0 && files.List(i - 1) == name)) files.Remove_Item(i);
    }
}

void Wk_FileDlg_F::Select_Previous_File(const std::wstring& name) {
    if (name.empty()) return;
    Control& files = (*this)(L"File_List");
    const int count = files.List_Count();
    // Names differing only in letter case are one file to the system: the box may hold the
    // proper-cased path this dialog gave back last time.
    const std::wstring wanted = Upper_Case(name);
    for (int i = 0; i < count; ++i) {
        if (Upper_Case(files.List(i)) != wanted) continue;
        // The last entry first, so that the list scrolls the chosen one to its top.
        files.Set_List_Index(count - 1);
        files.Set_List_Index(i);
        return;
    }
}

void Wk_FileDlg_F::Drive1_Got_Focus() {
    Control& drives = (*this)(L"Drive1");
    if (const auto drive = Drive_List_Entry(drives.List(drives.List_Index()))) Last_Drive = *drive;
}

void Wk_FileDlg_F::Drive1_Change() {
    const Critical_Errors_Quiet quiet;
    Control& drives = (*this)(L"Drive1");
    if (const auto drive = Drive_List_Entry(drives.List(drives.List_Index()))) {
        if (Open_Folder(Current_Folder_On(*drive))) {
            Last_Drive = *drive;
            return;
        }
    }
    // A drive that cannot be read (no medium in it) puts the lists back where they were.
    if (!Open_Folder(Current_Folder_On(Last_Drive))) Show_Drive_Of(folder_);
}

void Wk_FileDlg_F::Dir1_Dbl_Click() {
    Control& folders = (*this)(L"Dir1");
    const int i = folders.List_Index();
    if (i < 0) return;
    const auto name = Folder_List_Entry(folders.List(i));
    if (!name) return;
    Open_Folder(*name == L".." ? Parent_Folder(folder_) : Path_Join(folder_, *name));
}

void Wk_FileDlg_F::File_List_Click() {
    Control& files = (*this)(L"File_List");
    const int i = files.List_Index();
    if (i < 0) return;
    (*this)(L"Cmd_Ok").Set_Enabled(true);
    (*this)(L"File_Label").Set_Caption(files.List(i));
    Form_Fit(*this, files, files);
}

void Wk_FileDlg_F::Cmd_Ok_Click() {
    const std::wstring mode = Upper_Case(request_.Dlg_Mode);
    if (mode == L"FILE") {
        const std::wstring file = (*this)(L"File_Label").Caption();
        if (file.empty()) return;
        request_.Dlg_Path = Path_Proper_Case(Path_Join(folder_, file));
    } else if (mode == L"DIR") {
        request_.Dlg_Path = Path_Proper_Case(folder_);
    } else {
        return;
    }
    // A later dialog opened on a box without a drive starts here. Only a convenience: a folder that
    // cannot become the current one changes nothing else.
    (void)SetCurrentDirectoryW(folder_.c_str());
    Dlg_Result = 0;
    Unload();
}
