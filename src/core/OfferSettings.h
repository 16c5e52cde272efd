#pragma once
// The settings of the offers: the sales engineer's contact, shown on every
// offer, and the pattern and counter the references are made from. Read from
// and written to the settings file named by the caller.

#include "OfferDetails.h"

#include <QDate>
#include <QString>

constexpr const char *kOfferSettingsSection = "Offer";

struct TSalesContact {
    QString Name;
    QString Phone;
    QString Email;
    QString Company;
    bool IsEmpty() const { return Name.isEmpty() && Phone.isEmpty() && Email.isEmpty() && Company.isEmpty(); }
    bool operator==(const TSalesContact &o) const
    {
        return Name == o.Name && Phone == o.Phone && Email == o.Email && Company == o.Company;
    }
};

TSalesContact ReadSalesContact(const QString &iniFile);
/// False when the settings file cannot be written.
bool WriteSalesContact(const QString &iniFile, const TSalesContact &contact);

/// The pattern of the settings; the default one when none is set or the one set has no counter.
QString ReadReferencePattern(const QString &iniFile);
/// Refuses a pattern without exactly one counter, writing nothing; a file that
/// cannot be written gives TOfferFault::None with `written` false.
TOfferError WriteReferencePattern(const QString &iniFile, const QString &pattern, bool &written);
/// The counter the next reference takes (1 when none is set).
int32_t ReadReferenceCounter(const QString &iniFile);
bool WriteReferenceCounter(const QString &iniFile, int32_t counter);
/// The next reference for `date`, counting on in the settings; empty when the
/// counter cannot be written (no number is then given twice).
QString TakeNextReference(const QString &iniFile, const QDate &date);
