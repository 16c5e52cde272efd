// Time of the offer documents against the sizing and tables they show: a
// typical configuration (20 kVA with a battery cabinet, accessories, the
// sample price list) sized and tabled, then written as PDF and as Word
// document, each many times, on the offscreen platform.
//
//   bench_documents [program folder] [price list] [rounds]

#include "BenchRequests.h"
#include "Headless.h"
#include "IniFile.h"
#include "LayoutGeometry.h"
#include "LayoutPainter.h"
#include "OfferDocument.h"
#include "PriceList.h"
#include "ReportWriter.h"
#include "Vendor.h"
#include "WindowServices.h"
#include "WordWriter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QByteArray kTypical =
    R"({"sizeLine": 5, "loadPower": 18000, "autonomyMinutes": 15,
        "accessories": [{"record": 20000}, {"record": 20100, "quantity": 5}]})";

/// Milliseconds per call of `work`, over `rounds` calls.
double Time(int rounds, const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        work();
    return double(timer.nsecsElapsed()) / 1e6 / rounds;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LoadProgramFonts();
    const QStringList args = QCoreApplication::arguments();
    const QString folder = QFileInfo(args.size() > 1 ? args[1] : QStringLiteral("build/bin")).absoluteFilePath() + '/';
    const QString priceList = args.size() > 2 ? args[2] : QStringLiteral("build/PriceList.tc");
    const int rounds = args.size() > 3 ? args[3].toInt() : 40;

    if (!UseProgramFolder(folder) ||
        !OpenPriceListDatabase(QFileInfo(priceList).absoluteFilePath(), SetupData.VendorName)) {
        std::fprintf(stderr, "Cannot load the vendor library or the price list\n");
        return 2;
    }
    PriceList.Loaded = true;
    SetupData.ShowPrices = true;
    BuildDrawingTables();
    const THeadlessSession session = ReadHeadlessSession();
    const QJsonObject request = QJsonDocument::fromJson(kTypical).object();

    TRequestParameters req;
    TResultParameters res;
    TItemList items;
    QVector<TDataRow> sheet;
    QImage layout;
    // The sizing, the drawing's capture and both tables, as the results page makes them.
    auto results = [&] {
        SizeRequestJson(request, {}, &req, &res, &session);
        const TIniReadScope oneReading;
        layout = RenderLayoutBitmap(req, res);
        items = BuildItemList(req, res, ProgramItemListContext(session.StandardUps, SetupData));
        sheet = BuildDataSheet(req, res, ProgramDataSheetContext(SetupData));
    };
    results();
    // The documents as the window writes them, with the runtime block.
    TOfferDocument doc =
        BuildOfferDocument(items, sheet, layout, QStringLiteral("Varnex Configurator"), SetupData.Version);
    AddRuntimeBlock(doc, req, res);
    QTemporaryDir dir;
    QString error;
    const QString pdf = dir.path() + QStringLiteral("/offer.pdf"), word = dir.path() + QStringLiteral("/offer.doc");
    WritePdfReport(doc, pdf, error);
    SaveWordDocument(doc, word, error);

    const double tables = Time(rounds, results);
    const double pdfMs = Time(rounds, [&] { WritePdfReport(doc, pdf, error); });
    const double wordMs = Time(rounds, [&] { SaveWordDocument(doc, word, error); });
    std::printf("%-34s %10s %10s\n", "step (typical configuration)", "ms", "x tables");
    std::printf("%-34s %10.2f %10.1f\n", "sizing, drawing and tables", tables, 1.0);
    std::printf("%-34s %10.2f %10.1f\n", "PDF report", pdfMs, pdfMs / tables);
    std::printf("%-34s %10.2f %10.1f\n", "Word document", wordMs, wordMs / tables);
    std::printf("(%d rounds, PDF %lld bytes, Word %lld bytes)\n", rounds, QFileInfo(pdf).size(),
                QFileInfo(word).size());
    ClosePriceListDatabase();
    UnloadVendorLibrary();
    return 0;
}
