#include "paste_choice.h"

#include "excel_model.h"

namespace {

enum class Needs { Ansi_Text, Text, Picture, Svg, Html };

struct Format_Name {
    const wchar_t* Japanese;
    const wchar_t* English;
    Needs What;
};

// A bitmap or metafile copy can be pasted in any of the picture formats: Excel converts it.
constexpr Format_Name Format_Names[] = {
    {L"テキスト", L"Text", Needs::Ansi_Text},
    {L"Unicode テキスト", L"Unicode Text", Needs::Text},
    {L"図 (PNG)", L"Picture (PNG)", Needs::Picture},
    {L"図 (JPEG)", L"Picture (JPEG)", Needs::Picture},
    {L"図 (GIF)", L"Picture (GIF)", Needs::Picture},
    {L"図 (拡張メタファイル)", L"Picture (Enhanced Metafile)", Needs::Picture},
    {L"ビットマップ", L"Bitmap", Needs::Picture},
    {L"Microsoft Office 描画オブジェクト", L"Microsoft Office Drawing Object", Needs::Picture},
    {L"画像 (SVG)", L"Picture (SVG)", Needs::Svg},
    {L"HTML", L"HTML", Needs::Html},
};

}  // namespace

Paste_As Default_Paste(const Clipboard_Offer& offer) {
    if (offer.Text) return Paste_As::Text;
    return offer.Picture ? Paste_As::Picture : Paste_As::Nothing;
}

Paste_As Paste_Special_As(std::wstring_view format, const Clipboard_Offer& offer, long ui_language) {
    for (const Format_Name& name : Format_Names) {
        if (!Same_Name(ui_language == Language_Japanese ? name.Japanese : name.English, format)) continue;
        switch (name.What) {
            case Needs::Ansi_Text:
                return offer.Ansi_Text ? Paste_As::Ansi_Text : Paste_As::Nothing;
            case Needs::Text:
                return offer.Text ? Paste_As::Text : Paste_As::Nothing;
            case Needs::Picture:
                return offer.Picture ? Paste_As::Picture : Paste_As::Nothing;
            case Needs::Svg:
                return offer.Svg ? Paste_As::Picture : Paste_As::Nothing;
            case Needs::Html:
                // An HTML copy pastes its text into cells, a lone image as a picture.
                return offer.Html ? Default_Paste(offer) : Paste_As::Nothing;
        }
    }
    return Paste_As::Nothing;
}
