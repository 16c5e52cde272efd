#pragma once
// The requests the benchmarks size: a spread of sizes, units, output kinds,
// autonomies and cabinet kinds, passed through the wizard's pages as the
// dialog passes them.

#include "Globals.h"
#include "Vendor.h"
#include "WizardCore.h"

#include <QVector>

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
inline QVector<TBenchRequest> MakeRequests()
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

/// One whole sizing into the records; returns a figure of the result so the work cannot be skipped.
inline int64_t SizeInto(const TBenchRequest &q, const TWizardContext &context, const TWizardOffer *offer,
                        int64_t &refused, TRequestParameters &request, TResultParameters &result)
{
    request = TRequestParameters{};
    result = TResultParameters{};
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
    if (!core.AutonomyNext(true, q.Minutes, QStringLiteral("0"), QStringLiteral("10"), q.Percent, q.Modular, 0).Ok()) {
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

/// One whole sizing on records of its own.
inline int64_t SizeOnce(const TBenchRequest &q, const TWizardContext &context, const TWizardOffer *offer,
                        int64_t &refused)
{
    TRequestParameters request;
    TResultParameters result;
    return SizeInto(q, context, offer, refused, request, result);
}

/// SetupData for a program folder in English (vendor "Quenvar"), its vendor library loaded.
inline bool UseProgramFolder(const QString &folder)
{
    SetupData.ProgramPath = folder;
    SetupData.LanguageFile = QStringLiteral("English.lng");
    SetupData.LanguageID = 1033;
    SetupData.VendorName = QStringLiteral("Quenvar");
    SetupData.ProductName = QStringLiteral("Varnex");
    SetupData.Version = QStringLiteral("1.0");
    return LoadVendorLibraryFile(folder + QStringLiteral("Quenvar.so"));
}
