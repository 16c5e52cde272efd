#include "PriceList.h"

#include "LateLibrary.h"
#include "Lang.h"
#include "Messages.h"
#include "TextUtils.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <limits>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

TPriceList PriceList;

namespace {

// The SQLCipher functions the price list calls, opened with the first price list.
#define VX_SQLITE_FUNCTIONS(X)                                                                                       \
    X(BindText, bind_text) X(ClearBindings, clear_bindings) X(CloseV2, close_v2) X(ColumnBytes, column_bytes)        \
    X(ColumnDouble, column_double) X(ColumnInt64, column_int64) X(ColumnText, column_text)                          \
    X(ColumnType, column_type) X(Exec, exec) X(Finalize, finalize) X(Key, key) X(OpenV2, open_v2)                  \
    X(PrepareV2, prepare_v2) X(Reset, reset) X(Step, step)

struct TSqlite {
#define VX_SQLITE_MEMBER(member, name) decltype(&sqlite3_##name) member = nullptr;
    VX_SQLITE_FUNCTIONS(VX_SQLITE_MEMBER)
#undef VX_SQLITE_MEMBER
    bool Ok = false;
    QString Error;

    bool Bind(TLateLibrary &library)
    {
#define VX_SQLITE_BIND(member, name) &&library.Bind(member, "sqlite3_" #name)
        return true VX_SQLITE_FUNCTIONS(VX_SQLITE_BIND);
#undef VX_SQLITE_BIND
    }
};

const TSqlite &Sqlite() { return LateFunctions<TSqlite>("libsqlcipher.so.0"); }

constexpr const char *kPriceColumn = "Price";
constexpr const char *kItemColumn = "Item";

// The password of each vendor's price lists.
struct TVendorPassword {
    const char *Vendor;
    const char *Password;
};
constexpr TVendorPassword kVendorPasswords[] = {
    {"Quenvar", "Qv7tRm2Xk9pLw"},
    {"Tevoro", "Tv4Rk9q"},
    {"Mirsalta", "Ms3kT8wQz2L"},
    {"Obrentix", "Ob5nX2rT7kWq"},
};

std::unique_ptr<TPriceListDatabase> g_database;

/// A statement that could not be prepared only because its table or column is
/// not in the file: the list has no such value. Any other failure (a damaged
/// page, an I/O error, no memory) means the file cannot be read.
bool MissingInSchema(int prepared)
{
    return (prepared & 0xff) == SQLITE_ERROR;
}

/// A step that neither gave a row nor ended normally: the file cannot be read.
bool StepFailed(int stepped)
{
    return stepped != SQLITE_ROW && stepped != SQLITE_DONE;
}

/// One prepared statement, finalised when it goes out of scope.
class TStatement {
public:
    TStatement(sqlite3 *db, const QByteArray &sql)
    {
        m_prepared = Sqlite().PrepareV2(db, sql.constData(), int(sql.size()), &m_stmt, nullptr);
        if (m_prepared != SQLITE_OK) {
            Sqlite().Finalize(m_stmt);
            m_stmt = nullptr;
        }
    }
    ~TStatement() { Sqlite().Finalize(m_stmt); }
    TStatement(const TStatement &) = delete;
    TStatement &operator=(const TStatement &) = delete;

    bool Ok() const { return m_stmt != nullptr; }
    /// True when a row came back.
    bool Step()
    {
        m_stepped = Sqlite().Step(m_stmt);
        return m_stepped == SQLITE_ROW;
    }
    /// The statement could not be prepared or run for another reason than a
    /// missing table or column.
    bool ReadFailed() const { return Ok() ? StepFailed(m_stepped) : !MissingInSchema(m_prepared); }
    sqlite3_stmt *Handle() const { return m_stmt; }

private:
    sqlite3_stmt *m_stmt = nullptr;
    int m_prepared = SQLITE_OK;
    int m_stepped = SQLITE_DONE;
};

/// An identifier of the program's own, quoted for the SQL text. Back quotes, not
/// double quotes: the engine takes a double-quoted name that is not a column for
/// a string, so a missing column would read as its own name.
QByteArray Identifier(const QString &name)
{
    QByteArray quoted = name.toUtf8();
    quoted.replace('`', "``");
    return '`' + quoted + '`';
}

QVariant ColumnValue(sqlite3_stmt *stmt, int column)
{
    switch (Sqlite().ColumnType(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(Sqlite().ColumnInt64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(Sqlite().ColumnDouble(stmt, column));
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(Sqlite().ColumnText(stmt, column));
        return QVariant(QString::fromUtf8(text, Sqlite().ColumnBytes(stmt, column)));
    }
    default:
        return QVariant();
    }
}

/// A stored number as money; -1 for a value that is not a number or does not fit.
TCurrency MoneyOf(sqlite3_stmt *stmt, int column)
{
    constexpr int64_t kScale = 10000;
    switch (Sqlite().ColumnType(stmt, column)) {
    case SQLITE_INTEGER: {
        const int64_t v = Sqlite().ColumnInt64(stmt, column);
        if (v > std::numeric_limits<int64_t>::max() / kScale || v < std::numeric_limits<int64_t>::min() / kScale)
            return -1;
        return v * kScale;
    }
    case SQLITE_FLOAT: {
        const double scaled = Sqlite().ColumnDouble(stmt, column) * double(kScale);
        if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.0e18)
            return -1;
        return TCurrency(std::llround(scaled));
    }
    default:
        return -1;
    }
}

QString HeaderText(const QString &column)
{
    QVariant value;
    return QueryFirstValue(QString::fromLatin1(kPriceListInfoTable), column, value) ? value.toString() : QString();
}

int32_t HeaderInteger(const QString &column)
{
    QVariant value;
    if (!QueryFirstValue(QString::fromLatin1(kPriceListInfoTable), column, value) || value.isNull())
        return -1;
    if (value.typeId() == QMetaType::LongLong) {
        const qlonglong n = value.toLongLong();
        return n >= std::numeric_limits<int32_t>::min() && n <= std::numeric_limits<int32_t>::max() ? int32_t(n) : -1;
    }
    int32_t n = -1;
    return TryReadInteger(value.toString().trimmed(), n) ? n : -1;
}

} // namespace

QString PriceTableName(int32_t group)
{
    switch (group) {
    case int32_t(TItemGroup::Standard):
        return QStringLiteral("Standard");
    case int32_t(TItemGroup::Components):
        return QStringLiteral("Components");
    case int32_t(TItemGroup::Accessories):
        return QStringLiteral("Accessories");
    case int32_t(TItemGroup::Contracts):
        return QStringLiteral("Contracts");
    default:
        return QString();
    }
}

QString PriceListPassword(const QString &vendorName)
{
    for (const TVendorPassword &entry : kVendorPasswords)
        if (vendorName == QLatin1String(entry.Vendor))
            return QString::fromLatin1(entry.Password);
    return QString();
}

TPriceListDatabase::~TPriceListDatabase()
{
    for (sqlite3_stmt *stmt : std::as_const(m_priceStatements))
        Sqlite().Finalize(stmt);
    Sqlite().CloseV2(m_db);
}

bool TPriceListDatabase::PriceStatement(const QString &table, sqlite3_stmt *&stmt) const
{
    const auto it = m_priceStatements.constFind(table);
    if (it != m_priceStatements.constEnd()) {
        stmt = *it;
        return true;
    }
    const QByteArray sql = "SELECT " + Identifier(QString::fromLatin1(kPriceColumn)) + " FROM " + Identifier(table) +
                           " WHERE " + Identifier(QString::fromLatin1(kItemColumn)) + " = ?1";
    stmt = nullptr;
    const int prepared = Sqlite().PrepareV2(m_db, sql.constData(), int(sql.size()), &stmt, nullptr);
    if (prepared != SQLITE_OK) {
        Sqlite().Finalize(stmt);
        stmt = nullptr;
        if (!MissingInSchema(prepared))
            return false;
    }
    // A table that is missing stays missing while the file is open.
    m_priceStatements.insert(table, stmt);
    return true;
}

std::unique_ptr<TPriceListDatabase> TPriceListDatabase::Open(const QString &fileName, const QString &password)
{
    // Only a regular file is a price list: a folder, device or pipe is refused
    // before the engine sees it, and a missing file never gets a key.
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile() || !Sqlite().Ok)
        return nullptr;
    sqlite3 *db = nullptr;
    const int opened = Sqlite().OpenV2(QFile::encodeName(fileName).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (opened != SQLITE_OK || db == nullptr) {
        Sqlite().CloseV2(db);
        return nullptr;
    }
    std::unique_ptr<TPriceListDatabase> database(new TPriceListDatabase(db));
    if (!password.isEmpty()) {
        const QByteArray key = password.toUtf8();
        if (Sqlite().Key(db, key.constData(), int(key.size())) != SQLITE_OK)
            return nullptr;
    }
    if (Sqlite().Exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return nullptr;
    // A wrong password or a damaged file shows at the first read; a database
    // without any table (an empty file reads as one) is no price list either.
    TStatement check(db, "SELECT count(*) FROM sqlite_master WHERE type='table'");
    if (!check.Ok() || !check.Step() || Sqlite().ColumnInt64(check.Handle(), 0) <= 0)
        return nullptr;
    return database;
}

bool TPriceListDatabase::QueryFirstValue(const QString &table, const QString &column, QVariant &value) const
{
    value = QVariant();
    TStatement stmt(m_db, "SELECT " + Identifier(column) + " FROM " + Identifier(table));
    const bool found = stmt.Ok() && stmt.Step();
    if (stmt.ReadFailed())
        m_readFailed = true;
    if (!found)
        return false;
    value = ColumnValue(stmt.Handle(), 0);
    return true;
}

std::optional<TCurrency> TPriceListDatabase::QueryPrice(const QString &table, const QString &itemCode) const
{
    if (m_readFailed)
        return std::nullopt;
    if (table.isEmpty())
        return -1;
    QHash<QString, TCurrency> &known = m_prices[table];
    const auto it = known.constFind(itemCode);
    if (it != known.constEnd())
        return *it;
    constexpr qsizetype kMaxKnownPrices = 100000;
    if (known.size() >= kMaxKnownPrices)
        known.clear();
    sqlite3_stmt *stmt = nullptr;
    if (!PriceStatement(table, stmt)) {
        m_readFailed = true;
        return std::nullopt;
    }
    if (stmt == nullptr)
        return -1;
    const QByteArray code = itemCode.toUtf8();
    TCurrency price = -1;
    Sqlite().Reset(stmt);
    int stepped = SQLITE_MISUSE;
    if (Sqlite().BindText(stmt, 1, code.constData(), int(code.size()), SQLITE_STATIC) == SQLITE_OK)
        stepped = Sqlite().Step(stmt);
    if (stepped == SQLITE_ROW)
        price = MoneyOf(stmt, 0);
    Sqlite().Reset(stmt);
    Sqlite().ClearBindings(stmt);
    if (StepFailed(stepped)) {
        m_readFailed = true;
        return std::nullopt;
    }
    known.insert(itemCode, price);
    return price;
}

bool OpenPriceListDatabase(const QString &fileName, const QString &vendorName)
{
    ClosePriceListDatabase();
    g_database = TPriceListDatabase::Open(fileName, PriceListPassword(vendorName));
    return g_database != nullptr;
}

void ClosePriceListDatabase()
{
    g_database.reset();
}

const TPriceListDatabase *PriceListDatabase()
{
    return g_database.get();
}

bool QueryFirstValue(const QString &table, const QString &column, QVariant &value)
{
    value = QVariant();
    return g_database && g_database->QueryFirstValue(table, column, value);
}

std::optional<TCurrency> QueryPrice(const QString &table, const QString &itemCode)
{
    if (!g_database)
        return -1;
    const std::optional<TCurrency> price = g_database->QueryPrice(table, itemCode);
    if (!price)
        SetPriceListNotValid(PriceList);
    return price;
}

void SetPriceListNotValid(TPriceList &list)
{
    ClosePriceListDatabase();
    list = TPriceList();
    list.NotValid = true;
}

bool LoadPriceListFile(const QString &dataPath, const QString &vendorName, TPriceList &list)
{
    ClosePriceListDatabase();
    list = TPriceList();
    const QString name = dataPath + QLatin1String(kPriceListFileName);
    // Anything at the name counts as present; only a regular file can open.
    if (dataPath.isEmpty() || (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink()))
        return false;
    list.Loaded = OpenPriceListDatabase(name, vendorName);
    if (!list.Loaded) {
        list.NotValid = true;
        return false;
    }
    list.CountryID = HeaderInteger(QStringLiteral("CountryID"));
    list.CountryName = HeaderText(QStringLiteral("CountryName"));
    list.Currency = HeaderText(QStringLiteral("Currency"));
    list.ValidityDate = HeaderText(QStringLiteral("ValidityDate"));
    // A header that cannot be read is a damaged file, not an empty header.
    if (g_database->ReadFailed()) {
        SetPriceListNotValid(list);
        return false;
    }
    list.NotValid = false;
    return true;
}

bool WarnInvalidPriceList(TPriceList &list)
{
    const bool wasNotValid = list.NotValid;
    if (wasNotValid) {
        ShowWarning(LangMessages(QStringLiteral("ErrorPriceListNotValid")));
        list.NotValid = false;
    }
    return wasNotValid;
}

bool WarnInvalidPriceList()
{
    return WarnInvalidPriceList(PriceList);
}

QString PriceListCountryLine(const TPriceList &list)
{
    return FormatText(LangCommons(QStringLiteral("CountryOfPriceList")), {list.CountryName});
}

QString PriceListDateLine(const TPriceList &list)
{
    const QString date = FormatDate8(list.ValidityDate);
    if (date.isEmpty())
        return QString();
    return FormatText(LangCommons(QStringLiteral("DateOfPriceList")), {date});
}
