#pragma once
// Beside the sizing: what the batteries give at the end of their life in the
// room where they stand. The runtime at end of life for a load is the new
// batteries' runtime at the battery power of that load times the ageing factor
// and the temperature factor of valve-regulated lead-acid batteries. Above the
// reference temperature there is no capacity credit, but the service life
// shortens by half for every 8.3 degrees. Pure functions of their arguments.

#include <QString>
#include <cstdint>

/// The reference temperature of the discharge tables, in degrees Celsius.
constexpr int32_t kReferenceTemperature = 25;
constexpr int32_t kMinAmbientTemperature = 0;
constexpr int32_t kMaxAmbientTemperature = 40;
/// The ageing factor in hundredths: 1.25 (end of life at 80 % capacity), 1.00 to 1.50.
constexpr int32_t kDefaultAgeingHundredths = 125;
constexpr int32_t kMinAgeingHundredths = 100;
constexpr int32_t kMaxAgeingHundredths = 150;
/// The service life halves for every this many degrees above the reference.
constexpr double kLifeHalvingDegrees = 8.3;

/// The room and the ageing the end-of-life figures are computed for.
struct TBatteryEnvironment {
    int32_t AmbientTemperature = kReferenceTemperature; // degrees Celsius
    int32_t AgeingHundredths = kDefaultAgeingHundredths;
    float AgeingFactor() const { return float(AgeingHundredths) / 100.0f; }
    bool IsDefault() const
    {
        return AmbientTemperature == kReferenceTemperature && AgeingHundredths == kDefaultAgeingHundredths;
    }
    bool operator==(const TBatteryEnvironment &o) const
    {
        return AmbientTemperature == o.AmbientTemperature && AgeingHundredths == o.AgeingHundredths;
    }
    bool operator!=(const TBatteryEnvironment &o) const { return !(*this == o); }
};

bool AmbientTemperatureInRange(int32_t celsius);
bool AgeingInRange(int32_t hundredths);

/// 1.00 at 25 degrees and above, 1.04 at 20, 1.11 at 10, 1.30 at 0, straight
/// lines between; below 0 the value at 0.
float TemperatureFactor(float celsius);

/// Ageing factor x temperature factor: the battery power the new batteries
/// must give for the same time at end of life, per watt of today's.
float EndOfLifeFactor(const TBatteryEnvironment &env);

/// The share of the design life the batteries reach in the room, in whole
/// percent: 100 at 25 degrees and below, half for every 8.3 degrees above.
int32_t DesignLifeSharePercent(int32_t celsius);

/// The ageing factor as the program writes it: "1.25".
QString AgeingFactorText(int32_t hundredths);

enum class TDecimalEntry { Ok, Invalid, OutOfRange };
/// Reads an ageing factor as typed: a number with a point or a comma and at most
/// two decimals, within 1.00 to 1.50, into hundredths.
TDecimalEntry ParseAgeingFactor(const QString &text, int32_t &hundredths);
