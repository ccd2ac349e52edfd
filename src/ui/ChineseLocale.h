#pragma once

#include <QString>

// The program speaks simplified Chinese whatever the system's language: Qt's own texts
// (the standard dialogs for printing, page setup and files, the context menus of text
// inputs, the date pickers' calendars) come from the distribution's zh_CN translations,
// and dates and numbers follow the Chinese locale.
namespace ChineseLocale {
// Where Qt's translations are looked for: the distribution's folder, then a
// "translations" folder beside the program.
QString translationFile();
// Sets the Chinese locale as the default and installs Qt's translations into the running
// application. Returns false when the translations are not installed (Qt's texts then
// stay English; the program itself still speaks Chinese).
bool install();
} // namespace ChineseLocale
