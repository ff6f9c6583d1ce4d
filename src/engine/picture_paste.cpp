#include "picture_paste.h"

#include "excel_session.h"
#include "message_pump.h"

namespace {

// Option caption keyword and the format name Excel's PasteSpecial knows it by, in a Japanese Excel
// and in an English one (as its Paste Special dialog shows them); an empty name is Excel's own
// default paste.
struct Paste_Format {
    const wchar_t* Keyword;
    const wchar_t* Format;
    const wchar_t* English;
};
constexpr Paste_Format Paste_Formats[] = {
    {L"なし", L"", L""},
    {L"PNG", L"図 (PNG)", L"Picture (PNG)"},
    {L"JPEG", L"図 (JPEG)", L"Picture (JPEG)"},
    {L"GIF", L"図 (GIF)", L"Picture (GIF)"},
    {L"ﾒﾀﾌｧｲﾙ", L"図 (拡張メタファイル)", L"Picture (Enhanced Metafile)"},
    {L"ビットマップ", L"ビットマップ", L"Bitmap"},
    {L"Microsoft", L"Microsoft Office 描画オブジェクト", L"Microsoft Office Drawing Object"},
    {L"SVG", L"画像 (SVG)", L"Picture (SVG)"},
    {L"ﾎｰﾑ", L"HTML", L"HTML"},
};

enum class Fit { Inside, Width, Height };
struct Size_Rule {
    const wchar_t* Keyword;
    Fit Rule;
};
constexpr Size_Rule Size_Rules[] = {{L"収まる", Fit::Inside}, {L"幅", Fit::Width}, {L"高さ", Fit::Height}};

bool Contains(const std::wstring& caption, const wchar_t* keyword) {
    return caption.find(keyword) != std::wstring::npos;
}

double Number_Of(const Call_Result& r) {
    double v = 0;
    return r.Value.To_Double(v) ? v : 0;
}

}  // namespace

std::wstring Address_Hensyu(std::wstring_view address) {
    std::wstring out;
    for (wchar_t c : address)
        if (c != L'$') out += c;
    return out;
}

bool Paste_Picture_Now(const Excel_Session& excel, const std::wstring& pic_format) {
    // Only the paste itself decides success: a failed activation earlier in the pass is no failed paste.
    Error_State errors;
    for (const Paste_Format& row : Paste_Formats) {
        if (!Contains(pic_format, row.Keyword)) continue;
        const Automation_Object sheet = excel.Active_Sheet(errors);
        if (*row.Format == L'\0')
            errors.Record(sheet.Call(L"Paste"));
        else
            errors.Record(sheet.Call(L"PasteSpecial", {},
                                     {{L"Format", Variant::Text(excel.Format_Name(row.Format, row.English))},
                                      {L"Link", Variant::Bool(false)},
                                      {L"DisplayAsIcon", Variant::Bool(false)}}));
    }
    return !errors.Failed();
}

void Size_Picture(const std::wstring& pic_size, const Automation_Object& selection, const Automation_Object& cell,
                  std::optional<bool>& aspect_locked) {
    if (Contains(pic_size, L"なし") || selection.Is_Nothing()) return;
    // Excel selects the picture it has just pasted: only that one is fitted, so that a paste costs the
    // same on a sheet of hundreds of pictures as on an empty one. Earlier pictures at the same cell keep
    // the size they were fitted to when they were pasted, or that the user gave them since.
    const Automation_Object pasted = selection.Get(L"ShapeRange").Object();
    if (pasted.Is_Nothing() || cell.Is_Nothing()) return;
    const double shape_height = Number_Of(pasted.Get(L"Height")), shape_width = Number_Of(pasted.Get(L"Width"));
    if (shape_height <= 0 || shape_width <= 0) return;
    const double zoom_h = Number_Of(cell.Get(L"Height")) / shape_height;
    const double zoom_w = Number_Of(cell.Get(L"Width")) / shape_width;
    for (const Size_Rule& rule : Size_Rules) {
        if (!Contains(pic_size, rule.Keyword)) continue;
        const double factor = rule.Rule == Fit::Width    ? zoom_w
                              : rule.Rule == Fit::Height ? zoom_h
                              : zoom_h > zoom_w          ? zoom_w
                                                         : zoom_h;
        (void)Scale_Shapes(pasted, factor, aspect_locked);
    }
}

Error_State Excel_シート_オブジェクト拡大縮小_Zoom(const Excel_Session& excel, double factor) {
    Error_State errors;
    const Automation_Object range =
        errors.Record(errors.Record(excel.Xl_App.Get(L"Selection")).Object().Get(L"ShapeRange")).Object();
    if (errors.Failed()) return errors;
    std::optional<bool> aspect_locked;  // the user's selection: anything, read each time
    return Scale_Shapes(range, factor, aspect_locked);
}

Error_State Scale_Shapes(const Automation_Object& range, double factor, std::optional<bool>& aspect_locked) {
    Error_State errors;
    constexpr long Scale_From_Top_Left = 0;
    const std::vector<Variant> arguments = {Variant::Double(factor), Variant::Bool(false),
                                            Variant::Long(Scale_From_Top_Left)};
    errors.Record(range.Call(L"ScaleWidth", arguments));
    // A height read it could not tell is left as it is, and asked again next time.
    long locked = 0;
    if (!aspect_locked && errors.Record(range.Get(L"LockAspectRatio")).Value.To_Long(locked))
        aspect_locked = locked != 0;
    if (aspect_locked == false) errors.Record(range.Call(L"ScaleHeight", arguments));
    Do_Events();
    return errors;
}
