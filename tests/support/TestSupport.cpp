#include "TestSupport.h"
#include "Globals.h"
#include "PriceList.h"
#include "Vendor.h"
#include <QDir>
#include <QFile>
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

QByteArray SampleListDamagedFor(const QString &table, const QString &code)
{
    QFile sample(QStringLiteral(VX_BUILD_DIR "PriceList.tc"));
    QTemporaryDir dir;
    if (!sample.open(QIODevice::ReadOnly) || !dir.isValid())
        return QByteArray();
    const QByteArray bytes = sample.readAll();
    const QString probe = dir.path() + QStringLiteral("/probe.tc");
    // The first page holds the schema: its damage shows at the open already.
    constexpr qsizetype kStep = 256;
    for (qsizetype offset = 1024 + kStep / 2; offset < bytes.size(); offset += kStep) {
        QByteArray damaged = bytes;
        damaged[offset] = char(damaged[offset] ^ 0x10);
        QFile file(probe);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(damaged) != damaged.size())
            return QByteArray();
        file.close();
        const auto db = TPriceListDatabase::Open(probe, PriceListPassword(QStringLiteral("Quenvar")));
        QVariant value;
        if (db && db->QueryFirstValue(QStringLiteral("PriceListInfo"), QStringLiteral("Currency"), value) &&
            !db->QueryPrice(table, code).has_value())
            return damaged;
    }
    return QByteArray();
}
