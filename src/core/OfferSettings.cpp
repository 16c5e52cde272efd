#include "OfferSettings.h"

#include "IniFile.h"

#include <limits>

namespace {

const QString &Section()
{
    static const QString section = QString::fromLatin1(kOfferSettingsSection);
    return section;
}

QString Read(const QString &iniFile, const char *key)
{
    return IniReadString(iniFile, Section(), QLatin1String(key), QString()).trimmed();
}

bool Write(const QString &iniFile, const char *key, const QString &value)
{
    return IniWriteString(iniFile, Section(), QLatin1String(key), value);
}

constexpr const char *kPatternKey = "ReferencePattern";
constexpr const char *kCounterKey = "ReferenceCounter";

} // namespace

TSalesContact ReadSalesContact(const QString &iniFile)
{
    return TSalesContact{Read(iniFile, "SalesName"), Read(iniFile, "SalesPhone"), Read(iniFile, "SalesEmail"),
                         Read(iniFile, "SalesCompany")};
}

bool WriteSalesContact(const QString &iniFile, const TSalesContact &c)
{
    // Line breaks would end the line of the settings file.
    auto line = [](const QString &text) { return QString(text).replace(u'\n', u' ').replace(u'\r', u' ').trimmed(); };
    return Write(iniFile, "SalesName", line(c.Name)) && Write(iniFile, "SalesPhone", line(c.Phone)) &&
           Write(iniFile, "SalesEmail", line(c.Email)) && Write(iniFile, "SalesCompany", line(c.Company));
}

QString ReadReferencePattern(const QString &iniFile)
{
    const QString pattern = Read(iniFile, kPatternKey);
    return CheckReferencePattern(pattern).Ok() ? pattern : QString::fromLatin1(kDefaultReferencePattern);
}

TOfferError WriteReferencePattern(const QString &iniFile, const QString &pattern, bool &written)
{
    written = false;
    const QString trimmed = pattern.trimmed();
    TOfferError e = CheckReferencePattern(trimmed);
    if (!e.Ok() || trimmed.contains(u'\n') || trimmed.contains(u'\r')) {
        e.Fault = TOfferFault::PatternWithoutCounter;
        e.Member = pattern;
        return e;
    }
    written = Write(iniFile, kPatternKey, trimmed);
    return {};
}

int32_t ReadReferenceCounter(const QString &iniFile)
{
    bool ok = false;
    const int32_t counter = Read(iniFile, kCounterKey).toInt(&ok);
    return ok && counter > 0 ? counter : 1;
}

bool WriteReferenceCounter(const QString &iniFile, int32_t counter)
{
    return counter > 0 && Write(iniFile, kCounterKey, QString::number(counter));
}

QString TakeNextReference(const QString &iniFile, const QDate &date)
{
    const int32_t counter = ReadReferenceCounter(iniFile);
    if (counter == std::numeric_limits<int32_t>::max() || !WriteReferenceCounter(iniFile, counter + 1))
        return QString();
    return FormatReference(ReadReferencePattern(iniFile), counter, date);
}
