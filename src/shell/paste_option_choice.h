#pragma once
// The one place where an option button of the paste screen becomes a choice of the paste run: each
// group's options by their position in the group (the positions the settings files store). The run
// never sees a caption, so a caption can change without changing what a paste does.
#include <optional>

#include "paste_options.h"

// Nothing for a position the group does not have.
std::optional<Move_Mode> Move_Mode_At(int position);  // "右へ", "下へ"
std::optional<Text_Mode> Text_Mode_At(int position);  // "削除→…", "セル内で改行→…", "改行を基準に…"
std::optional<Picture_Format> Picture_Format_At(int position);  // "なし", "図 (PNG)", … "ﾎｰﾑﾍﾟｰｼﾞ"
std::optional<Picture_Size> Picture_Size_At(int position);  // "なし", "セルに収まる大きさ", "…幅…", "…高さ…"
