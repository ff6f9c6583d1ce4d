#pragma once
// A form: one top-level window with its controls, in the model the screens are written against
// (control arrays with one event handler per array, twips geometry, enabled/visible states).
// A screen derives from Form, builds its controls from a table in On_Load and registers its handlers:
//
//   form.On(Control_Event::Click, L"Cmd_Control", [this](int index) { Cmd_Control_Click(index); });
//
// Handlers of controls outside an array receive -1 as index.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "control.h"
#include "gdi_handles.h"

enum class Control_Event { Click, Dbl_Click, Change, Scroll, Timer, Got_Focus };
using Index_Handler = std::function<void(int index)>;

// One row of a control table. Index -1: not part of an array. Container: the picture box the control
// sits in, by array name and index (no name: the form itself).
struct Control_Def {
    const wchar_t* Name;
    int Index;
    Control_Kind Kind;
    const wchar_t* Caption;
    float Left, Top, Width, Height;
    const wchar_t* Container_Name = nullptr;
    int Container_Index = -1;
    int Id = 0;
    // Its window, and the windows of the controls inside it, are made by Form::Make_Windows, not with
    // the form: a screen shown only later costs nothing at start. Until then the controls keep what is
    // set on them (caption, value, geometry, states) and show it once made; their lists stay empty.
    bool Window_Later = false;
};

enum class Window_State { Normal, Minimized, Maximized };

class Form {
public:
    Form(std::wstring window_class, std::wstring caption);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    // Before Load: the window belongs to owner, stays in front of it and goes with it. A drop-down
    // has a thin border and no title bar, like the list of a combo box.
    void Set_Owner(HWND owner, bool drop_down = false);
    // Creates the window (hidden) and runs On_Load. False when the window could not be created.
    bool Load();
    void Show();
    void Hide();
    // The owner takes no input from now until this form is unloaded.
    void Hold_Owner();
    // Shows the form and returns once it is unloaded; meanwhile its owner takes no input. A quit
    // request ends the wait too (it is passed on to the outer message loop).
    void Show_Modal();
    // Asks On_Query_Unload, then destroys the window (On_Unload runs first). True when unloaded.
    bool Unload();
    bool Is_Loaded() const { return hwnd_ != nullptr; }
    HWND Hwnd() const { return hwnd_; }

    // Controls.
    Control& Add_Control(const Control_Def& def);
    void Add_Controls(std::span<const Control_Def> table);
    // A new element of an existing array, made like element 0 (kind, container, size, caption), hidden.
    Control& Load_Element(const std::wstring& name, int index);
    Control* Find(const std::wstring& name, std::optional<int> index = std::nullopt) const;
    // The control, which the screen's own table guarantees to exist.
    Control& operator()(const std::wstring& name, std::optional<int> index = std::nullopt) const;
    const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }
    Control* Find_By_Id(int id) const;
    // Makes the windows of a container made with Window_Later and of everything inside it, in the
    // order of the table, as if they had been made with the form. Nothing when they are made already.
    void Make_Windows(Control& container);

    // Events.
    void On(Control_Event event, const std::wstring& name, Index_Handler handler);
    void Raise(Control_Event event, const Control& control);

    // Outer geometry on the screen, in twips.
    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    void Move(float left, float top, float width, float height);
    void Set_Left(float v) { Move(v, Top(), Width(), Height()); }
    void Set_Top(float v) { Move(Left(), v, Width(), Height()); }
    void Set_Width(float v) { Move(Left(), Top(), v, Height()); }
    void Set_Height(float v) { Move(Left(), Top(), Width(), v); }
    float Inner_Width() const;
    float Inner_Height() const;
    Window_State State() const;
    void Set_State(Window_State state);

    std::wstring Caption() const { return caption_; }
    void Set_Caption(const std::wstring& caption);
    bool Enabled() const;
    void Set_Enabled(bool enabled);

    // The forms loaded now, oldest first.
    static const std::vector<Form*>& Loaded_Forms();

    HFONT Font(bool strikethrough) const;
    HBRUSH Background_Brush() const;

protected:
    virtual void On_Load() {}
    // False keeps the form loaded.
    virtual bool On_Query_Unload() { return true; }
    virtual void On_Unload() {}
    virtual std::optional<LRESULT> On_Message(UINT, WPARAM, LPARAM) { return std::nullopt; }

private:
    static LRESULT CALLBACK Window_Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle_Message(UINT msg, WPARAM wp, LPARAM lp);
    void On_Command(HWND control_hwnd, int code);
    LRESULT On_Control_Colour(HDC dc, HWND control_hwnd, UINT msg);
    void Create_Fonts();
    // Lays the window out again when it moves to a monitor of another DPI (WM_DPICHANGED).
    void Rescale(int dpi, const RECT& suggested);
    void Release_Owner();

    HWND owner_ = nullptr;
    bool drop_down_ = false;
    bool holds_owner_ = false;
    std::wstring window_class_;
    std::wstring caption_;
    HWND hwnd_ = nullptr;
    std::vector<std::unique_ptr<Control>> controls_;
    std::map<int, Control*> by_id_;
    std::map<std::pair<Control_Event, std::wstring>, Index_Handler> handlers_;
    Font_Handle font_;
    Font_Handle strike_font_;
};

// Registers the window classes the toolkit uses (panels, image cells). Called by Form::Load.
void Register_Toolkit_Classes();
