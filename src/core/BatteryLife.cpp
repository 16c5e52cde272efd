#include "BatteryLife.h"

#include <QRegularExpression>

#include <cmath>

namespace {

/// The temperature factor's points: (degrees, factor), rising temperature.
struct TFactorPoint {
    float Celsius;
    float Factor;
};
constexpr TFactorPoint kTemperatureFactors[] = {{0.0f, 1.30f}, {10.0f, 1.11f}, {20.0f, 1.04f}, {25.0f, 1.00f}};

} // namespace

bool AmbientTemperatureInRange(int32_t celsius)
{
    return celsius >= kMinAmbientTemperature && celsius <= kMaxAmbientTemperature;
}

bool AgeingInRange(int32_t hundredths)
{
    return hundredths >= kMinAgeingHundredths && hundredths <= kMaxAgeingHundredths;
}

float TemperatureFactor(float celsius)
{
    const TFactorPoint *first = std::begin(kTemperatureFactors);
    const TFactorPoint *last = std::end(kTemperatureFactors) - 1;
    if (!(celsius > first->Celsius))
        return first->Factor;
    if (celsius >= last->Celsius)
        return last->Factor; // no capacity credit above the reference
    for (const TFactorPoint *p = first + 1; p <= last; ++p)
        if (celsius <= p->Celsius) {
            const TFactorPoint &a = p[-1];
            return a.Factor + (p->Factor - a.Factor) * (celsius - a.Celsius) / (p->Celsius - a.Celsius);
        }
    return last->Factor;
}

float EndOfLifeFactor(const TBatteryEnvironment &env)
{
    return env.AgeingFactor() * TemperatureFactor(float(env.AmbientTemperature));
}

int32_t DesignLifeSharePercent(int32_t celsius)
{
    if (celsius <= kReferenceTemperature)
        return 100;
    return int32_t(std::lround(100.0 * std::pow(0.5, double(celsius - kReferenceTemperature) / kLifeHalvingDegrees)));
}

QString AgeingFactorText(int32_t hundredths)
{
    return QStringLiteral("%1.%2").arg(hundredths / 100).arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

TDecimalEntry ParseAgeingFactor(const QString &text, int32_t &hundredths)
{
    static const QRegularExpression number(QStringLiteral("^([0-9]{1,3})(?:[.,]([0-9]{0,2}))?$"));
    const QRegularExpressionMatch m = number.match(text.trimmed());
    if (!m.hasMatch())
        return TDecimalEntry::Invalid;
    const QString decimals = m.captured(2).leftJustified(2, QLatin1Char('0'));
    const int32_t value = m.captured(1).toInt() * 100 + decimals.toInt();
    if (!AgeingInRange(value))
        return TDecimalEntry::OutOfRange;
    hundredths = value;
    return TDecimalEntry::Ok;
}
