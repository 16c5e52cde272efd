#pragma once
// The vendors' price-list maker: builds a "PriceList.tc" from plain CSV files
// (the header row and the four price tables) with a vendor's password, and
// lists an existing file.

#include "Globals.h"
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

/// CSV text: comma-separated, fields optionally in double quotes ("" inside
/// quotes is one quote), lines ending in LF or CR LF, UTF-8 with an optional
/// byte order mark. False with a message naming the line and column.
bool ReadCsv(const QByteArray &bytes, QList<QStringList> &rows, QString &error);

/// "12", "12.5", "-0.0001": at most four decimals, point as separator.
bool ParseMoneyText(const QString &text, TCurrency &amount);

struct TPriceRow {
    QString Item;
    /// The stored price: a double (money), a qlonglong, a QString or null, as given.
    QVariant Price;
};

/// Everything a price-list file holds. A table without an entry in Tables is
/// not created; InfoRows may be empty.
struct TPriceListContent {
    bool HasInfoTable = true;
    QList<QVariantList> InfoRows; // CountryID, CountryName, Currency, ValidityDate
    QList<QPair<QString, QVector<TPriceRow>>> Tables;
};

/// The price tables the program reads, in order.
QStringList PriceTableNames();

/// Reads FOLDER/PriceListInfo.csv and FOLDER/<table>.csv of every price table.
bool ReadPriceListCsv(const QString &folder, TPriceListContent &content, QString &error);

/// Writes the content encrypted with `password` (none when empty) to a new file
/// beside `target`, then renames it into place. An existing target is refused
/// unless `replace`.
bool WritePriceListFile(const QString &target, const QString &password, const TPriceListContent &content, bool replace,
                        QString &error);

/// The header and every row of a file opened with the vendor's password, as text lines.
bool ListPriceListFile(const QString &fileName, const QString &vendorName, QStringList &lines, QString &error);

/// The command line of the tool: "make" and "list". Returns the exit status.
int RunPriceListTool(const QStringList &arguments, QTextStream &out, QTextStream &err);
