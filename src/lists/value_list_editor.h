#pragma once
// The value-list editor: a list that drops down under a path box and shows that box's history of
// earlier values. The user picks a value for the box, or deletes, moves or sorts entries; every
// change goes back into the history at once. It closes like a drop-down list when it loses the focus.
#include <functional>

#include "form.h"
#include "param_format.h"

class Update2_Value_F : public Form {
public:
    Update2_Value_F();

    // Opens the editor under box, owned by owner, over history (one editor at a time: an open one
    // closes first). picked_changed, when given, runs after a pick changed the box's text.
    void Open(Form& owner, Control& box, History_List& history, std::function<void()> picked_changed);

protected:
    void On_Load() override;
    std::optional<LRESULT> On_Message(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Value_List_Load();
    void Value_List_Store();
    // Sets the enabled state of the buttons from the lines and the selection.
    void Cmd_Control();

    void Cmd_Ok_Click();
    void Cmd_Delete_Click();
    void Cmd_Move_Click(int step);
    void Cmd_Sort_Click(int order);

    History_List* history_ = nullptr;   // the history of the button that opened the editor
    Control* Value_Text_Box = nullptr;  // receives a picked value; the editor opens under it
    std::function<void()> picked_changed_;
    History_List Tb_Value_Work{};  // line i of the list is slot i
};
