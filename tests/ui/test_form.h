#pragma once
// A small form for the toolkit's tests: two option containers, a check box, two text boxes, a list, a
// scroll bar, a timer and an image array, with every event recorded as "Name(index):Event".
#include <string>
#include <vector>

#include "form.h"

class Test_Form : public Form {
public:
    Test_Form() : Form(L"CellDropTestForm", L"テスト") {}
    std::vector<std::wstring> Events;

protected:
    void On_Load() override {
        static constexpr Control_Def table[] = {
            {L"Pic_Container", 0, Control_Kind::Picture_Box, nullptr, 120, 120, 3000, 1500, nullptr, -1, 1800},
            {L"Pic_Container", 1, Control_Kind::Picture_Box, nullptr, 3240, 120, 3000, 1500, nullptr, -1, 1801},
            {L"Pic_Inner", -1, Control_Kind::Picture_Box, nullptr, 0, 720, 2000, 700, L"Pic_Container", 1, 1900},
            {L"Opt_Joken", 0, Control_Kind::Option_Button, L"しない", 120, 0, 1500, 240, L"Pic_Container", 0, 1500},
            {L"Opt_Joken", 1, Control_Kind::Option_Button, L"する", 120, 240, 1500, 240, L"Pic_Container", 0, 1501},
            {L"Opt_Joken", 2, Control_Kind::Option_Button, L"右へ", 120, 0, 1500, 240, L"Pic_Container", 1, 1502},
            {L"Opt_Joken", 3, Control_Kind::Option_Button, L"下へ", 120, 240, 1500, 240, L"Pic_Container", 1, 1503},
            {L"Che_Control", 0, Control_Kind::Check_Box, L"列の幅", 0, 0, 1500, 240, L"Pic_Inner", -1, 1600},
            {L"Txt_File", 0, Control_Kind::Text_Box, nullptr, 120, 1800, 3000, 285, nullptr, -1, 1200},
            {L"Txt_Value3", 0, Control_Kind::Multi_Line_Text_Box, nullptr, 6360, 120, 3000, 1500, nullptr, -1, 1300},
            {L"Lst_Select", 0, Control_Kind::List_Box, nullptr, 120, 2200, 3000, 1000, nullptr, -1, 1400},
            {L"VScroll1", -1, Control_Kind::VScroll_Bar, nullptr, 3240, 2200, 255, 1000, nullptr, -1, 104},
            {L"Timer1", 0, Control_Kind::Timer, nullptr, 0, 0, 0, 0, nullptr, -1, 2100},
            {L"Img_Pic", 0, Control_Kind::Image, nullptr, 3600, 2200, 600, 600, nullptr, -1, 2000},
        };
        Add_Controls(table);
        for (auto [event, tag] :
             {std::pair{Control_Event::Click, L"Click"}, std::pair{Control_Event::Change, L"Change"},
              std::pair{Control_Event::Scroll, L"Scroll"}, std::pair{Control_Event::Timer, L"Timer"}}) {
            for (const wchar_t* name :
                 {L"Opt_Joken", L"Che_Control", L"Txt_File", L"Lst_Select", L"VScroll1", L"Timer1"}) {
                On(event, name, [this, name, tag](int i) {
                    Events.push_back(std::wstring(name) + L"(" + std::to_wstring(i) + L"):" + tag);
                });
            }
        }
    }
};
