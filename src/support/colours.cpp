#include "colours.h"

namespace {

struct Named_Colour {
    std::wstring_view Name;
    std::uint8_t Red, Green, Blue;
};

constexpr Named_Colour kColours[] = {
    {L"黒", 0, 0, 0},           {L"栗色", 128, 0, 0},       {L"栗", 128, 0, 0},       {L"緑", 0, 128, 0},
    {L"オリーブ", 128, 128, 0}, {L"濃紺", 0, 0, 128},       {L"紫", 128, 0, 128},     {L"緑青", 0, 128, 128},
    {L"灰色", 128, 128, 128},   {L"灰", 128, 128, 128},     {L"銀色", 192, 192, 192}, {L"銀", 192, 192, 192},
    {L"赤", 255, 0, 0},         {L"黄緑", 0, 255, 0},       {L"黄色", 255, 255, 0},   {L"黄", 255, 255, 0},
    {L"青", 0, 0, 255},         {L"明るい紫", 255, 0, 255}, {L"水色", 0, 255, 255},   {L"水", 0, 255, 255},
    {L"白", 255, 255, 255},
};

}  // namespace

Colour Colour_By_Name(std::wstring_view name) {
    for (const Named_Colour& c : kColours)
        if (c.Name == name) return c.Red + 256u * c.Green + 65536u * c.Blue;
    return 0;
}
