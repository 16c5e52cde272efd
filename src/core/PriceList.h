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

constexpr const char *kPriceListFileName = "PriceList.tc";
constexpr const char *kPriceListInfoTable = "PriceListInfo";

/// The price tables, one per item group of the bill of materials.
enum TItemGroup : int32_t {
    GroupStandard = 0,
    GroupComponents = 1,
    GroupAccessories = 2,
    GroupContracts = 3,
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

    /// The column of the table's first row; false when there is no row or the
    /// query fails. Table and column are the program's own names.
    bool QueryFirstValue(const QString &table, const QString &column, QVariant &value) const;
    /// The price of the first row whose Item equals the code, as written; -1 when
    /// the table name is empty, the item is missing, its Price is not a number, or
    /// the query fails.
    TCurrency QueryPrice(const QString &table, const QString &itemCode) const;

private:
    explicit TPriceListDatabase(sqlite3 *db) : m_db(db) {}
    /// The price query of a table, prepared once and reset around every use.
    sqlite3_stmt *PriceStatement(const QString &table) const;

    sqlite3 *m_db = nullptr;
    mutable QHash<QString, sqlite3_stmt *> m_priceStatements;
    /// Prices already read, by table and code: no other program can change the
    /// file while it is held open, so an answer stays true until it is closed.
    mutable QHash<QString, QHash<QString, TCurrency>> m_prices;
};

/// Opens the program-wide price-list database with the password of `vendorName`.
bool OpenPriceListDatabase(const QString &fileName, const QString &vendorName);
bool OpenPriceListDatabase(const QString &fileName); // SetupData.VendorName
void ClosePriceListDatabase();
/// The open program-wide database, nullptr when none.
const TPriceListDatabase *PriceListDatabase();
bool QueryFirstValue(const QString &table, const QString &column, QVariant &value);
TCurrency QueryPrice(const QString &table, const QString &itemCode);

/// Opens DataPath + "PriceList.tc" into `list`: a missing file leaves it not
/// loaded and valid; a file that does not open sets NotValid; an open one has its
/// header read. Returns list.Loaded. The caller switches the price column and
/// the currency symbol (ApplyPriceListState).
bool LoadPriceListFile(const QString &dataPath, const QString &vendorName, TPriceList &list);
/// LoadPriceListFile into PriceList with SetupData; on success the money format
/// loses its currency symbol.
bool LoadPriceList();
/// When NotValid is set: the warning Messages/ErrorPriceListNotValid, and NotValid
/// is cleared. Returns the value NotValid had.
bool WarnInvalidPriceList(TPriceList &list);
bool WarnInvalidPriceList();

/// Commons/CountryOfPriceList with the list's country name.
QString PriceListCountryLine(const TPriceList &list);
/// Commons/DateOfPriceList with the formatted validity date; empty without a valid date.
QString PriceListDateLine(const TPriceList &list);
