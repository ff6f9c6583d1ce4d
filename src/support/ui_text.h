#pragma once
// Every caption, message and tooltip the user reads, looked up by name in the language the program
// chose at its start: Japanese when the Windows display language is Japanese, English otherwise.
// Text that is stored or handed to another program (file names, Excel member and format names,
// settings values) is not here: it stays the same whatever the language.
//
//     label.Set_Caption(Ui_Text(Text_Id::Stop_Pasting));
//     Show_Message(Ui_Format(Text_Id::File_Locked, {path}));  // "%1" in the text becomes path
#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

enum class Text_Id {
    // Main window
    Main_Title,
    Cancel,
    Version_Prefix,
    Error_Check,
    Target_Workbook,
    Pc_Chooser,
    Open_File_Folder_Setup,
    Search_Subfolders,
    Build_File_List,
    Open_Url_Setup,
    Fixed_Text_Setup,
    Delete_Entry,
    New_Entry,
    Sort_Ascending,
    Sort_Descending,
    Fixed_Text_Detail_Setup,
    Save_Only,
    Start_Pasting,
    Paste_To_Excel,
    Paste_Off,
    Paste_On,
    Text_Options,
    Text_Breaks_Removed,
    Text_Breaks_In_Cell,
    Text_Row_Per_Line,
    Text_Editing,
    Widen_Columns,
    Number_As_Text,
    Date_As_Text,
    Picture_Options,
    Option_None,
    Picture_Png,
    Picture_Jpeg,
    Picture_Gif,
    Picture_Metafile,
    Picture_Bitmap,
    Picture_Office_Drawing,
    Picture_Svg,
    Picture_Html,
    Picture_Sizing,
    Size_Fit_Inside,
    Size_Cell_Width,
    Size_Cell_Height,
    Move_After_Paste,
    Move_Right,
    Move_Down,
    Take_Back_Last,
    Picture_Time_Caption,
    Picture_Number_Caption,
    Move_Past_Picture,
    New_Sheet,
    Paste_Selected_History,
    Stop_Pasting,
    Open_File,
    Open_Url,
    Fixed_Texts,
    Text_History,
    Picture_History,
    // Tooltips
    Workbook_Chooser_Tip,
    Folder_Chooser_Tip,
    Paste_Switch_Tip,
    Take_Back_Tip,
    Picture_Time_Tip,
    New_Sheet_Tip,
    Paste_Selected_History_Tip,
    // Main window: notices, messages and questions
    New_Workbook,
    Folders_Not_Created,
    Waiting_For_Previous_Excel,
    Target_Missing,
    File_Locked,
    Excel_Not_Started,
    Start_Copying,
    Clipboard_Not_Watched,
    Waiting_For_Excel,
    Notice_Separator,
    Failure_Count,
    Changed_After_Paste,
    Take_Back_Failed,
    Chrome_Not_Started,
    File_Missing,
    Opened_In_Excel,
    Not_Opened_In_Excel,
    Path_Too_Long_To_Open,
    Open_File_Folder_Unknown,
    Line_File_Unknown,
    Settings_Not_Saved,
    List_File_Too_Large,
    Saving_Text_History,
    Saving_Picture_History,
    History_Not_Saved,
    Unreadable_Files_Renamed,
    Fixed_Text_Limit,
    Excel_File_Filter,
    All_Files_Filter,
    Browse_Folder,
    Object_Set_Twice,
    Object_Index_Set_Twice,
    Param_File_Twice,
    // Paste run
    Copies_Not_Pasted,
    Excel_Closed,
    Excel_Not_Answering,
    Text_Paste_Failed,
    Picture_Paste_Failed,
    New_Sheet_Failed,
    // Fixed texts, value-list editor, the program's own file dialog
    New_Fixed_Text,
    Select_Entry,
    List_Sort_Ascending,
    List_Sort_Descending,
    Close,
    History_Title,
    Search_Pattern,
    Ok,
    Find_File_Title,
    // Toolkit and shared library
    Hot_Key_Taken,
    Hot_Key_Types_Character,
    Missing_Array_Element,
    File_Dialog_Failed,
    Sort_Count_Mismatch,
    Path_Too_Long,
    File_Not_Found,
    Count
};

enum class Text_Language { Japanese, English };

struct Text_Entry {
    Text_Id Id;
    const wchar_t* Text;
};

// A table is complete when it holds every name once, in the order of Text_Id, each with a text.
template <std::size_t N>
consteval bool Is_Complete_Table(const Text_Entry (&table)[N]) {
    if (N != static_cast<std::size_t>(Text_Id::Count)) return false;
    for (std::size_t i = 0; i < N; ++i)
        if (table[i].Id != static_cast<Text_Id>(i) || !table[i].Text || !table[i].Text[0]) return false;
    return true;
}

std::span<const Text_Entry> Japanese_Texts();
std::span<const Text_Entry> English_Texts();

// Chosen once, at the first call, from the Windows display language.
Text_Language Display_Text_Language();
// Read from the system, every time (ui_language.cpp).
Text_Language System_Text_Language();

const wchar_t* Ui_Text(Text_Id id, Text_Language language);
const wchar_t* Ui_Text(Text_Id id);
// The text with "%1" … "%9" replaced by the values, in one pass (a value holding "%1" stays as it is).
std::wstring Ui_Format(Text_Id id, std::initializer_list<std::wstring_view> values);
std::wstring Ui_Format(Text_Id id, Text_Language language, std::initializer_list<std::wstring_view> values);
