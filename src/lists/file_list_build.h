#pragma once
// Building the file list into its text box on the set-up screen, with the window kept responsive: the
// search lets messages run, and a long list goes into the box a piece at a time. A build asked for
// while one runs (the check box clicked meanwhile) makes the running one start over with the newest
// folder and mode, so the box always ends with the list of the last request.
#include <functional>
#include <string>
#include <vector>

class Control;

class File_List_Build {
public:
    struct Source {
        std::wstring Folder;
        bool Sub_Folders = false;
    };

    // True when a build is running: it will start over, and the caller leaves everything to it.
    bool Restart_If_Running();

    // Empties the box and fills it with the list lines (CR LF between them) of what source gives;
    // source is asked again for each start. The readers (the buttons that save or use the list) are
    // disabled until the list is whole, then get back the state they had. False when the window went
    // away meanwhile.
    bool Run(Control& box, const std::vector<Control*>& readers, const std::function<Source()>& source);

private:
    bool Fill(Control& box, const std::wstring& folder, bool sub_folders);

    bool running_ = false;
    bool restart_ = false;
};
