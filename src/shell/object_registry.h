#pragma once
// The registry of controls that have a role. Each role is a control reference (or a slot of a small
// table of references) bound once at start-up; a control given two roles is refused with a message,
// which catches a wrong index in the role tables.
#include <vector>

class Control;

class Object_Registry {
public:
    // Empties the registry (Object_Count -1).
    void Reset() { table_.clear(); }

    // bind true: registers the control and binds the role to it, unless the role is bound already or
    // the control holds another role (each reported with its message). bind false: clears the role;
    // the registry keeps the control. Lets window messages run at the end in both cases.
    void Set_Object(Control*& role, Control& object, bool bind);

    const std::vector<Control*>& Object_Table() const { return table_; }
    int Object_Count() const { return static_cast<int>(table_.size()) - 1; }

private:
    std::vector<Control*> table_;
};
