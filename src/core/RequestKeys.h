#pragma once
// The keys of a sizing request, as VarnexCfg --size and the configuration
// files hold them: for each, the wizard page that reads it, the kind of value,
// what the wizard's control holds before the user changes it (the value a
// request without the key gets), and the limits that do not depend on the
// catalogue. The wizard window, its core, the replay and the configuration
// files read them here.

#include "BatteryLife.h"
#include "WizardCore.h"
#include <QLatin1String>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <limits>

/// Every key, in the order of kRequestKeys.
enum class TRequestKeyId : int32_t {
    DebugMode,
    Language,
    InputThreePhase,
    OutputKind,
    LoadPower,
    PowerInWatt,
    MarginPercent,
    SizeLine,
    Redundancy,
    AutonomyInMinutes,
    AutonomyMinutes,
    AutonomyHours,
    AutonomyHoursMinutes,
    LoadPercent,
    ModularBatteryCabinet,
    BatteryType,
    SpecialConfig,
    Accessories,
    Contracts,
    AmbientTemperature,
    AgeingFactor,
    Offer,
    Alternatives,
};

enum class TRequestKeyKind {
    Bool,        // an option or a box: true or false
    Int,         // a line of a choice, or a number
    IntPerPhase, // a line of a choice, or [L1, L2, L3] where each output phase has its own
    EditText,    // an edit's text as typed, or a whole number
    EnumText,    // one of a few texts
    List,        // the ticked entries of a grid
    Hundredths,  // a number with at most two decimals; default and limits in hundredths
    Object,      // members of their own (the offer details)
};

constexpr int32_t kWholeRequest = -1;
constexpr int32_t kUnknownRequestKey = -2;
/// No limit of the table's own: the catalogue or the vendor sets it, if anyone.
constexpr int32_t kNoLowerLimit = std::numeric_limits<int32_t>::min();
constexpr int32_t kNoUpperLimit = std::numeric_limits<int32_t>::max();

/// The texts of specialConfig: the box unticked, then its two options.
enum class TSpecialConfigChoice { None, EmptyDrawers, OnlyInverter };
inline constexpr const char *kSpecialConfigTexts[] = {"none", "emptyDrawers", "onlyInverter"};

/// The members of one entry of the accessories list.
constexpr const char *kAccessoryRecordKey = "record";
constexpr const char *kAccessoryQuantityKey = "quantity";

struct TRequestKey {
    TRequestKeyId Id;
    const char *Name;
    int32_t Page; // kWholeRequest: read before any page
    TRequestKeyKind Kind;
    bool BoolDefault;        // Bool
    int32_t IntDefault;      // Int, and each phase of IntPerPhase
    const char *TextDefault; // EditText, EnumText; nullptr where the program decides
    /// Int, IntPerPhase: the values accepted; EditText: the number the page accepts.
    int32_t Lower, Upper;
    int32_t MaxLength; // EditText: the characters its edit holds; 0 for any number
};

constexpr TRequestKey BoolKey(TRequestKeyId id, const char *name, int32_t page, bool byDefault)
{
    return {id, name, page, TRequestKeyKind::Bool, byDefault, 0, nullptr, kNoLowerLimit, kNoUpperLimit, 0};
}

constexpr TRequestKey IntKey(TRequestKeyId id, const char *name, int32_t page, TRequestKeyKind kind, int32_t byDefault,
                             int32_t lower, int32_t upper)
{
    return {id, name, page, kind, false, byDefault, nullptr, lower, upper, 0};
}

constexpr TRequestKey EditKey(TRequestKeyId id, const char *name, int32_t page, const char *byDefault, int32_t lower,
                              int32_t upper, int32_t maxLength = 0)
{
    return {id, name, page, TRequestKeyKind::EditText, false, 0, byDefault, lower, upper, maxLength};
}

constexpr TRequestKey TextKey(TRequestKeyId id, const char *name, int32_t page, TRequestKeyKind kind,
                              const char *byDefault)
{
    return {id, name, page, kind, false, 0, byDefault, kNoLowerLimit, kNoUpperLimit, 0};
}

/// In the order the wizard reads them (and the configuration files hold them).
inline constexpr TRequestKey kRequestKeys[] = {
    BoolKey(TRequestKeyId::DebugMode, "debugMode", kWholeRequest, false),
    // A language file of the program folder; without the key, the program's language.
    TextKey(TRequestKeyId::Language, "language", kWholeRequest, TRequestKeyKind::EnumText, nullptr),
    BoolKey(TRequestKeyId::InputThreePhase, "inputThreePhase", int32_t(TWizardPage::Phases), true),
    // 0 three single-phase outputs, 1 one three-phase output, 2 one single-phase output.
    IntKey(TRequestKeyId::OutputKind, "outputKind", int32_t(TWizardPage::Phases), TRequestKeyKind::Int, 0, 0, 2),
    // At most the power of the size line chosen.
    EditKey(TRequestKeyId::LoadPower, "loadPower", int32_t(TWizardPage::Power), "10000", 1, kNoUpperLimit),
    BoolKey(TRequestKeyId::PowerInWatt, "powerInWatt", int32_t(TWizardPage::Power), false),
    // Shown in debug mode only; hidden, the edit keeps its text.
    EditKey(TRequestKeyId::MarginPercent, "marginPercent", int32_t(TWizardPage::Power), "0", 0, 100, 3),
    // -1: the last line, the largest size.
    IntKey(TRequestKeyId::SizeLine, "sizeLine", int32_t(TWizardPage::Power), TRequestKeyKind::Int, -1, -1, kNoUpperLimit),
    // At most the lines the free slots give.
    IntKey(TRequestKeyId::Redundancy, "redundancy", int32_t(TWizardPage::Redundancy), TRequestKeyKind::IntPerPhase, 0, 0,
           kNoUpperLimit),
    BoolKey(TRequestKeyId::AutonomyInMinutes, "autonomyInMinutes", int32_t(TWizardPage::Autonomy), true),
    // The limits hold for the autonomy however it is typed.
    EditKey(TRequestKeyId::AutonomyMinutes, "autonomyMinutes", int32_t(TWizardPage::Autonomy), "10", 3, 1200),
    EditKey(TRequestKeyId::AutonomyHours, "autonomyHours", int32_t(TWizardPage::Autonomy), "0", 0, 20),
    EditKey(TRequestKeyId::AutonomyHoursMinutes, "autonomyHoursMinutes", int32_t(TWizardPage::Autonomy), "10", 0, 59),
    // The vendor's percentage comes first (WizardCore's DefaultLoadPercentText).
    EditKey(TRequestKeyId::LoadPercent, "loadPercent", int32_t(TWizardPage::Autonomy), "80", 1, 100, 3),
    BoolKey(TRequestKeyId::ModularBatteryCabinet, "modularBatteryCabinet", int32_t(TWizardPage::Autonomy), true),
    // -1: chosen by the sizing; else a line of the battery kits offered.
    IntKey(TRequestKeyId::BatteryType, "batteryType", int32_t(TWizardPage::Advanced), TRequestKeyKind::Int, -1, -1, kNoUpperLimit),
    TextKey(TRequestKeyId::SpecialConfig, "specialConfig", int32_t(TWizardPage::Advanced), TRequestKeyKind::EnumText,
            kSpecialConfigTexts[int(TSpecialConfigChoice::None)]),
    // [{"record": id, "quantity": n}], nothing ticked by default.
    TextKey(TRequestKeyId::Accessories, "accessories", int32_t(TWizardPage::Accessories), TRequestKeyKind::List, nullptr),
    // [id, ...], nothing ticked by default.
    TextKey(TRequestKeyId::Contracts, "contracts", int32_t(TWizardPage::Contracts), TRequestKeyKind::List, nullptr),
    // The runtime tab's inputs of the end-of-life figures, read after the sizing:
    // degrees Celsius, and the ageing factor (1.25 is written 1.25).
    IntKey(TRequestKeyId::AmbientTemperature, "ambientTemperature", kWholeRequest, TRequestKeyKind::Int,
           kReferenceTemperature, kMinAmbientTemperature, kMaxAmbientTemperature),
    IntKey(TRequestKeyId::AgeingFactor, "ageingFactor", kWholeRequest, TRequestKeyKind::Hundredths,
           kDefaultAgeingHundredths, kMinAgeingHundredths, kMaxAgeingHundredths),
    // {"customer", "project", "reference", "date", "validDays", "discountPercent", "notes"}
    // (OfferDetails.h); without it, no offer details.
    TextKey(TRequestKeyId::Offer, "offer", kWholeRequest, TRequestKeyKind::Object, nullptr),
    // [{"label": text, request keys that differ from the main request}, ...] (Alternatives.h);
    // without it, no alternatives.
    TextKey(TRequestKeyId::Alternatives, "alternatives", kWholeRequest, TRequestKeyKind::List, nullptr),
};

constexpr bool RequestKeysInIdOrder()
{
    int32_t index = 0;
    for (const TRequestKey &key : kRequestKeys)
        if (int32_t(key.Id) != index++)
            return false;
    return true;
}
static_assert(RequestKeysInIdOrder(), "kRequestKeys follows TRequestKeyId");

constexpr const TRequestKey &RequestKey(TRequestKeyId id) { return kRequestKeys[int32_t(id)]; }

inline QLatin1String RequestKeyName(TRequestKeyId id) { return QLatin1String(RequestKey(id).Name); }

/// The text an edit or a text key holds before the user changes it.
inline QString RequestKeyDefaultText(TRequestKeyId id) { return QString::fromLatin1(RequestKey(id).TextDefault); }

/// Within the key's limits.
constexpr bool InLimits(const TRequestKey &key, int32_t value) { return value >= key.Lower && value <= key.Upper; }

/// Short enough for the key's edit.
inline bool FitsEdit(const TRequestKey &key, const QString &text)
{
    return key.MaxLength == 0 || text.size() <= key.MaxLength;
}

inline QLatin1String SpecialConfigText(TSpecialConfigChoice choice)
{
    return QLatin1String(kSpecialConfigTexts[int(choice)]);
}

/// The page of a key, kWholeRequest, or kUnknownRequestKey.
inline int32_t RequestKeyPage(QStringView key)
{
    for (const TRequestKey &k : kRequestKeys)
        if (key == QLatin1String(k.Name))
            return k.Page;
    return kUnknownRequestKey;
}
