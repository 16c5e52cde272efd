#pragma once
// The sizing wizard without its window: offered lists, page sequence, the
// validation and storing of every page, and Finish. The wizard dialog reads
// its controls and calls these operations; the headless mode replays the
// pages through the same operations. No figure is computed anywhere else.

#include "Globals.h"
#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <QVariant>

/// The wizard's pages; the numbers are the request keys' and the answers' page numbers.
enum class TWizardPage : int32_t {
    None = -1, // no page: before the first or after the last
    Phases = 0,
    Power = 1,
    Redundancy = 2,
    Autonomy = 3,
    Advanced = 4,
    Accessories = 5,
    Contracts = 6,
};

enum class TWizardMode { NewConfiguration, EditAutonomy };

/// Which edit a refused page puts the focus on.
enum class TWizardField { None, LoadPower, Margin, Minutes, Hours, HoursMinutes, Percent };

/// Outcome of validating a page. Empty MessageKey = accepted. Otherwise the
/// caller shows ShowError(FormatText(LangMessages(MessageKey), Args)) and
/// focuses Field; the page stays.
struct TPageError {
    QString MessageKey;
    QList<QVariant> Args;
    TWizardField Field = TWizardField::None;
    bool Ok() const { return MessageKey.isEmpty(); }
};

/// One line of the UPS size list: a candidate inverter cabinet.
struct TSizeLine {
    int32_t VA = 0;      // the cabinet's MaxVA
    int32_t W = 0;       // MaxW
    int32_t Slots = 0;   // TotalSlots
    int32_t RecordId = 0;
};

/// The inputs of the wizard's settings it depends on.
struct TWizardContext {
    bool DebugMode = false;
    bool HomeMarket = false;
    int32_t LanguageID = -1;
};

/// What the vendor offers the wizard: the offered catalogue lists, the switches of
/// the optional pages and, per phase choice, the ordered size list. Reading it
/// queries the vendor library many times; a caller that opens many wizards on the
/// same library (headless arrays, benchmarks) reads it once and passes it in.
struct TWizardOffer {
    TIntegerArray Modules, Inverters, ModularCabinets, NonModularCabinets, Kits;
    bool AdvancedEntry = false;    // vendor entry 1 reads as 1
    bool AccessoriesEntry = false; // vendor entry 2 reads as 1
    bool ContractsEntry = false;   // vendor entry 3 reads as 1
    /// Candidate cabinets in size-list order, index [input three-phase][output kind].
    TIntegerArray Candidates[2][3];
    QVector<TSizeLine> SizeLists[2][3];
    /// The offered accessories and contracts of one language, when read with the offer.
    bool HasAccessoryLists = false;
    int32_t AccessoryLanguageID = -1;
    TIntegerArray Accessories, Contracts;
};
/// Reads the offer from the loaded vendor library (nothing is offered without one).
TWizardOffer ReadWizardOffer();
/// Adds the accessories and contracts offered for the language to the offer.
void ReadOfferedAccessoryLists(TWizardOffer &offer, int32_t languageId);

class TWizardCore {
public:
    TWizardCore(TRequestParameters &request, TResultParameters &result, const TWizardContext &context,
                TWizardMode mode);
    TWizardCore(TRequestParameters &request, TResultParameters &result, const TWizardContext &context,
                TWizardMode mode, const TWizardOffer &offer);

    TWizardMode Mode() const { return m_mode; }
    const TRequestParameters &Request() const { return m_req; }
    const TResultParameters &Result() const { return m_res; }

    // Offered catalogue lists, record id order, built at creation.
    const TIntegerArray &OfferedModules() const { return m_modules; }
    const TIntegerArray &OfferedInverters() const { return m_inverters; }
    const TIntegerArray &OfferedModularCabinets() const { return m_modularCabinets; }
    const TIntegerArray &OfferedNonModularCabinets() const { return m_nonModularCabinets; }
    const TIntegerArray &OfferedKits() const { return m_kits; }

    /// 0, 1, 2, 3 and the optional pages 4, 5, 6 the vendor and market allow.
    const QList<TWizardPage> &PageSequence() const { return m_pages; }
    TWizardPage FirstPage() const; // Phases, or Autonomy when editing the autonomy
    bool IsLastPage(TWizardPage page) const;
    /// Next / previous page of the sequence, None when none.
    TWizardPage NextPage(TWizardPage page) const;
    TWizardPage PreviousPage(TWizardPage page) const;
    bool BackEnabled(TWizardPage page) const;

    bool SinglePhaseInputOffered() const;  // an offered cabinet takes a single-phase input
    bool SinglePhaseOutputOffered() const; // an offered cabinet gives a single-phase output
    bool NonModularCabinetOffered() const;
    /// "Automatico" followed by the labels of the offered modular kits.
    QStringList BatteryTypeLines() const;
    /// Vendor entry 50, else the default of the loadPercent key.
    QString DefaultLoadPercentText() const;

    // --- Phases page
    /// Stores the phase choice, builds the candidate cabinets and the size list.
    void PhasesNext(bool inputThreePhase, int32_t outputKind);
    const QVector<TSizeLine> &SizeList() const { return m_sizeList; }
    /// "%d kVA - %d kW  (%d %s)" lines of the size list.
    QStringList SizeListTexts() const;
    /// The line selected by default (the last), -1 when the list is empty.
    int32_t DefaultSizeLine() const { return m_sizeList.isEmpty() ? -1 : int32_t(m_sizeList.size() - 1); }

    // --- Power page
    /// On every entry of the page: ResetModuleResult.
    void EnterPower();
    /// The preview's step: power limit and cabinet of the line into the records.
    void SelectSizeLine(int32_t line, bool powerInWatt);
    TPageError PowerNext(const QString &loadText, const QString &marginText, bool powerInWatt, int32_t sizeLine);

    // --- Redundancy page
    /// Forward initialisation: clears the redundant modules, computes free slots and the choices.
    void EnterRedundancyForward();
    bool PerPhaseRedundancy() const { return m_req.OutputKind == 0; }
    /// Title key: "PagePhaseRedoundanceTitle" or "PageSystemRedoundanceTitle".
    QString RedundancyTitleKey() const;
    int32_t FreeSlots(int32_t phase) const; // phase 0..2
    /// Kind 0: three entries (L1, L2, L3); else one: the lines after "SelectionNone".
    QVector<int32_t> RedundancyLineCounts() const;
    /// "SelectionNone" then "N + 1", "N + 2", ... for `count` lines.
    static QStringList RedundancyLineTexts(int32_t count);
    /// Kind 0: three selected indexes; else one.
    void ApplyRedundancy(const QVector<int32_t> &selected);

    // --- Autonomy page
    /// "PageAutonomyPowerPercentUsed" with LoadPower and "W" or "VA".
    QString AutonomyPercentDescription() const;
    TPageError AutonomyNext(bool inMinutes, const QString &minutesText, const QString &hoursText,
                            const QString &hoursMinutesText, const QString &percentText, bool modular,
                            int32_t batteryTypeLine);

    // --- Advanced page
    struct TAdvancedState {
        bool SpecialEnabled = false;     // the special configuration box
        bool ClearSpecial = false;       // untick it on entering
        bool BatteryGroupVisible = false;
        bool BatteryChoiceEnabled = false;
    };
    TAdvancedState AdvancedState() const;
    TPageError AdvancedNext(bool special, bool emptyDrawers, bool onlyInverter, int32_t batteryTypeLine);

    // --- Accessories and contracts
    TAccessoriesRecord &AccessoryList() { return m_accessories; }
    TAccessoriesRecord &AllContracts() { return m_allContracts; }
    TAccessoriesRecord &ShownContracts() { return m_shownContracts; }
    /// Fills the accessory and contract lists; in edit mode the stored choices tick their entries.
    void FillAccessoryLists();
    /// Toggles entry `index` with the exclusion group rule; true when the entry is now
    /// ticked and its quantity can be edited (the caller then asks for it).
    bool ToggleEntry(TAccessoriesRecord &list, int32_t index);
    /// Rebuilds the shown contracts for the chosen cabinet's size.
    void EnterContractsForward();
    void AccessoriesNext();
    void ContractsNext();

    // --- Finish
    /// Battery sizing and cabinet placement into the result.
    TPageError Finish();

    // --- The request behind the result
    /// The keys of the pages accepted so far, as VarnexCfg --size reads them, laid
    /// over `before`: editing the autonomy keeps the keys of the pages it skips.
    /// The run's debug mode and language are the caller's to add.
    QJsonObject RecordedRequest(const QJsonObject &before = {}) const;

private:
    QJsonObject RecordedPageKeys(TWizardPage page) const;

    TRequestParameters &m_req;
    TResultParameters &m_res;
    TWizardContext m_ctx;
    TWizardMode m_mode;
    TIntegerArray m_modules, m_inverters, m_modularCabinets, m_nonModularCabinets, m_kits;
    QList<TWizardPage> m_pages;
    TIntegerArray m_candidates;
    QVector<TSizeLine> m_sizeList;
    int32_t m_free[3] = {0, 0, 0};
    TAccessoriesRecord m_accessories, m_allContracts, m_shownContracts;
    TWizardOffer m_offer;
    /// What the accepted pages were given beyond the records: the texts as typed.
    struct TPageInputs {
        bool Recorded[int32_t(TWizardPage::Contracts) + 1] = {};
        QString LoadText, MarginText, MinutesText, HoursText, HoursMinutesText, PercentText;
        int32_t SizeLine = -1;
        QVector<int32_t> Redundancy;
    } m_inputs;
};
