#pragma once
// The wizard's pages filled in from one request's keys, one function per page,
// the way a user fills in the controls and presses Next: the same values pass,
// and the same are refused, as in the window.

#include "RequestKeys.h"
#include "WizardCore.h"
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

/// A request that cannot be replayed: the message and the page that read the value.
struct TRefusal {
    QString Error;
    int32_t Page = -1;
    QString MessageKey; // set when a page refused it with a message box
    QList<QVariant> Args;
    QString Key; // the value that was refused, when not a page's message
};

/// Refuses the value of `key`, read by `page` (-1: by no page); false.
bool RefuseValue(TRefusal &refusal, const QString &key, int32_t page);
/// Refuses the value of a known key, read by its page; false.
bool RefuseKey(TRefusal &refusal, TRequestKeyId key);
/// Refuses with the message box the page would show; false.
bool RefusePage(TRefusal &refusal, const TPageError &error, TWizardPage page);

/// What the pages showed on the way: the size list and the redundancy choices.
struct TPagesShown {
    bool HasSizeList = false;
    QVector<TSizeLine> SizeList;
    bool HasRedundancy = false;
    bool PerPhase = false;
    QVector<int32_t> RedundancyLines;
    /// A configuration file: the keys left out, those this program does not
    /// know and those of pages this edition or market does not show.
    bool Configuration = false;
    QStringList IgnoredKeys;
    QJsonObject Request; // the keys the pages read
};

/// False, refusing the first, when the request holds a key this program does not know.
bool AllKeysKnown(const QJsonObject &request, TRefusal &refusal);
/// A value for a page the wizard does not show (not in `pages`) cannot be given:
/// false, refused. A configuration (shown.Configuration) saved where the page was
/// shown opens without it: the key leaves `request` for shown.IgnoredKeys.
bool LeaveOutPagesNotShown(QJsonObject &request, const QList<TWizardPage> &pages, TPagesShown &shown,
                           TRefusal &refusal);

/// Reads the values of one request object with the types the wizard's controls
/// allow. A key the request leaves out reads as its default (RequestKeys.h);
/// false for a value of another type.
class TRequestReader {
public:
    explicit TRequestReader(const QJsonObject &o) : m_o(o) {}

    bool Has(TRequestKeyId key) const { return m_o.contains(RequestKeyName(key)); }
    QJsonValue Value(TRequestKeyId key) const { return m_o.value(RequestKeyName(key)); }

    bool Bool(TRequestKeyId key, bool &value) const;
    bool Int(TRequestKeyId key, int32_t &value) const;
    /// The text of an edit: a whole number, or the text as typed.
    bool EditText(TRequestKeyId key, QString &text) const;
    /// The same with a default the program sets (the vendor's percentage).
    bool EditText(TRequestKeyId key, const QString &byDefault, QString &text) const;
    /// A number with at most two decimals, in hundredths; the default when left out.
    bool Hundredths(TRequestKeyId key, int32_t &value) const;
    /// A member of an entry of a list: a whole number, or `byDefault`.
    bool Int(const char *member, int32_t byDefault, int32_t &value) const;

    /// A whole number that fits 32 bits.
    static bool IntOf(const QJsonValue &v, int32_t &value);

private:
    static bool EditTextOf(const QJsonValue &v, QString &text);

    const QJsonObject &m_o;
};

/// The runtime tab's inputs of a request (defaults where left out); false,
/// refused, for a value of another type or outside its limits.
bool ReadBatteryEnvironment(const TRequestReader &request, TBatteryEnvironment &env, TRefusal &refusal);
/// Writes the inputs into a request as a configuration keeps them: only those
/// that differ from their defaults, so that a configuration without them stays as it was.
void RecordBatteryEnvironment(QJsonObject &request, const TBatteryEnvironment &env);

/// One request on its way through the wizard's pages.
struct TPageReplay {
    TWizardCore &Core;
    const TRequestReader &Request;
    bool DebugMode = false;
    TPagesShown &Shown;
    TRefusal &Refusal;
};

/// Each enters its page going forward, fills it in from the request and goes
/// Next; false, with Refusal set, when the request's value or the page refuses.
bool ReplayPhasesPage(TPageReplay &replay);
bool ReplayPowerPage(TPageReplay &replay);
bool ReplayRedundancyPage(TPageReplay &replay);
bool ReplayAutonomyPage(TPageReplay &replay);
bool ReplayAdvancedPage(TPageReplay &replay);
bool ReplayAccessoriesPage(TPageReplay &replay);
bool ReplayContractsPage(TPageReplay &replay);
/// The function of `page`; true for a page it does not know.
bool ReplayPage(TWizardPage page, TPageReplay &replay);
