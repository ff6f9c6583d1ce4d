#include <windows.h>

#include "ui_text.h"

Text_Language System_Text_Language() {
    // The display language, not the locale of formats and code pages: a Japanese Windows set to show
    // English keeps code page 932 for the files, yet its user reads English.
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? Text_Language::Japanese
                                                                      : Text_Language::English;
}
