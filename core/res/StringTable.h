#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace fw {

enum class Language { German, English };

// German when the user's locale is German, else English; FLASHWERK_LANG=de|en forces one.
Language LanguageFromEnvironment();
void SetLanguage(Language language);
Language CurrentLanguage();

// Texts are UTF-8; "" when the table has no such entry.
std::string LoadResString(int id);
// Texts of a dialog's controls: control is the control's number, "caption", or a short name.
std::string LoadDialogText(int dialogId, std::string_view control);
std::string LoadMenuText(int menuId, std::string_view item);

// Replaces %1 .. %9 with the arguments, as the message texts expect.
std::string FormatText(std::string_view text, std::initializer_list<std::string_view> arguments);

} // namespace fw
