#include "folder_browse.h"

#include <shlobj.h>

#include <utility>

#include "file_dialogs.h"

namespace {

// Owns the item list the chooser returns; the shell allocates it with the COM task allocator.
class Item_List {
public:
    explicit Item_List(PIDLIST_ABSOLUTE list) : list_(list) {}
    Item_List(const Item_List&) = delete;
    Item_List& operator=(const Item_List&) = delete;
    ~Item_List() { CoTaskMemFree(list_); }
    PIDLIST_ABSOLUTE Get() const { return list_; }
    explicit operator bool() const { return list_ != nullptr; }

private:
    PIDLIST_ABSOLUTE list_;
};

}  // namespace

void Folder_Browse(HWND owner, Folder_Browse_State& state) {
    state.Dialog_Cancelled = true;
    wchar_t display_name[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pszDisplayName = display_name;
    info.lpszTitle = state.Browse_Title.c_str();
    // The new style is resizable; with it the shell needs COM, which the program starts before any window.
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = Callback_Address(Browse_Callback);  // opens the chooser on Browse_Path
    info.lParam = reinterpret_cast<LPARAM>(state.Browse_Path.c_str());
    const Item_List chosen(SHBrowseForFolderW(&info));
    if (!chosen) return;

    // The chooser only offers file-system folders; one whose path does not fit the API's MAX_PATH
    // buffer counts as no choice rather than as an empty path.
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.Get(), path)) return;
    state.Browse_Path = path;
    state.Dialog_Cancelled = false;
}
