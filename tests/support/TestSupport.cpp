#include "TestSupport.h"
#include "Globals.h"
#include "Vendor.h"
#include <QDir>
#include <QStandardPaths>

TTempHome::TTempHome()
{
    m_oldHome = qgetenv("HOME");
    m_oldXdg = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", m_dir.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (m_dir.path() + "/.local/share").toLocal8Bit());
    QStandardPaths::setTestModeEnabled(false);
}

TTempHome::~TTempHome()
{
    qputenv("HOME", m_oldHome);
    if (m_oldXdg.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", m_oldXdg);
}

bool UseBuiltProgram()
{
    SetupData = TSetupData();
    SetupData.ProgramPath = BuiltProgramPath();
    SetupData.LanguageFile = QStringLiteral("English.lng");
    SetupData.LanguageID = 1033;
    SetupData.VendorName = QStringLiteral("Quenvar");
    return LoadVendorLibraryFile(BuiltProgramPath() + QStringLiteral("Quenvar.so"));
}
