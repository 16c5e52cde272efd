#pragma once
// Qt's own dialogs (choosing a file, printing) in the desktop's language, as
// every other Qt program on the same desktop shows them. The program's own
// texts come from its language files and are not touched.

#include <QLocale>

/// Installs Qt's translation of its standard dialogs for `locale` (by default
/// the desktop's) from Qt's translations folder. Opens only that language's
/// file; an English desktop opens none. False when no translation was loaded.
bool InstallQtTranslations(const QLocale &locale = QLocale::system());
