#include "TestSupport.h"
#include "Globals.h"
#include "PriceList.h"
#include "Vendor.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>
#include <sys/resource.h>

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

namespace {

void SetFileSizeLimit(rlim_t bytes)
{
    struct rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace

TFileSizeLimit::TFileSizeLimit(qint64 bytes)
{
    struct rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    m_oldLimit = qint64(limit.rlim_cur);
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    SetFileSizeLimit(rlim_t(bytes));
}

TFileSizeLimit::~TFileSizeLimit()
{
    SetFileSizeLimit(rlim_t(m_oldLimit));
    std::signal(SIGXFSZ, m_oldHandler);
}

void LimitFileSize(QProcess &process, qint64 bytes)
{
    process.setChildProcessModifier([bytes] {
        // Ignored signals stay ignored in the program started.
        std::signal(SIGXFSZ, SIG_IGN);
        SetFileSizeLimit(rlim_t(bytes));
    });
}

QStringList FolderFiles(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray ReadFileBytes(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray Utf16Bytes(const QString &text, bool bigEndian)
{
    QByteArray bytes = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        bytes.append(bigEndian ? high : low);
        bytes.append(bigEndian ? low : high);
    }
    return bytes;
}
