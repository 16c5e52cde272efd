#pragma once
// The keys of a sizing request, as VarnexCfg --size and the configuration
// files hold them, each with the wizard page that reads it.

#include "WizardCore.h"
#include <QStringView>
#include <cstdint>

struct TRequestKey {
    const char *Name;
    int32_t Page; // kWholeRequest: read before any page
};

constexpr int32_t kWholeRequest = -1;
constexpr int32_t kUnknownRequestKey = -2;

/// In the order the wizard reads them.
inline constexpr TRequestKey kRequestKeys[] = {
    {"debugMode", kWholeRequest},
    {"language", kWholeRequest},
    {"inputThreePhase", PagePhases},
    {"outputKind", PagePhases},
    {"loadPower", PagePower},
    {"powerInWatt", PagePower},
    {"marginPercent", PagePower},
    {"sizeLine", PagePower},
    {"redundancy", PageRedundancy},
    {"autonomyInMinutes", PageAutonomy},
    {"autonomyMinutes", PageAutonomy},
    {"autonomyHours", PageAutonomy},
    {"autonomyHoursMinutes", PageAutonomy},
    {"loadPercent", PageAutonomy},
    {"modularBatteryCabinet", PageAutonomy},
    {"batteryType", PageAdvanced},
    {"specialConfig", PageAdvanced},
    {"accessories", PageAccessories},
    {"contracts", PageContracts},
};

/// The page of a key, kWholeRequest, or kUnknownRequestKey.
inline int32_t RequestKeyPage(QStringView key)
{
    for (const TRequestKey &k : kRequestKeys)
        if (key == QLatin1String(k.Name))
            return k.Page;
    return kUnknownRequestKey;
}
