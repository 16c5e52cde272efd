#include "Globals.h"
#include "Lang.h"
#include "Rounding.h"

#include <cmath>

TSetupData SetupData;
TRequestParameters RequestParameters;
TResultParameters ResultParameters;

TLanguage ProgramLanguage() { return SettingsLanguage(SetupData); }

uint8_t TotalModules(const TResultParameters &r)
{
    return uint8_t(r.ModulesL1 + r.ModulesL2 + r.ModulesL3 + r.RedundantL1 + r.RedundantL2 + r.RedundantL3);
}

TPhaseTotals PhaseTotals(const TResultParameters &r)
{
    TPhaseTotals t;
    t.L1 = uint8_t(r.ModulesL1 + r.RedundantL1);
    t.L2 = uint8_t(r.ModulesL2 + r.RedundantL2);
    t.L3 = uint8_t(r.ModulesL3 + r.RedundantL3);
    return t;
}

void ModulePowerTotals(const TResultParameters &r, float &watt, float &va)
{
    const float modules = float(TotalModules(r));
    watt = modules * r.ModuleW;
    va = modules * r.ModuleVA;
}

void ModulePowerTotalsRounded(const TResultParameters &r, int32_t &watt, int32_t &va)
{
    float w = 0.0f, v = 0.0f;
    ModulePowerTotals(r, w, v);
    watt = RoundEven(w);
    va = RoundEven(v);
}

bool OnlyInverterActive(const TRequestParameters &q) { return q.SpecialConfig && q.OnlyInverter; }

bool EmptyDrawersActive(const TRequestParameters &q) { return q.SpecialConfig && q.EmptyDrawers; }

void ResetModuleResult(TResultParameters &r)
{
    r.ModuleRecord = -1;
    r.ModuleVA = -1.0f;
    r.ModuleW = -1.0f;
    r.ModulesL1 = r.ModulesL2 = r.ModulesL3 = 0;
    r.RedundantL1 = r.RedundantL2 = r.RedundantL3 = 0;
}

void MinutesSplit(int32_t minutes, int32_t &hours, int32_t &rest)
{
    // Whole hours while at least 60 minutes remain; a negative count stays as minutes.
    hours = minutes >= 60 ? minutes / 60 : 0;
    rest = minutes >= 60 ? minutes % 60 : minutes;
}

int32_t MinutesJoin(int32_t hours, int32_t minutes) { return ClampToInt32(int64_t(hours) * 60 + minutes); }

