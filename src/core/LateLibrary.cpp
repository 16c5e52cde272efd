#include "LateLibrary.h"

#include <QLibrary>

TLateLibrary::TLateLibrary(const char *fileName) : m_library(new QLibrary(QString::fromLatin1(fileName)))
{
    m_library->setLoadHints(QLibrary::PreventUnloadHint);
}

// The library stays loaded: the functions taken from it live as long as the program.
TLateLibrary::~TLateLibrary() { delete m_library; }

bool TLateLibrary::Open()
{
    if (m_library->isLoaded() || m_library->load())
        return true;
    m_error = m_library->errorString();
    return false;
}

QFunctionPointer TLateLibrary::Function(const char *name)
{
    if (!Open())
        return nullptr;
    const QFunctionPointer function = m_library->resolve(name);
    if (!function && m_error.isEmpty())
        m_error = m_library->fileName() + QStringLiteral(" has no function ") + QLatin1String(name);
    return function;
}

void ReportLateLibraryMissing(const char *fileName, const QString &reason)
{
    qWarning("%s cannot be used: %s", fileName, qPrintable(reason.isEmpty() ? QStringLiteral("it does not start") : reason));
}
