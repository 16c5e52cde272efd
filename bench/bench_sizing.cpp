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

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QVector>

#include <cstdio>

namespace {

struct TBenchRequest {
    bool InputThreePhase;
    int32_t OutputKind;
    QString Load;
    bool InWatt;
    int32_t Redundancy;
    QString Minutes;
    QString Percent;
    bool Modular;
    bool OnlyInverter;
};

/// A spread of sizes, units, output kinds, autonomies and cabinet kinds.
QVector<TBenchRequest> MakeRequests()
{
    QVector<TBenchRequest> list;
    const char *loads[] = {"3000", "8000", "10000", "14000", "20000", "27000", "41000", "46000"};
    const char *minutes[] = {"5", "10", "30", "60", "240"};
    int n = 0;
    for (const char *load : loads)
        for (const char *m : minutes)
            for (int kind = 0; kind < 3; ++kind) {
                // One single-phase output reaches 30 kVA at most.
                if (kind == 2 && QByteArray(load).toInt() > 24000)
                    continue;
                TBenchRequest r;
                r.InputThreePhase = true;
                r.OutputKind = kind;
                r.Load = QString::fromLatin1(load);
                r.InWatt = (n % 3) == 1;
                r.Redundancy = n % 2;
                r.Minutes = QString::fromLatin1(m);
                r.Percent = (n % 4) == 0 ? QStringLiteral("100") : QStringLiteral("80");
                r.Modular = (n % 5) != 0;
                r.OnlyInverter = false;
                list.append(r);
                ++n;
            }
    return list;
}

/// One whole sizing; returns a figure of the result so the work cannot be skipped.
int64_t SizeOnce(const TBenchRequest &q, const TWizardContext &context, const TWizardOffer *offer, int64_t &refused)
{
    TRequestParameters request{};
    TResultParameters result{};
    TWizardCore core = offer ? TWizardCore(request, result, context, TWizardMode::NewConfiguration, *offer)
                             : TWizardCore(request, result, context, TWizardMode::NewConfiguration);
    core.PhasesNext(q.InputThreePhase, q.OutputKind);
    core.EnterPower();
    const int32_t line = core.DefaultSizeLine();
    core.SelectSizeLine(line, q.InWatt);
    if (!core.PowerNext(q.Load, QStringLiteral("0"), q.InWatt, line).Ok()) {
        ++refused;
        return 0;
    }
    core.EnterRedundancyForward();
    const QVector<int32_t> counts = core.RedundancyLineCounts();
    QVector<int32_t> selected(counts.size(), 0);
    for (qsizetype i = 0; i < counts.size(); ++i)
        selected[i] = qMin(q.Redundancy, counts[i]);
    core.ApplyRedundancy(selected);
    if (!core.AutonomyNext(true, q.Minutes, QStringLiteral("0"), QStringLiteral("10"), q.Percent, q.Modular, 0)
             .Ok()) {
        ++refused;
        return 0;
    }
    core.AdvancedNext(q.OnlyInverter, false, q.OnlyInverter, 0);
    if (!core.Finish().Ok()) {
        ++refused;
        return 0;
    }
    return int64_t(result.BatteryKitCount) * 131 + result.AutonomyAvailable + result.ModuleRecord +
           result.BatteryCabinetCount;
}

} // namespace

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
