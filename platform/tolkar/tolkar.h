// Localisation: German text in, the text in the user's language out.
//
// Dictionaries are text files "<dictionary>.<language>.txt" in the folder "dict" of the installation root; each line
// holds context, German text and translation separated by tabs ("\n" and "\t" written as escapes). A text that no
// dictionary holds comes back unchanged, and so does a translation whose format placeholders differ from the German
// text's, since callers format with the translated text.
#pragma once

#include "platform/win/base/wintypes.h"

extern "C" {

// The result stays valid as long as the program runs: several results may be held and used at once.
const char* TOLK_Translate(const char* area, const char* dictionary, const char* context, const char* text);

// Translates a dialog's caption and the texts of its controls in place.
BOOL TOLK_HWNDTranslate(const char* area, const char* dictionary, const char* context, HWND window);
}

namespace tolkar {

// The language of an area: set here, else the registry value named by the area under
// HKEY_CURRENT_USER "software\Ormi\TOLK", else "deutsch". German needs no dictionary.
void SetLanguage(const char* area, const char* language);
const char* GetLanguage(const char* area);

// Drops the loaded dictionaries and the languages read from the registry.
void Reload();

// How a window's texts are walked and replaced: the window system's walk unless a test installs another.
using WindowTranslator = BOOL (*)(HWND window, const char* (*translate)(const char* text, void* state), void* state);
void SetWindowTranslator(WindowTranslator translator);

}  // namespace tolkar
