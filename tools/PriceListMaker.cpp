#include "PriceListMaker.h"

#include "PriceList.h"
#include "SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

namespace {

const QStringList kInfoColumns{QStringLiteral("CountryID"), QStringLiteral("CountryName"), QStringLiteral("Currency"),
                               QStringLiteral("ValidityDate")};
const QStringList kPriceColumns{QStringLiteral("Item"), QStringLiteral("Price")};

struct TDbCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using TDb = std::unique_ptr<sqlite3, TDbCloser>;

struct TStmtCloser {
    void operator()(sqlite3_stmt *stmt) const { sqlite3_finalize(stmt); }
};
using TStmt = std::unique_ptr<sqlite3_stmt, TStmtCloser>;

QString DbError(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

bool Exec(sqlite3 *db, const QString &sql, QString &error)
{
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    error = DbError(db);
    return false;
}

QString Quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace('"', "\"\"") + QLatin1Char('"');
}

bool Bind(sqlite3_stmt *stmt, int index, const QVariant &value)
{
    if (value.isNull())
        return sqlite3_bind_null(stmt, index) == SQLITE_OK;
    switch (value.typeId()) {
    case QMetaType::Double:
        return sqlite3_bind_double(stmt, index, value.toDouble()) == SQLITE_OK;
    case QMetaType::LongLong:
    case QMetaType::Int:
        return sqlite3_bind_int64(stmt, index, value.toLongLong()) == SQLITE_OK;
    default: {
        const QByteArray utf8 = value.toString().toUtf8();
        return sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) == SQLITE_OK;
    }
    }
}

bool InsertRow(sqlite3 *db, const QString &table, const QVariantList &values, QString &error)
{
    QStringList marks;
    for (int i = 1; i <= values.size(); ++i)
        marks << QStringLiteral("?%1").arg(i);
    const QByteArray sql = ("INSERT INTO " + Quoted(table) + " VALUES (" + marks.join(',') + ")").toUtf8();
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &raw, nullptr) != SQLITE_OK) {
        error = DbError(db);
        return false;
    }
    TStmt stmt(raw);
    for (int i = 0; i < values.size(); ++i)
        if (!Bind(raw, i + 1, values[i])) {
            error = DbError(db);
            return false;
        }
    if (sqlite3_step(raw) != SQLITE_DONE) {
        error = DbError(db);
        return false;
    }
    return true;
}

bool WriteContent(sqlite3 *db, const TPriceListContent &content, QString &error)
{
    if (!Exec(db, QStringLiteral("BEGIN"), error))
        return false;
    if (content.HasInfoTable) {
        if (!Exec(db,
                  QStringLiteral("CREATE TABLE PriceListInfo (CountryID INTEGER, CountryName TEXT, Currency TEXT, "
                                 "ValidityDate TEXT)"),
                  error))
            return false;
        for (const QVariantList &row : content.InfoRows)
            if (!InsertRow(db, QStringLiteral("PriceListInfo"), row, error))
                return false;
    }
    for (const auto &[table, rows] : content.Tables) {
        if (!Exec(db, "CREATE TABLE " + Quoted(table) + " (Item TEXT NOT NULL, Price)", error) ||
            !Exec(db, "CREATE INDEX " + Quoted(table + "_Item") + " ON " + Quoted(table) + " (Item)", error))
            return false;
        for (const TPriceRow &row : rows)
            if (!InsertRow(db, table, {row.Item, row.Price}, error))
                return false;
    }
    return Exec(db, QStringLiteral("COMMIT"), error);
}

/// The CSV rows of a file, the first naming the expected columns.
bool ReadCsvFile(const QString &fileName, const QStringList &columns, QList<QStringList> &rows, QString &error)
{
    const QString name = QFileInfo(fileName).fileName();
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly)) {
        error = name + QStringLiteral(": cannot be read");
        return false;
    }
    constexpr qint64 kMaxCsvBytes = 64 << 20;
    if (file.size() > kMaxCsvBytes) {
        error = name + QStringLiteral(": larger than 64 MiB");
        return false;
    }
    QByteArray bytes;
    if (!ReadAtMost(file, kMaxCsvBytes, bytes)) {
        error = name + QStringLiteral(": cannot be read whole (at most 64 MiB)");
        return false;
    }
    QString csvError;
    if (!ReadCsv(bytes, rows, csvError)) {
        error = name + QStringLiteral(", ") + csvError;
        return false;
    }
    if (rows.isEmpty() || rows.first() != columns) {
        error = name + QStringLiteral(", line 1: the header must read \"") + columns.join(',') + '"';
        return false;
    }
    for (qsizetype r = 1; r < rows.size(); ++r)
        if (rows[r].size() != columns.size()) {
            error = name + QStringLiteral(", line %1: %2 columns expected, %3 found")
                               .arg(r + 1)
                               .arg(columns.size())
                               .arg(rows[r].size());
            return false;
        }
    rows.removeFirst();
    return true;
}

bool ReadInfoCsv(const QString &folder, TPriceListContent &content, QString &error)
{
    QList<QStringList> rows;
    if (!ReadCsvFile(folder + QStringLiteral("/PriceListInfo.csv"), kInfoColumns, rows, error))
        return false;
    if (rows.size() != 1) {
        error = QStringLiteral("PriceListInfo.csv: exactly one row under the header expected");
        return false;
    }
    bool ok = false;
    const int country = rows[0][0].toInt(&ok);
    if (!ok) {
        error = QStringLiteral("PriceListInfo.csv, line 2, column 1: the country number is not an integer");
        return false;
    }
    const QString date = rows[0][3];
    if (!date.isEmpty() && (date.size() != 8 || !QDate::fromString(date, QStringLiteral("yyyyMMdd")).isValid())) {
        error = QStringLiteral("PriceListInfo.csv, line 2, column 4: the date must be YYYYMMDD");
        return false;
    }
    content.InfoRows = {{qlonglong(country), rows[0][1], rows[0][2], date}};
    return true;
}

bool ReadPriceTableCsv(const QString &folder, const QString &table, TPriceListContent &content, QString &error)
{
    QList<QStringList> rows;
    if (!ReadCsvFile(folder + '/' + table + QStringLiteral(".csv"), kPriceColumns, rows, error))
        return false;
    QVector<TPriceRow> prices;
    QSet<QString> seen;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QString where = table + QStringLiteral(".csv, line %1, column ").arg(r + 2);
        const QString item = rows[r][0];
        TCurrency amount = 0;
        if (item.trimmed().isEmpty() || item != item.trimmed()) {
            error = where + QStringLiteral("1: the item code is empty or has blanks around it");
            return false;
        }
        if (seen.contains(item)) {
            error = where + QStringLiteral("1: the item \"%1\" is listed twice").arg(item);
            return false;
        }
        if (!ParseMoneyText(rows[r][1], amount)) {
            error = where +
                    QStringLiteral("2: the price \"%1\" is not a number with at most four decimals").arg(rows[r][1]);
            return false;
        }
        seen.insert(item);
        prices.append({item, QVariant(double(amount) / 10000.0)});
    }
    content.Tables.append({table, prices});
    return true;
}

/// An existing file is replaced only when the vendor asks for it.
bool CheckTarget(const QString &target, bool replace, QString &error)
{
    const QFileInfo info(target);
    if ((info.exists() || info.isSymLink()) && info.isFile() && !replace) {
        error = target + QStringLiteral(": already exists (give --replace to replace it)");
        return false;
    }
    return true;
}

/// The database made in a folder of its own, as the bytes of its file.
bool MakeDatabase(const QString &password, const TPriceListContent &content, QByteArray &bytes, QString &error)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/PriceList.tc");
    sqlite3 *raw = nullptr;
    const int opened = dir.isValid() ? sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
                                     : SQLITE_CANTOPEN;
    TDb db(raw);
    if (opened != SQLITE_OK) {
        error = raw ? DbError(raw) : QStringLiteral("the database cannot be created");
        return false;
    }
    const QByteArray key = password.toUtf8();
    if (!key.isEmpty() && sqlite3_key(raw, key.constData(), int(key.size())) != SQLITE_OK) {
        error = DbError(raw);
        return false;
    }
    if (!WriteContent(raw, content, error))
        return false;
    if (sqlite3_close(db.release()) != SQLITE_OK) {
        error = QStringLiteral("the file could not be completed");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !ReadAtMost(file, file.size(), bytes)) {
        error = QStringLiteral("the file could not be read back: ") + file.errorString();
        return false;
    }
    return true;
}

QString ValueText(sqlite3_stmt *stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
        return QStringLiteral("NULL");
    case SQLITE_FLOAT:
        return QString::number(sqlite3_column_double(stmt, column), 'f', 4);
    default:
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
                                 sqlite3_column_bytes(stmt, column));
    }
}

bool ListTable(sqlite3 *db, const QString &table, QStringList &lines)
{
    const QByteArray sql = ("SELECT * FROM " + Quoted(table)).toUtf8();
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &raw, nullptr) != SQLITE_OK) {
        lines << table + QStringLiteral(": missing");
        return false;
    }
    TStmt stmt(raw);
    lines << QStringLiteral("[") + table + QStringLiteral("]");
    while (sqlite3_step(raw) == SQLITE_ROW) {
        QStringList values;
        for (int c = 0; c < sqlite3_column_count(raw); ++c)
            values << ValueText(raw, c);
        lines << values.join('\t');
    }
    return true;
}

int Usage(QTextStream &err)
{
    err << "Usage:\n"
           "  VarnexPriceList make --vendor NAME [--replace] CSV_FOLDER OUTPUT.tc\n"
           "      builds OUTPUT.tc from PriceListInfo.csv, Standard.csv, Components.csv,\n"
           "      Accessories.csv and Contracts.csv in CSV_FOLDER\n"
           "  VarnexPriceList list --vendor NAME FILE.tc\n"
           "      prints the header and every price of FILE.tc\n";
    err.flush();
    return 2;
}

} // namespace

bool ReadCsv(const QByteArray &bytes, QList<QStringList> &rows, QString &error)
{
    rows.clear();
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    const QString text = QString::fromUtf8(data);
    if (text.contains(QChar::ReplacementCharacter) && !data.contains("\xEF\xBF\xBD")) {
        error = QStringLiteral("the file is not UTF-8 text");
        return false;
    }
    QStringList row;
    QString field;
    bool quoted = false, wasQuoted = false, fieldStarted = false;
    int line = 1, column = 1;
    auto endField = [&] {
        row << field;
        field.clear();
        wasQuoted = fieldStarted = false;
        ++column;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u'"') {
            if (fieldStarted) {
                error = QStringLiteral("line %1, column %2: a quote inside an unquoted field").arg(line).arg(column);
                return false;
            }
            quoted = wasQuoted = fieldStarted = true;
        } else if (c == u',') {
            endField();
        } else if (c == u'\n' || (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')) {
            if (c == u'\r')
                ++i;
            if (fieldStarted || !row.isEmpty()) {
                endField();
                rows << row;
            }
            row.clear();
            ++line;
            column = 1;
        } else if (wasQuoted) {
            error = QStringLiteral("line %1, column %2: text after a closing quote").arg(line).arg(column);
            return false;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted) {
        error = QStringLiteral("line %1, column %2: a quoted field is not closed").arg(line).arg(column);
        return false;
    }
    if (fieldStarted || !row.isEmpty()) {
        endField();
        rows << row;
    }
    return true;
}

bool ParseMoneyText(const QString &text, TCurrency &amount)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    const bool negative = t.startsWith(u'-');
    if (negative || t.startsWith(u'+'))
        ++i;
    TCurrency whole = 0, fraction = 0;
    int wholeDigits = 0, decimals = 0;
    for (; i < t.size() && t[i].isDigit() && t[i].unicode() < 128; ++i, ++wholeDigits) {
        if (wholeDigits >= 14)
            return false;
        whole = whole * 10 + (t[i].unicode() - u'0');
    }
    if (i < t.size() && t[i] == u'.') {
        for (++i; i < t.size() && t[i].isDigit() && t[i].unicode() < 128; ++i, ++decimals) {
            if (decimals >= 4)
                return false;
            fraction = fraction * 10 + (t[i].unicode() - u'0');
        }
        if (decimals == 0)
            return false;
    }
    if (i != t.size() || wholeDigits == 0)
        return false;
    for (int d = decimals; d < 4; ++d)
        fraction *= 10;
    amount = (whole * 10000 + fraction) * (negative ? -1 : 1);
    return true;
}

QStringList PriceTableNames()
{
    QStringList names;
    for (TItemGroup group : {TItemGroup::Standard, TItemGroup::Components, TItemGroup::Accessories, TItemGroup::Contracts})
        names << PriceTableName(int32_t(group));
    return names;
}

bool ReadPriceListCsv(const QString &folder, TPriceListContent &content, QString &error)
{
    content = TPriceListContent();
    if (!ReadInfoCsv(folder, content, error))
        return false;
    for (const QString &table : PriceTableNames())
        if (!ReadPriceTableCsv(folder, table, content, error))
            return false;
    return true;
}

bool WritePriceListFile(const QString &target, const QString &password, const TPriceListContent &content, bool replace,
                        QString &error)
{
    QByteArray bytes;
    if (!CheckTarget(target, replace, error) || !MakeDatabase(password, content, bytes, error)) {
        error = error.startsWith(target) ? error : target + QStringLiteral(": ") + error;
        return false;
    }
    // Written beside the target and renamed into place, as every file the program saves.
    if (!WriteFileSafely(
            target, [&](QIODevice &file) { return file.write(bytes) == bytes.size(); }, error)) {
        error = target + QStringLiteral(": ") + error;
        return false;
    }
    return true;
}

bool ListPriceListFile(const QString &fileName, const QString &vendorName, QStringList &lines, QString &error)
{
    lines.clear();
    // The program's own reader decides whether the file opens for the vendor.
    if (!TPriceListDatabase::Open(fileName, PriceListPassword(vendorName))) {
        error = fileName + QStringLiteral(": not a price list of vendor \"%1\" (missing, damaged or another "
                                          "vendor's password)")
                               .arg(vendorName);
        return false;
    }
    sqlite3 *raw = nullptr;
    sqlite3_open_v2(QFile::encodeName(fileName).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    TDb db(raw);
    const QByteArray key = PriceListPassword(vendorName).toUtf8();
    if (!key.isEmpty())
        sqlite3_key(raw, key.constData(), int(key.size()));
    ListTable(raw, QStringLiteral("PriceListInfo"), lines);
    for (const QString &table : PriceTableNames())
        ListTable(raw, table, lines);
    return true;
}

int RunPriceListTool(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.isEmpty())
        return Usage(err);
    const QString command = arguments.first();
    QString vendor;
    bool replace = false, vendorGiven = false;
    QStringList files;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--vendor") && i + 1 < arguments.size()) {
            vendor = arguments[++i];
            vendorGiven = true;
        } else if (arguments[i] == QLatin1String("--replace")) {
            replace = true;
        } else if (arguments[i].startsWith(QLatin1String("--"))) {
            return Usage(err);
        } else {
            files << arguments[i];
        }
    }
    if (!vendorGiven)
        return Usage(err);
    QString error;
    if (command == QLatin1String("make") && files.size() == 2) {
        if (PriceListPassword(vendor).isEmpty()) {
            err << "Unknown vendor \"" << vendor << "\": the program has no price-list password for it\n";
            return 1;
        }
        TPriceListContent content;
        if (!ReadPriceListCsv(files[0], content, error) ||
            !WritePriceListFile(files[1], PriceListPassword(vendor), content, replace, error)) {
            err << error << '\n';
            return 1;
        }
        out << "Written " << files[1] << " for vendor " << vendor << '\n';
        return 0;
    }
    if (command == QLatin1String("list") && files.size() == 1 && !replace) {
        QStringList lines;
        if (!ListPriceListFile(files[0], vendor, lines, error)) {
            err << error << '\n';
            return 1;
        }
        for (const QString &line : lines)
            out << line << '\n';
        return 0;
    }
    return Usage(err);
}
