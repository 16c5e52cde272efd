// Full wizard sizings per second, single thread, without windows or output:
// each sizing creates the wizard flow on the vendor's offer (read once) and
// passes the Phases, Power, Redundancy, Autonomy and Advanced pages, then Finish.
//
//   bench_sizing [path/to/Quenvar.so] [seconds] [fresh]
//
// "fresh" reads the vendor's offer again for every wizard, as the dialog does.

#include "Globals.h"
#include "Vendor.h"
#include "WizardCore.h"
#include "BenchRequests.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QVector>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString library = args.size() > 1 ? args[1] : QStringLiteral("build/bin/Quenvar.so");
    const double seconds = args.size() > 2 ? args[2].toDouble() : 3.0;
    if (!LoadVendorLibraryFile(QFileInfo(library).absoluteFilePath())) {
        std::fprintf(stderr, "Cannot load the vendor library %s\n", qPrintable(library));
        return 2;
    }

    const QVector<TBenchRequest> requests = MakeRequests();
    TWizardContext context;
    context.LanguageID = 1033;
    // What the vendor offers is read once, as between two wizard runs of the program.
    const TWizardOffer offer = ReadWizardOffer();
    const bool fresh = args.size() > 3 && args[3] == QLatin1String("fresh");
    const TWizardOffer *shared = fresh ? nullptr : &offer;

    // Warm-up: the catalogue reads its texts once.
    int64_t refused = 0, checksum = 0;
    for (const TBenchRequest &q : requests)
        checksum += SizeOnce(q, context, shared, refused);

    refused = 0;
    int64_t sizings = 0;
    QElapsedTimer timer;
    timer.start();
    while (timer.nsecsElapsed() < qint64(seconds * 1e9)) {
        for (const TBenchRequest &q : requests)
            checksum += SizeOnce(q, context, shared, refused);
        sizings += requests.size();
    }
    const double elapsed = double(timer.nsecsElapsed()) / 1e9;
    std::printf("%lld sizings in %.3f s: %.0f sizings per second (%lld refused, checksum %lld)\n",
                static_cast<long long>(sizings), elapsed, double(sizings) / elapsed,
                static_cast<long long>(refused), static_cast<long long>(checksum));
    UnloadVendorLibrary();
    return 0;
}
