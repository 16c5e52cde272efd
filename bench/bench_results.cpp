// Complete results per second, single thread, without windows: each result is
// a whole wizard sizing (as bench_sizing) followed by what the results page
// builds from it: the drawing's effect on the records, the bill of materials
// priced from the price list and the data sheet, with every language text
// read through the language file as the window reads it.
//
//   bench_results [program folder] [price list] [seconds]
//
// The program folder holds Quenvar.so and English.lng (default build/bin);
// the price list defaults to build/PriceList.tc ("none" runs without one).

#include "BenchRequests.h"
#include "DataSheet.h"
#include "IniFile.h"
#include "ItemList.h"
#include "LayoutGeometry.h"
#include "PriceList.h"
#include "Vendor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

namespace {

int64_t ResultOnce(const TBenchRequest &q, const TWizardContext &context, const TWizardOffer &offer,
                   const TItemListContext &items, const TDataSheetContext &sheet, int64_t &refused)
{
    TRequestParameters request;
    TResultParameters result;
    // As the results page: one reading of the language file for both tables.
    const TIniReadScope oneReading;
    int64_t checksum = SizeInto(q, context, &offer, refused, request, result);
    if (checksum == 0)
        return 0;
    LayoutFullCabinets(request, result);
    const TItemList list = BuildItemList(request, result, items);
    const QVector<TDataRow> rows = BuildDataSheet(request, result, sheet);
    checksum += list.Rows.size() * 7 + list.Total % 1000 + rows.size() * 3 + rows.last().Value.size();
    return checksum;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString folder = QFileInfo(args.size() > 1 ? args[1] : QStringLiteral("build/bin")).absoluteFilePath() + '/';
    const QString priceList = args.size() > 2 ? args[2] : QStringLiteral("build/PriceList.tc");
    const double seconds = args.size() > 3 ? args[3].toDouble() : 3.0;

    if (!UseProgramFolder(folder)) {
        std::fprintf(stderr, "Cannot load the vendor library from %s\n", qPrintable(folder));
        return 2;
    }
    const bool priced = priceList != QLatin1String("none");
    if (priced && !OpenPriceListDatabase(QFileInfo(priceList).absoluteFilePath(), SetupData.VendorName)) {
        std::fprintf(stderr, "Cannot open the price list %s\n", qPrintable(priceList));
        return 2;
    }
    PriceList.Loaded = priced;
    SetupData.ShowPrices = priced;

    const QVector<TBenchRequest> requests = MakeRequests();
    TWizardContext context;
    context.LanguageID = 1033;
    const TWizardOffer offer = ReadWizardOffer();
    // As the main window: the standard models are read at start-up.
    const TItemListContext items = ProgramItemListContext(LoadStandardUpsList(ProgramVendorReader()), SetupData);
    const TDataSheetContext sheet = ProgramDataSheetContext(SetupData);

    int64_t refused = 0, checksum = 0;
    for (const TBenchRequest &q : requests)
        checksum += ResultOnce(q, context, offer, items, sheet, refused);

    refused = 0;
    int64_t results = 0;
    QElapsedTimer timer;
    timer.start();
    while (timer.nsecsElapsed() < qint64(seconds * 1e9)) {
        for (const TBenchRequest &q : requests)
            checksum += ResultOnce(q, context, offer, items, sheet, refused);
        results += requests.size();
    }
    const double elapsed = double(timer.nsecsElapsed()) / 1e9;
    std::printf("%lld complete results (%s) in %.3f s: %.0f results per second (%lld refused, checksum %lld)\n",
                static_cast<long long>(results), priced ? "priced" : "without price list", elapsed,
                double(results) / elapsed, static_cast<long long>(refused), static_cast<long long>(checksum));
    ClosePriceListDatabase();
    UnloadVendorLibrary();
    return 0;
}
