#include "picture_paste.h"

#include <algorithm>
#include <iterator>

#include "excel_session.h"
#include "message_pump.h"

namespace {

// The format name Excel's PasteSpecial knows a format by, in a Japanese Excel and in an English one
// (as its Paste Special dialog shows them), in the order of Picture_Format; Excel_Paste has none (it
// is Excel's own default paste).
struct Paste_Format {
    const wchar_t* Format;
    const wchar_t* English;
};
constexpr Paste_Format Paste_Formats[] = {
    {L"", L""},
    {L"図 (PNG)", L"Picture (PNG)"},
    {L"図 (JPEG)", L"Picture (JPEG)"},
    {L"図 (GIF)", L"Picture (GIF)"},
    {L"図 (拡張メタファイル)", L"Picture (Enhanced Metafile)"},
    {L"ビットマップ", L"Bitmap"},
    {L"Microsoft Office 描画オブジェクト", L"Microsoft Office Drawing Object"},
    {L"画像 (SVG)", L"Picture (SVG)"},
    {L"HTML", L"HTML"},
};
static_assert(std::size(Paste_Formats) == static_cast<std::size_t>(Picture_Format::Html) + 1);

}  // namespace

std::wstring Address_Hensyu(std::wstring_view address) {
    std::wstring out;
    for (wchar_t c : address)
        if (c != L'$') out += c;
    return out;
}

bool Paste_Picture_Now(const Excel_Session& excel, Picture_Format format) {
    // Only the paste itself decides success: a failed activation earlier in the pass is no failed paste.
    Error_State errors;
    const Paste_Format& row = Paste_Formats[static_cast<std::size_t>(format)];
    const Automation_Object sheet = excel.Active_Sheet(errors);
    if (format == Picture_Format::Excel_Paste)
        errors.Record(excel.Paste(sheet));
    else
        errors.Record(excel.Paste_Special(sheet, excel.Format_Name(row.Format, row.English)));
    return !errors.Failed();
}

void Size_Picture(const Excel_Session& excel, Picture_Size size, const Automation_Object& pasted,
                  const Automation_Object& cell, std::optional<bool>& aspect_locked) {
    // Excel selects the picture it has just pasted: only that one is fitted, so that a paste costs the
    // same on a sheet of hundreds of pictures as on an empty one. Earlier pictures at the same cell keep
    // the size they were fitted to when they were pasted, or that the user gave them since.
    if (size == Picture_Size::As_Pasted || pasted.Is_Nothing() || cell.Is_Nothing()) return;
    const double shape_height = excel.Height(pasted), shape_width = excel.Width(pasted);
    if (shape_height <= 0 || shape_width <= 0) return;
    const double zoom_h = excel.Height(cell) / shape_height;
    const double zoom_w = excel.Width(cell) / shape_width;
    const double factor = size == Picture_Size::Cell_Width    ? zoom_w
                          : size == Picture_Size::Cell_Height ? zoom_h
                                                              : std::min(zoom_h, zoom_w);
    (void)Scale_Shapes(excel, pasted, factor, aspect_locked);
}

Error_State Excel_シート_オブジェクト拡大縮小_Zoom(const Excel_Session& excel, double factor) {
    Error_State errors;
    const Automation_Object range =
        errors.Record(excel.Shape_Range(errors.Record(excel.Selection()).Object())).Object();
    if (errors.Failed()) return errors;
    std::optional<bool> aspect_locked;  // the user's selection: anything, read each time
    return Scale_Shapes(excel, range, factor, aspect_locked);
}

Error_State Scale_Shapes(const Excel_Session& excel, const Automation_Object& range, double factor,
                         std::optional<bool>& aspect_locked) {
    Error_State errors;
    errors.Record(excel.Scale_Width(range, factor));
    // A height read it could not tell is left as it is, and asked again next time.
    long locked = 0;
    if (!aspect_locked && errors.Record(excel.Lock_Aspect_Ratio(range)).Value.To_Long(locked))
        aspect_locked = locked != 0;
    if (aspect_locked == false) errors.Record(excel.Scale_Height(range, factor));
    Do_Events();
    return errors;
}
