#pragma once
// The price list: an optional, password-protected database file
// (DataPath + "PriceList.tc") that each vendor distributes. It is opened
// read-only and held exclusively; the program reads its header row and one
// price per item code, always through bound parameters.

#include "Globals.h"
#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

constexpr const char *kPriceListFileName = "PriceList.tc";
constexpr const char *kPriceListInfoTable = "PriceListInfo";

/// The price tables, one per item group of the bill of materials.
enum class TItemGroup : int32_t {
    Standard = 0,
    Components = 1,
    Accessories = 2,
    Contracts = 3,
};
/// "Standard", "Components", "Accessories", "Contracts"; empty for any other group.
QString PriceTableName(int32_t group);

struct TPriceList {
    bool Loaded = false;
    int32_t CountryID = -1;
    QString CountryName;
    QString ValidityDate; // YYYYMMDD as stored
    QString Currency;
    bool NotValid = false;
};
extern TPriceList PriceList;

/// The password of a vendor's price lists; empty for a vendor without one.
/// Names are compared exactly.
QString PriceListPassword(const QString &vendorName);

struct sqlite3;
struct sqlite3_stmt;

/// One open price-list database: the engine handle, read-only, exclusive.
class TPriceListDatabase {
public:
    ~TPriceListDatabase();
    TPriceListDatabase(const TPriceListDatabase &) = delete;
    TPriceListDatabase &operator=(const TPriceListDatabase &) = delete;

    /// Opens a regular file read-only with the password and checks that it reads
    /// as a database; nullptr when it does not (missing, not a file, damaged,
    /// another password). Never prompts.
    static std::unique_ptr<TPriceListDatabase> Open(const QString &fileName, const QString &password);

    /// The column of the table's first row; false when there is no row, no such
    /// table or column, or the file cannot be read (then ReadFailed is set).
    /// Table and column are the program's own names.
    bool QueryFirstValue(const QString &table, const QString &column, QVariant &value) const;
    /// The price of the first row whose Item equals the code, as written; -1 when
    /// the table name is empty, the table, the column or the item is missing, or
    /// its Price is not a number. No value at all when the file cannot be read (a
    /// damaged page, an I/O error): that is no answer about the item, and from
    /// then on ReadFailed is set and every query goes without an answer.
    std::optional<TCurrency> QueryPrice(const QString &table, const QString &itemCode) const;
    /// A read failed for another reason than a missing row, table or column.
    bool ReadFailed() const { return m_readFailed; }

private:
    explicit TPriceListDatabase(sqlite3 *db) : m_db(db) {}
    /// The price query of a table, prepared once and reset around every use;
    /// nullptr when the table or one of its columns is missing. False when the
    /// file could not be read.
    bool PriceStatement(const QString &table, sqlite3_stmt *&stmt) const;

    sqlite3 *m_db = nullptr;
    mutable bool m_readFailed = false;
    mutable QHash<QString, sqlite3_stmt *> m_priceStatements;
    /// Prices already read, by table and code: no other program can change the
    /// file while it is held open, so an answer stays true until it is closed.
    mutable QHash<QString, QHash<QString, TCurrency>> m_prices;
};

/// Opens the program-wide price-list database with the password of `vendorName`.
bool OpenPriceListDatabase(const QString &fileName, const QString &vendorName);
void ClosePriceListDatabase();
/// The open program-wide database, nullptr when none.
const TPriceListDatabase *PriceListDatabase();
bool QueryFirstValue(const QString &table, const QString &column, QVariant &value);
/// The price from the program-wide database, -1 without one or for an item it has
/// no price for. No value when the file cannot be read: PriceList then counts as
/// not valid (SetPriceListNotValid).
std::optional<TCurrency> QueryPrice(const QString &table, const QString &itemCode);
/// A list that turned out unreadable: the database is closed, `list` is not
/// loaded and NotValid is set, so that the warning follows once.
void SetPriceListNotValid(TPriceList &list);

/// Opens DataPath + "PriceList.tc" into `list`: a missing file leaves it not
/// loaded and valid; a file that does not open, or whose header cannot be read,
/// sets NotValid; an open one has its header read (a missing column is an empty
/// field, or -1). Returns list.Loaded. The caller switches the price column and
/// the currency symbol (ApplyPriceListState).
bool LoadPriceListFile(const QString &dataPath, const QString &vendorName, TPriceList &list);
/// When NotValid is set: the warning Messages/ErrorPriceListNotValid, and NotValid
/// is cleared. Returns the value NotValid had.
bool WarnInvalidPriceList(TPriceList &list);
bool WarnInvalidPriceList();

/// Commons/CountryOfPriceList with the list's country name.
QString PriceListCountryLine(const TPriceList &list);
/// Commons/DateOfPriceList with the formatted validity date; empty without a valid date.
QString PriceListDateLine(const TPriceList &list);
