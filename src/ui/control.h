#pragma once
// One control of a form: a native Win32 control (or a timer) with the properties the screens are
// written against: name and index within its control array, geometry in twips relative to its
// container, enabled/visible, caption, value, text colour and strike-through.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "colours.h"
#include "gdi_handles.h"

class Form;

enum class Control_Kind {
    Button,
    Label,
    Text_Box,
    Multi_Line_Text_Box,
    List_Box,
    Sorted_List_Box,  // keeps its lines in the system's locale order, letter case ignored
    Multi_List_Box,   // several lines chosen at once with Ctrl and Shift, as in Explorer
    Combo_Box,        // a drop-down list to choose one line from (drive lists)
    Option_Button,
    Check_Box,
    Picture_Box,  // panel or container: a child window that holds other controls
    Image,        // shows a picture scaled to its size
    VScroll_Bar,
    Timer,
};

class Control {
public:
    Control(Form& form, Control_Kind kind, std::wstring name, std::optional<int> index, int id, Control* container);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    ~Control();

    const std::wstring& Name() const { return name_; }
    std::optional<int> Index() const { return index_; }
    Control_Kind Kind() const { return kind_; }
    int Id() const { return id_; }
    HWND Hwnd() const { return hwnd_; }
    Form& Owner() const { return form_; }
    // The picture box that holds this control; nullptr when it sits on the form itself.
    Control* Container() const { return container_; }
    // "Name(Index)" or "Name", for messages.
    std::wstring Display_Name() const;

    // Geometry in twips, relative to the container's inner area.
    float Left() const { return left_; }
    float Top() const { return top_; }
    float Width() const { return width_; }
    float Height() const { return height_; }
    void Move(float left, float top, float width, float height);
    void Set_Left(float v) { Move(v, top_, width_, height_); }
    void Set_Top(float v) { Move(left_, v, width_, height_); }
    void Set_Width(float v) { Move(left_, top_, v, height_); }
    void Set_Height(float v) { Move(left_, top_, width_, v); }
    // Inner (client) size in twips; for a picture box without border the same as its size.
    float Inner_Width() const;
    float Inner_Height() const;

    bool Enabled() const { return enabled_; }
    void Set_Enabled(bool enabled);
    // The control's own visible flag (a control inside a hidden container keeps its flag).
    bool Visible() const { return visible_; }
    void Set_Visible(bool visible);

    // Caption of buttons, labels, check boxes and option buttons; text of text boxes.
    std::wstring Caption() const;
    void Set_Caption(const std::wstring& text);
    // Text boxes: adds the text at the end, leaving the rest and the scroll position alone, so that a
    // long text can be filled in pieces with messages running in between.
    void Append_Text(const std::wstring& text);
    // Text boxes: while locked the user cannot change the text; code still can.
    void Set_Locked(bool locked);
    // Text boxes: selects length characters from start (0, 0: the caret at the top) and scrolls there.
    void Select_Text(int start, int length);

    // Option buttons: 1 chosen, 0 not. Check boxes: 0 unticked, 1 ticked, 2 greyed. Scroll bars:
    // position. Setting a value by code raises the same Click (Change for scroll bars) as the user.
    int Value() const;
    void Set_Value(int value);

    Colour Fore_Color() const { return fore_color_; }
    void Set_Fore_Color(Colour colour);
    bool Strikethrough() const { return strikethrough_; }
    void Set_Strikethrough(bool on);

    // Picture boxes: a thin border, as panels have; containers and scrolled sheets have none.
    bool Border() const { return border_; }
    void Set_Border(bool on);

    // List boxes and combo boxes.
    void Clear_List();
    void Add_Item(const std::wstring& text);
    // Replaces every line at once, drawn once at the end: for lists that may be long.
    void Set_List(const std::vector<std::wstring>& items);
    int List_Count() const;
    std::wstring List(int i) const;
    int List_Index() const;
    void Set_List_Index(int i);  // raises Click as a user's selection does
    // The lines chosen, from the top; for a list of one choice, that one.
    std::vector<int> Selected_Items() const;
    // No line chosen (without a Click).
    void Clear_Selection();
    // Replaces the text of entry i, keeping the selection.
    void Set_List_Item(int i, const std::wstring& text);
    void Remove_Item(int i);

    // Scroll bars.
    void Set_Scroll_Range(int min, int max, int small_change, int large_change);
    int Scroll_Min() const { return scroll_min_; }
    int Scroll_Max() const { return scroll_max_; }
    int Small_Change() const { return small_change_; }
    int Large_Change() const { return large_change_; }

    // Timers.
    int Interval() const { return interval_; }
    void Set_Interval(int ms);

    // Images: the picture is owned by the control and drawn scaled to its size.
    void Set_Picture(Bitmap_Handle picture);
    HBITMAP Picture() const { return picture_.Get(); }

    // Called by the form when the user acted on the control.
    void Notify_User_Click();
    void Notify_Scroll(int request, int track_position);
    // Called by the form for a paint of an image.
    void Paint_Image(HDC dc) const;

private:
    friend class Form;
    void Create_Window();
    void Apply_Geometry();
    void Apply_Font();
    void Apply_Timer();
    HWND Parent_Hwnd() const;
    // Not made with the form: the control waits for Form::Make_Windows, or sits in a container that does.
    bool Window_Waits() const { return window_later_ || (container_ && !container_->hwnd_); }
    bool Is_Combo() const { return kind_ == Control_Kind::Combo_Box; }

    Form& form_;
    Control_Kind kind_;
    std::wstring name_;
    std::optional<int> index_;
    int id_;
    Control* container_;
    HWND hwnd_ = nullptr;

    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool enabled_ = true;
    bool visible_ = true;
    bool border_ = false;
    bool window_later_ = false;
    bool locked_ = false;
    std::wstring caption_;  // kept for kinds without a window text (timers)
    int value_ = 0;
    Colour fore_color_ = 0;
    bool strikethrough_ = false;
    int scroll_min_ = 0, scroll_max_ = 32767, small_change_ = 1, large_change_ = 1;
    int interval_ = 0;
    Bitmap_Handle picture_;
};
