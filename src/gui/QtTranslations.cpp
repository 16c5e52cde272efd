#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

bool InstallQtTranslations(const QLocale &locale)
{
    const QStringList languages = locale.uiLanguages();
    // Qt's dialogs are written in English: nothing to load for an English or a "C" desktop.
    if (languages.isEmpty() || languages.constFirst() == QLatin1String("C") ||
        languages.constFirst().startsWith(QLatin1String("en")))
        return false;
    // QTranslator tries the few names of this one language (qtbase_it_IT.qm, qtbase_it.qm ...)
    // in the one folder; it does not list the folder.
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(translator.release());
}
