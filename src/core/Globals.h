#pragma once
// Program-wide records of one run: settings, the current sizing request and
// its result, and the small helpers over them. None of them is saved to disk.

#include <QString>
#include <QVector>
#include <cstdint>

using TIntegerArray = QVector<int32_t>;
using TSingleArray = QVector<float>;

/// One point of a catalogue curve (efficiency curve, discharge table).
struct TDatasheetPoint {
    float X = 0.0f;
    float Y = 0.0f;
};
using TDatasheetData = QVector<TDatasheetPoint>;

/// Money in ten-thousandths (fixed point, four decimals).
using TCurrency = int64_t;

struct TSetupData {
    QString Version;        // "major.minor"
    QString ProductName;    // vendor text 101
    QString ProgramPath;    // folder of the executable, ends with '/'
    QString DataPath;       // per-user data folder, ends with '/'
    QString TempPath;       // DataPath + "Temp/"
    QString IniFileName;    // DataPath + "VarnexCfg.ini"
    QString LanguageFile;   // file name of the active language, empty when none
    int32_t LanguageID = 0; // -1 when none or not a number
    QString VendorName;
    int32_t WebAddressId = 0;
    int32_t ProductLinkId = 0;
    bool CheckUpdates = false;
    bool DebugMode = false;
    bool ShowPrices = false;
};

struct TRequestParameters {
    int32_t MaxUpsPower = 0;
    int32_t LoadPower = 0;
    bool PowerInWatt = false;
    int32_t PowerMarginPercent = 0;
    int32_t AutonomyLoadPercent = 0;
    int32_t MaxUpsSlots = 0;
    uint8_t OutputLines = 0;
    uint8_t LoadPhases = 0;
    bool InputThreePhase = false;
    uint8_t OutputKind = 0; // 0 three single-phase outputs, 1 three-phase, 2 single-phase
    int32_t AutonomyRequired = 0;
    bool AutonomyInMinutes = false;
    bool ModularBatteryCabinet = false;
    bool SpecialConfig = false;
    bool EmptyDrawers = false;
    bool OnlyInverter = false;
    int32_t BatteryType = 0; // index in the offered kit list, -1 automatic
};

struct TGenericAccessory {
    int32_t RecordId = 0;
    int32_t Quantity = 0;
};
using TArrayGenericAccessory = QVector<TGenericAccessory>;

struct TResultAccessories {
    TArrayGenericAccessory Accessories;
    TArrayGenericAccessory Contracts;
};

struct TResultParameters {
    int32_t ModuleRecord = 0;
    float ModuleVA = 0.0f;
    float ModuleW = 0.0f;
    uint8_t ModulesL1 = 0;
    uint8_t ModulesL2 = 0;
    uint8_t ModulesL3 = 0;
    uint8_t RedundantL1 = 0;
    uint8_t RedundantL2 = 0;
    uint8_t RedundantL3 = 0;
    int32_t InverterRecord = 0;
    uint8_t InverterSlots = 0;
    uint8_t InverterKitPositions = 0;
    int32_t BatteryCabinetRecord = 0;
    int32_t BatteryCabinetCount = 0;
    uint8_t CabinetKitPositions = 0;
    uint8_t KitsInLastCabinet = 0;
    int32_t BatteryKitRecord = 0;
    int32_t BatteryKitCount = 0;
    int32_t AutonomyAvailable = 0;
    bool StringsSetByPower = false;
    int32_t AutonomyMinusOne = 0;
    float BatteryCapacityAh = 0.0f;
    int32_t KitsPerString = 0;
    int32_t EmptyKitRecord = 0;
    int32_t EmptyKitCount = 0;
    TResultAccessories Accessories;
    TCurrency TotalPrice = 0;
};

/// One grid's list in the wizard; the three arrays always have equal length.
struct TAccessoriesRecord {
    TIntegerArray Ids;
    QVector<bool> Checked;
    QVector<int32_t> Quantities;
};

/// One battery kit type evaluated for the required autonomy.
struct TAutonomyDataRecord {
    float KitAh = 0.0f;
    TDatasheetData Curve;
    float UnitPower = 0.0f;
    int32_t UnitsNeeded = 0;
    int32_t Strings = 0;
    float AutonomyAvailable = 0.0f;
    float AutonomyMinusOne = 0.0f;
    float Cost = 0.0f;
    float RoundThreshold = 0.0f;
};

extern TSetupData SetupData;
extern TRequestParameters RequestParameters;
extern TResultParameters ResultParameters;

struct TPhaseTotals {
    uint8_t L1 = 0;
    uint8_t L2 = 0;
    uint8_t L3 = 0;
};

/// Sum of the six module counts, modulo 256.
uint8_t TotalModules(const TResultParameters &r);
/// Working plus redundant modules per phase.
TPhaseTotals PhaseTotals(const TResultParameters &r);
/// TotalModules x ModuleW and TotalModules x ModuleVA, single precision.
void ModulePowerTotals(const TResultParameters &r, float &watt, float &va);
/// The same rounded to integers, ties to even.
void ModulePowerTotalsRounded(const TResultParameters &r, int32_t &watt, int32_t &va);
bool OnlyInverterActive(const TRequestParameters &q);
bool EmptyDrawersActive(const TRequestParameters &q);
void ResetModuleResult(TResultParameters &r);
void MinutesSplit(int32_t minutes, int32_t &hours, int32_t &rest);
int32_t MinutesJoin(int32_t hours, int32_t minutes);
