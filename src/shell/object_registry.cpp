#include "object_registry.h"

#include "control.h"
#include "message_box.h"
#include "message_pump.h"
#include "text.h"
#include "ui_text.h"

void Object_Registry::Set_Object(Control*& role, Control& object, bool bind) {
    if (!bind) {
        role = nullptr;
    } else if (role) {
        Show_Message(Ui_Format(Text_Id::Object_Set_Twice, {role->Name()}));
    } else {
        bool duplicate = false;
        for (Control* entry : table_) {
            if (entry == &object) {
                const std::wstring index = object.Index() ? std::to_wstring(*object.Index()) : std::wstring();
                Show_Message(Ui_Format(Text_Id::Object_Index_Set_Twice, {object.Name(), index}));
                duplicate = true;
                break;
            }
        }
        if (!duplicate) {
            table_.push_back(&object);
            role = &object;
        }
    }
    // The start binds some 130 roles before the window shows: a full message check for each costs a
    // round trip to the window server, a fifth of a second in all on a busy machine.
    Do_Events_Sometimes();
}
