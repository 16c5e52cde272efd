// The language files shipped with the program: every text the program reads is
// present in each of them, non-empty, with exactly the placeholders the program
// passes, and the files stay within what the profile-file reading accepts.
//
// The files are read here with a small reader of this test's own (sections and
// keys without regard to letter case, values trimmed, enclosing quotes removed),
// so that a fault in the files is told apart from a fault in the program's reader.

#include <QtTest>

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QSet>
#include <QStringDecoder>
#include <QStringList>

#include <iterator>

namespace {

struct TKeySpec {
    const char *Section;
    const char *Key;
    const char *Placeholders; // the %s and %d the program passes, in order
};

// Every key the program reads, section by section, with its placeholders.
const TKeySpec KeyTable[] = {
    // LangOptions
    {"LangOptions", "LanguageName", ""},
    {"LangOptions", "LanguageID", ""},
    // Wizard
    {"Wizard", "PagePhasesTitle", ""},
    {"Wizard", "PagePowerTitle", ""},
    {"Wizard", "PageSystemRedoundanceTitle", ""},
    {"Wizard", "PagePhaseRedoundanceTitle", ""},
    {"Wizard", "PageAutonomyTitle", ""},
    {"Wizard", "PageAdvancedTitle", ""},
    {"Wizard", "PageAccessoriesTitle", ""},
    {"Wizard", "PageContractsTitle", ""},
    {"Wizard", "PowerLayoutTitle", ""},
    {"Wizard", "Input", ""},
    {"Wizard", "Output", ""},
    {"Wizard", "ButtonBack", ""},
    {"Wizard", "ButtonNext", ""},
    {"Wizard", "ButtonFinish", ""},
    {"Wizard", "PagePowerLoadPower", ""},
    {"Wizard", "PagePowerMaxUpsPower", ""},
    {"Wizard", "PowerModulesSlots", ""},
    {"Wizard", "SelectionNone", ""},
    {"Wizard", "PageRedoundanceOutputPhase", "%s"},
    {"Wizard", "PageAutonomyAutonomy", ""},
    {"Wizard", "PageAutonomyMinutesOption", ""},
    {"Wizard", "PageAutonomyHoursOption", ""},
    {"Wizard", "PageAutonomyPowerPercent", ""},
    {"Wizard", "PageAutonomyPowerPercentUsed", "%d%s"},
    {"Wizard", "PageAutonomyBatteryCabinet", ""},
    {"Wizard", "PageAutonomyModular", ""},
    {"Wizard", "PageAutonomyNotModular", ""},
    {"Wizard", "PageAdvancedSpecialCfg", ""},
    {"Wizard", "PageAdvancedEnableSpecialCfg", ""},
    {"Wizard", "PageAdvancedEmptyDrawers", ""},
    {"Wizard", "PageAdvancedOnlyInverter", ""},
    {"Wizard", "PagePowerSizeKits", "%d"},
    {"Wizard", "PagePowerSizeHeight", "%d"},
    {"Wizard", "PagePowerSizeCheapest", ""},
    {"Wizard", "PageRedundancyFull", "%d%d"},
    {"Wizard", "PageRedundancyPhaseFull", "%s%d%d"},
    {"Wizard", "PageRedundancyLargerSize", "%s"},
    {"Wizard", "PageAccessoriesUnticked", "%s%s"},
    // Setup
    {"Setup", "SetupPageUpdates", ""},
    {"Setup", "SetupPageLanguages", ""},
    {"Setup", "SetupCheckUpdates", ""},
    {"Setup", "SetupPageOffer", ""},
    {"Setup", "SetupSalesName", ""},
    {"Setup", "SetupSalesPhone", ""},
    {"Setup", "SetupSalesEmail", ""},
    {"Setup", "SetupSalesCompany", ""},
    {"Setup", "SetupReferencePattern", ""},
    {"Setup", "SetupReferencePatternHint", ""},
    // Main
    {"Main", "ButtonNewConfiguration", ""},
    {"Main", "ButtonEditAutonomy", ""},
    {"Main", "ButtonSaveConfiguration", ""},
    {"Main", "ButtonPrintConfiguration", ""},
    {"Main", "ButtonSetup", ""},
    {"Main", "ButtonInfoProgram", ""},
    {"Main", "ResultsLayoutTabTitle", ""},
    {"Main", "ResultsItemsTabTitle", ""},
    {"Main", "ResultsDataTabTitle", ""},
    {"Main", "ResultsRuntimeTabTitle", ""},
    {"Main", "ResultsRuntimeLoadAxis", ""},
    {"Main", "ResultsRuntimeAutonomyAxis", ""},
    {"Main", "ResultsRuntimeBeyondTable", ""},
    {"Main", "ResultsRuntimeOwnLoad", "%s"},
    {"Main", "ResultsRuntimeNoCurveOnlyInverter", ""},
    {"Main", "ResultsRuntimeNoCurveNoBatteries", ""},
    {"Main", "ResultsHeatTitle", ""},
    {"Main", "ResultsHeatEfficiency", ""},
    {"Main", "ResultsHeatLosses", ""},
    {"Main", "ResultsHeatFullLoadLosses", ""},
    {"Main", "ResultsRuntimeAmbientTemperature", ""},
    {"Main", "ResultsRuntimeAgeingFactor", ""},
    {"Main", "ResultsRuntimeApply", ""},
    {"Main", "ResultsRuntimeNewCurve", ""},
    {"Main", "ResultsRuntimeEndOfLifeCurve", "%s%s"},
    {"Main", "ResultsRuntimeOwnEndOfLife", "%s"},
    {"Main", "ResultsRuntimeEndOfLifeShort", "%s%s"},
    {"Main", "ResultsRuntimeLifeShortened", "%d%d"},
    {"Main", "ResultsLayoutCopy", ""},
    {"Main", "ResultsLayoutSaveToFile", ""},
    {"Main", "ResultsConfigurationOpen", ""},
    {"Main", "ResultsConfigurationSave", ""},
    {"Main", "ResultsLayoutInverter", "%d"},
    {"Main", "ResultsLayoutBattery", "%d"},
    {"Main", "ResultsItemsTotalPrice", "%s"},
    {"Main", "ResultsItemsUnpriced", "%s"},
    {"Main", "ResultsDataTableParameter", ""},
    {"Main", "ResultsDataTableValue", ""},
    {"Main", "ResultsDataInputConfig", ""},
    {"Main", "ResultsDataOutputConfig", ""},
    {"Main", "ResultsDataPowerUps", ""},
    {"Main", "ResultsDataPowerRequired", ""},
    {"Main", "ResultsDataPowerPercent", ""},
    {"Main", "ResultsDataEmptyDrawers", ""},
    {"Main", "ResultsDataOnlyInverter", ""},
    {"Main", "ResultsDataAutonomyRequired", ""},
    {"Main", "ResultsDataAutonomyAvailable", ""},
    {"Main", "ResultsDataAutonomyAvailableOverMax", "%s"},
    {"Main", "ResultsDataAutonomyWithMinusKb", "%d"},
    {"Main", "ResultsDataAutonomyWithMinusCabinet", "%d"},
    {"Main", "ResultsDataBatteryCurrentAvailable", ""},
    {"Main", "ResultsDataBatteryKbInLastCabinetParam", ""},
    {"Main", "ResultsDataBatteryKbInLastCabinetValue", "%d%d"},
    {"Main", "ResultsDataBatteryRechargeTime", ""},
    {"Main", "ResultsDataPowerExpandible", ""},
    {"Main", "ResultsDataDimensionsInverter", ""},
    {"Main", "ResultsDataDimensionsTotal", ""},
    {"Main", "ResultsDataDimensionsBattery", ""},
    {"Main", "ResultsDataWeightTotal", ""},
    {"Main", "ResultsDataWeightInverterCabinet", ""},
    {"Main", "ResultsDataWeightBatteryCabinet", ""},
    {"Main", "ResultsDataWeightLastBatteryCabinet", ""},
    {"Main", "ResultsComparisonTabTitle", ""},
    {"Main", "ButtonKeepAlternative", ""},
    {"Main", "ComparisonMainColumn", ""},
    {"Main", "ComparisonOptionLabel", "%s"},
    {"Main", "ComparisonUpsModel", ""},
    {"Main", "ComparisonSlots", ""},
    {"Main", "ComparisonModules", ""},
    {"Main", "ComparisonRedundancy", ""},
    {"Main", "ComparisonBatteryKits", ""},
    {"Main", "ComparisonBatteryCabinets", ""},
    {"Main", "ComparisonEndOfLife", ""},
    {"Main", "ComparisonDimensions", ""},
    {"Main", "ComparisonWeights", ""},
    {"Main", "ComparisonTotalPrice", ""},
    {"Main", "ComparisonNetPrice", ""},
    {"Main", "ComparisonRemove", ""},
    {"Main", "ComparisonMoveLeft", ""},
    {"Main", "ComparisonMoveRight", ""},
    {"Main", "ComparisonRename", ""},
    {"Main", "ComparisonRenamePrompt", ""},
    {"Main", "ComparisonUseAsMain", ""},
    {"Main", "UpdaterTitle", ""},
    {"Main", "UpdaterStatus", "%d%d"},
    {"Main", "UpdaterUnpackStatus", "%d%d"},
    {"Main", "OfferCustomer", ""},
    {"Main", "OfferProject", ""},
    {"Main", "OfferReference", ""},
    {"Main", "OfferDate", ""},
    {"Main", "OfferValidUntil", ""},
    {"Main", "OfferSalesContact", ""},
    {"Main", "OfferNotes", ""},
    {"Main", "OfferDateFormat", ""},
    {"Main", "ResultsItemsDiscount", "%s"},
    {"Main", "ResultsItemsNetPrice", "%s"},
    {"Main", "ResultsItemsYearly", "%s"},
    {"Main", "ResultsOfferDetails", ""},
    {"Main", "ResultsItemsSave", ""},
    {"Main", "OfferValidDays", ""},
    {"Main", "OfferDiscount", ""},
    {"Main", "RecentConfigurations", ""},
    {"Main", "ConfigurationUntitled", ""},
    // Commons
    {"Commons", "ItemsTableProductCode", ""},
    {"Commons", "ItemsTableDescription", ""},
    {"Commons", "ItemsTableQuantity", ""},
    {"Commons", "ItemsTablePrice", ""},
    {"Commons", "ButtonCancel", ""},
    {"Commons", "ThreePhases", ""},
    {"Commons", "SinglePhase", ""},
    {"Commons", "PhasesOutputThreeFree", ""},
    {"Commons", "PhasesOutputThreeLock", ""},
    {"Commons", "PhasesOutputSingle", ""},
    {"Commons", "Yes", ""},
    {"Commons", "No", ""},
    {"Commons", "Minutes", "%d"},
    {"Commons", "HoursAndMinutes", "%d%d"},
    {"Commons", "CountryOfPriceList", "%s"},
    {"Commons", "DateOfPriceList", "%s"},
    {"Commons", "LegalNotesTitle", ""},
    {"Commons", "LegalNotes_1", ""},
    {"Commons", "LegalNotes_2", ""},
    {"Commons", "LegalNotes_3", ""},
    {"Commons", "LegalNotesDataChanges", ""},
    {"Commons", "ItemsTableLineTotal", ""},
    // Messages
    {"Messages", "ErrorAutonmyRequested", "%d%d"},
    {"Messages", "ErrorDllNotFound", ""},
    {"Messages", "ErrorHighPower", ""},
    {"Messages", "ErrorInternalError", ""},
    {"Messages", "ErrorInvalidNumber", ""},
    {"Messages", "ErrorMakeUpdate", ""},
    {"Messages", "ErrorNumberOutOfRange", "%d%d"},
    {"Messages", "ErrorDecimalOutOfRange", "%s%s"},
    {"Messages", "ErrorPriceListNotValid", ""},
    {"Messages", "ErrorWordCompile", ""},
    {"Messages", "ErrorWordOpen", ""},
    {"Messages", "QuestUpdateFounded", ""},
    {"Messages", "InfoUpdateProgram", "%s"},
    {"Messages", "InfoUpdatePriceList", "%s"},
    {"Messages", "InfoContinueUpdate", ""},
    {"Messages", "InfoPriceListUpdated", ""},
    {"Messages", "InfoFileSavedOk", "%s"},
    {"Messages", "InfoFileSavedKo", "%s"},
    {"Messages", "QuestNewConfiguration", ""},
    {"Messages", "ErrorConfigurationUnreadable", "%s"},
    {"Messages", "ErrorConfigurationDamaged", "%s"},
    {"Messages", "ErrorConfigurationNotOpened", "%s%s"},
    {"Messages", "ErrorConfigurationValue", "%s"},
    {"Messages", "InfoConfigurationNewer", "%s%s"},
    {"Messages", "InfoConfigurationIgnored", "%s"},
    {"Messages", "InfoAlternativesFull", "%d"},
    {"Messages", "ErrorAlternativeNotSized", "%s%s"},
    {"Messages", "QuestReplaceFile", "%s"},
    {"Messages", "ErrorDownloadNotFound", ""},
    {"Messages", "ErrorDownloadNoConnection", ""},
    {"Messages", "ErrorDownloadTooSlow", ""},
    {"Messages", "ErrorUpdateCancelled", ""},
    {"Messages", "ErrorDownloadNotHttps", ""},
    {"Messages", "ErrorDownloadFailed", ""},
    {"Messages", "ErrorUpdateNotSaved", ""},
    {"Messages", "ErrorUpdateNoSpace", ""},
    {"Messages", "ErrorPriceListDownloadNotValid", ""},
    {"Messages", "ErrorOfferDiscount", ""},
    {"Messages", "ErrorOfferDate", "%s"},
    {"Messages", "ErrorOfferValidDays", "%d%d"},
    {"Messages", "ErrorOfferReferencePattern", "%s"},
    {"Messages", "ErrorOfferValue", "%s"},
    {"Messages", "QuestSaveChanges", ""},
    {"Messages", "ErrorRecentFileMissing", "%s"},
    // Ups
    {"Ups", "UpsItemInverterCabinetSlot_3", ""},
    {"Ups", "UpsItemInverterCabinetSlot_6", ""},
    {"Ups", "UpsItemInverterCabinetSlot_9", ""},
    {"Ups", "UpsItemInverterCabinetSlot_12", ""},
    {"Ups", "UpsItemPowerModule_27", ""},
    {"Ups", "UpsItemPowerModule_34", ""},
    {"Ups", "UpsItemPowerModule_50", ""},
    {"Ups", "UpsItemBatteryKit_72", ""},
    {"Ups", "UpsItemBatteryKit_90", ""},
    {"Ups", "UpsItemBatteryKitEmpty", ""},
    {"Ups", "UpsItemBatteryCabinetModular_16", ""},
    {"Ups", "UpsItemBatteryCabinetModular_20", ""},
    {"Ups", "UpsItemBatteryCabinetNotModular", ""},
    // Accessories
    {"Accessories", "AccessoriesItemCs121", "%s"},
    {"Accessories", "AccessoriesItemCs121B", "%s"},
    {"Accessories", "AccessoriesItemCs121M", "%s"},
    {"Accessories", "AccessoriesItemSupervisor", "%s"},
    {"Accessories", "AccessoriesItemRccmd", "%s"},
    {"Accessories", "AccessoriesItemRccmdAs400", "%s"},
    {"Accessories", "AccessoriesItemKitAs400", "%s"},
    // Contracts
    {"Contracts", "ContractsItem_C", ""},
    {"Contracts", "ContractsItem_D", ""},
    {"Contracts", "ContractsItem_E", ""},
};

struct TFileSpec {
    const char *FileName;
    const char *LanguageName;
    int LanguageID;
};

const TFileSpec LanguageFiles[] = {
    {"English.lng", "English", 1033},
    {"Italian.lng", "Italiano", 1040},
    {"Deutsch.lng", "Deutsch", 1031},
    {"Spanish.lng", "Espa\u00f1ol", 3082},
};

// The longest value the profile-file functions return.
constexpr int MaxValueLength = 2047;

QString LangDir() { return QStringLiteral(VX_SOURCE_DIR "lang/"); }

QString Lower(const char *text) { return QString::fromLatin1(text).toLower(); }

// Sections whose texts the program formats even without placeholders (one
// argument, possibly empty) and where "\n" stands for a line break.
bool IsItemSection(const QString &section) {
    return section.compare(QLatin1String("Accessories"), Qt::CaseInsensitive) == 0 ||
           section.compare(QLatin1String("Contracts"), Qt::CaseInsensitive) == 0;
}

bool IsFormatted(const TKeySpec &spec) {
    return *spec.Placeholders != '\0' || IsItemSection(QString::fromLatin1(spec.Section));
}

struct TEntry {
    QString Section;  // as written in the file
    QString Key;      // as written in the file
    QString Value;    // trimmed, enclosing quotes removed
    QString RawValue; // everything after '=' up to the end of the line
    int Line = 0;
};

struct TParsedFile {
    bool Opened = false;
    bool ValidUtf8 = false;
    bool HasBom = false;
    QByteArray Bytes;
    QList<TEntry> Entries;       // in file order, duplicates included
    QMap<QString, TEntry> ByKey; // "section/key" in lower case -> first entry
    QStringList Problems;        // malformed lines, duplicates, repeated sections

    const TEntry *Find(const QString &section, const QString &key) const {
        auto it = ByKey.constFind(section.toLower() + QLatin1Char('/') + key.toLower());
        return it == ByKey.constEnd() ? nullptr : &it.value();
    }
};

TParsedFile ReadLanguageFile(const QString &path) {
    TParsedFile file;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return file;
    file.Opened = true;
    file.Bytes = f.readAll();
    file.HasBom = file.Bytes.startsWith("\xEF\xBB\xBF");

    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(file.Bytes);
    file.ValidUtf8 = !decoder.hasError();

    QString section;
    QSet<QString> sectionsSeen;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        const int lineNo = i + 1;
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
            continue;
        if (trimmed.startsWith(QLatin1Char('['))) {
            if (!trimmed.endsWith(QLatin1Char(']'))) {
                file.Problems << QStringLiteral("line %1: unclosed section name").arg(lineNo);
                continue;
            }
            section = trimmed.mid(1, trimmed.size() - 2).trimmed();
            if (sectionsSeen.contains(section.toLower()))
                file.Problems << QStringLiteral("line %1: section [%2] appears twice").arg(lineNo).arg(section);
            sectionsSeen.insert(section.toLower());
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0) {
            file.Problems << QStringLiteral("line %1: neither a section, a key nor a comment").arg(lineNo);
            continue;
        }
        if (section.isEmpty()) {
            file.Problems << QStringLiteral("line %1: key outside any section").arg(lineNo);
            continue;
        }
        TEntry entry;
        entry.Section = section;
        entry.Key = line.left(eq).trimmed();
        entry.RawValue = line.mid(eq + 1);
        entry.Value = entry.RawValue.trimmed();
        if (entry.Value.size() >= 2 && entry.Value.startsWith(QLatin1Char('"')) &&
            entry.Value.endsWith(QLatin1Char('"')))
            entry.Value = entry.Value.mid(1, entry.Value.size() - 2);
        entry.Line = lineNo;
        file.Entries << entry;
        const QString id = section.toLower() + QLatin1Char('/') + entry.Key.toLower();
        if (file.ByKey.contains(id))
            file.Problems
                << QStringLiteral("line %1: key %2 appears twice in [%3]").arg(lineNo).arg(entry.Key, section);
        else
            file.ByKey.insert(id, entry);
    }
    return file;
}

// Collects the %s and %d of a text in order. In a formatted text only %s, %d
// and %% may follow a percent sign; in a plain text a percent sign stands for
// itself, and %% is refused because it would show two percent signs.
bool ScanPlaceholders(const QString &text, bool formatted, QString *sequence, QString *error) {
    sequence->clear();
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('%'))
            continue;
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        if (next == QLatin1Char('s') || next == QLatin1Char('d')) {
            sequence->append(QLatin1Char('%'));
            sequence->append(next);
            ++i;
        } else if (next == QLatin1Char('%')) {
            if (!formatted) {
                *error = QStringLiteral("\"%%\" in a text shown as it is (write a single %)");
                return false;
            }
            ++i;
        } else if (formatted) {
            *error = next.isNull() ? QStringLiteral("lone \"%\" at the end of a formatted text")
                                   : QStringLiteral("unsupported sequence \"%%1\" in a formatted text").arg(next);
            return false;
        }
    }
    return true;
}

QString Where(const char *fileName, const TKeySpec &spec) {
    return QStringLiteral("%1 [%2] %3")
        .arg(QLatin1String(fileName), QLatin1String(spec.Section), QLatin1String(spec.Key));
}

QString Report(const QStringList &problems) { return problems.join(QLatin1Char('\n')); }

} // namespace

class TestLanguageFiles : public QObject {
    Q_OBJECT

private:
    QMap<QString, TParsedFile> m_files;

    const TParsedFile &File(const char *name) { return m_files[QString::fromLatin1(name)]; }

    void AddFileRows() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(LanguageFiles)); ++i)
            QTest::newRow(LanguageFiles[i].FileName) << i;
    }

private slots:
    void initTestCase() {
        for (const TFileSpec &spec : LanguageFiles)
            m_files.insert(QString::fromLatin1(spec.FileName),
                           ReadLanguageFile(LangDir() + QString::fromLatin1(spec.FileName)));
    }

    void keyTableIsConsistent() {
        QMap<QString, int> perSection;
        QSet<QString> seen;
        for (const TKeySpec &spec : KeyTable) {
            ++perSection[QString::fromLatin1(spec.Section)];
            const QString id = Lower(spec.Section) + QLatin1Char('/') + Lower(spec.Key);
            QVERIFY2(!seen.contains(id), qPrintable(id));
            seen.insert(id);
        }
        // The keys the offer has always read, the 11 of the runtime and heat tab,
        // the 8 of the configuration files (2 menu entries, 6 messages), the line naming
        // the unpriced items, the save dialog's question before a file is replaced and
        // the 10 of the updates (the unpacking status, 9 causes of a failed update), the 9 of
        // the end-of-life figures (8 on the runtime tab, the decimal entry's message) and
        // the 21 of the offer details (11 labels and lines, the line total column, 5 messages,
        // 2 commands and 2 fields of the offer dialog), the 7 of the wizard's advice (3 of
        // the size list, 3 of the redundancy page, the accessories' exclusion note), the 11
        // of the files and the offer settings (7 on the setup dialog's offer tab, 2 on the main
        // window, 2 messages) and the 23 of the alternatives (21 on the main window, 2 messages).
        QCOMPARE(int(std::size(KeyTable)), 140 + 11 + 8 + 1 + 1 + 10 + 9 + 21 + 7 + 11 + 23);
        QCOMPARE(perSection.value("LangOptions"), 2);
        QCOMPARE(perSection.value("Wizard"), 31 + 7);
        QCOMPARE(perSection.value("Setup"), 3 + 7);
        QCOMPARE(perSection.value("Main"), 42 + 11 + 2 + 1 + 1 + 8 + 15 + 2 + 21);
        QCOMPARE(perSection.value("Commons"), 21 + 1);
        QCOMPARE(perSection.value("Messages"), 18 + 6 + 1 + 9 + 1 + 5 + 2 + 2);
        QCOMPARE(perSection.value("Ups"), 13);
        QCOMPARE(perSection.value("Accessories"), 7);
        QCOMPARE(perSection.value("Contracts"), 3);
    }

    void placeholderScanner_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("formatted");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("sequence");
        QTest::newRow("two numbers") << "%d of %d" << true << true << "%d%d";
        QTest::newRow("number and text") << "(%d %s)" << true << true << "%d%s";
        QTest::newRow("escaped percent") << "20%% off %s" << true << true << "%s";
        QTest::newRow("unknown letter") << "%x" << true << false << "";
        QTest::newRow("width") << "%5d" << true << false << "";
        QTest::newRow("upper case") << "%S" << true << false << "";
        QTest::newRow("argument index") << "%0:s" << true << false << "";
        QTest::newRow("lone percent at end") << "100%" << true << false << "";
        QTest::newRow("plain percent in formatted text") << "80 % of %d" << true << false << "";
        QTest::newRow("plain percent in plain text") << "80 % of the load" << false << true << "";
        QTest::newRow("double percent in plain text") << "80 %% of the load" << false << false << "";
        QTest::newRow("placeholder in plain text") << "over %s" << false << true << "%s";
    }

    void placeholderScanner() {
        QFETCH(QString, text);
        QFETCH(bool, formatted);
        QFETCH(bool, accepted);
        QFETCH(QString, sequence);
        QString got, error;
        QCOMPARE(ScanPlaceholders(text, formatted, &got, &error), accepted);
        if (accepted)
            QCOMPARE(got, sequence);
        else
            QVERIFY(!error.isEmpty());
    }

    void fileIsReadable_data() { AddFileRows(); }
    void fileIsReadable() {
        QFETCH(int, index);
        const TFileSpec &spec = LanguageFiles[index];
        const TParsedFile &file = File(spec.FileName);
        QVERIFY2(file.Opened, qPrintable(LangDir() + spec.FileName));
        QVERIFY2(file.ValidUtf8, "the file is not valid UTF-8");
        // A byte order mark would become part of the first line.
        QVERIFY2(!file.HasBom, "the file starts with a byte order mark");
        QVERIFY2(file.Problems.isEmpty(), qPrintable(Report(file.Problems)));
    }

    void languageOptions_data() { AddFileRows(); }
    void languageOptions() {
        QFETCH(int, index);
        const TFileSpec &spec = LanguageFiles[index];
        const TParsedFile &file = File(spec.FileName);
        const TEntry *name = file.Find("LangOptions", "LanguageName");
        const TEntry *id = file.Find("LangOptions", "LanguageID");
        QVERIFY(name);
        QVERIFY(id);
        QVERIFY(!name->Value.isEmpty());
        QCOMPARE(name->Value, QString::fromUtf8(spec.LanguageName));
        bool ok = false;
        const int value = id->Value.toInt(&ok);
        QVERIFY2(ok, qPrintable(id->Value));
        QCOMPARE(value, spec.LanguageID);
    }

    void everyKeyIsPresentAndNotEmpty_data() { AddFileRows(); }
    void everyKeyIsPresentAndNotEmpty() {
        QFETCH(int, index);
        const TFileSpec &spec = LanguageFiles[index];
        const TParsedFile &file = File(spec.FileName);
        QStringList problems;
        for (const TKeySpec &key : KeyTable) {
            const TEntry *entry = file.Find(QString::fromLatin1(key.Section), QString::fromLatin1(key.Key));
            if (!entry)
                problems << Where(spec.FileName, key) + QStringLiteral(": missing");
            else if (entry->Value.isEmpty())
                problems << Where(spec.FileName, key) + QStringLiteral(": empty");
        }
        QVERIFY2(problems.isEmpty(), qPrintable(Report(problems)));
    }

    void noUnknownKeys_data() { AddFileRows(); }
    void noUnknownKeys() {
        QFETCH(int, index);
        const TFileSpec &spec = LanguageFiles[index];
        const TParsedFile &file = File(spec.FileName);
        QSet<QString> known;
        for (const TKeySpec &key : KeyTable)
            known.insert(Lower(key.Section) + QLatin1Char('/') + Lower(key.Key));
        QStringList problems;
        for (auto it = file.ByKey.constBegin(); it != file.ByKey.constEnd(); ++it)
            if (!known.contains(it.key()))
                problems << QStringLiteral("%1 line %2: [%3] %4 is read by nobody")
                                .arg(QLatin1String(spec.FileName))
                                .arg(it->Line)
                                .arg(it->Section, it->Key);
        QVERIFY2(problems.isEmpty(), qPrintable(Report(problems)));
    }

    void placeholdersMatch_data() { AddFileRows(); }
    void placeholdersMatch() {
        QFETCH(int, index);
        const TFileSpec &spec = LanguageFiles[index];
        const TParsedFile &file = File(spec.FileName);
        QStringList problems;
        for (const TKeySpec &key : KeyTable) {
            const TEntry *entry = file.Find(QString::fromLatin1(key.Section), QString::fromLatin1(key.Key));
            if (!entry)
                continue; // reported by everyKeyIsPresentAndNotEmpty
            QString sequence, error;
            if (!ScanPlaceholders(entry->Value, IsFormatted(key), &sequence, &error))
                problems << Where(spec.FileName, key) + QStringLiteral(": ") + error;
            else if (sequence != QLatin1String(key.Placeholders))
                problems << Where(spec.FileName, key) + QStringLiteral(": placeholders \"%1\", expected \"%2\"")
                                                            .arg(sequence, QLatin1String(key.Placeholders));
        }
        QVERIFY2(problems.isEmpty(), qPrintable(Report(problems)));
    }

    void valuesFitTheReader_data() { AddFileRows(); }
    void valuesFitTheReader() {
        QFETCH(int, index);
        const TFileSpec &spec = LanguageFiles[index];
        const TParsedFile &file = File(spec.FileName);
        QStringList problems;
        for (const TEntry &entry : file.Entries) {
            const QString where =
                QStringLiteral("%1 line %2 (%3)").arg(QLatin1String(spec.FileName)).arg(entry.Line).arg(entry.Key);
            // Counted in bytes, so the limit holds however the file is decoded.
            if (entry.Value.toUtf8().size() > MaxValueLength)
                problems << where + QStringLiteral(": longer than %1 bytes").arg(MaxValueLength);
            // The reader trims values: a text must not rely on blanks at its ends.
            if (entry.RawValue != entry.RawValue.trimmed())
                problems << where + QStringLiteral(": blanks before or after the value");
            for (const QChar c : entry.Value)
                if (c.category() == QChar::Other_Control) {
                    problems
                        << where + QStringLiteral(": control character U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
                    break;
                }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(Report(problems)));
    }

    void lineBreaksOnlyInItemTexts_data() { AddFileRows(); }
    void lineBreaksOnlyInItemTexts() {
        QFETCH(int, index);
        const TFileSpec &spec = LanguageFiles[index];
        const TParsedFile &file = File(spec.FileName);
        const QString lineBreak = QStringLiteral("\\n");
        QStringList problems;
        for (const TEntry &entry : file.Entries) {
            const QString where =
                QStringLiteral("%1 [%2] %3").arg(QLatin1String(spec.FileName), entry.Section, entry.Key);
            const QString &v = entry.Value;
            if (!IsItemSection(entry.Section)) {
                // Elsewhere a backslash is shown as it is.
                if (v.contains(QLatin1Char('\\')))
                    problems << where + QStringLiteral(": backslash in a text shown as it is");
                continue;
            }
            for (int i = v.indexOf(QLatin1Char('\\')); i >= 0; i = v.indexOf(QLatin1Char('\\'), i + 1))
                if (i + 1 >= v.size() || v.at(i + 1) != QLatin1Char('n'))
                    problems << where + QStringLiteral(": backslash not followed by n");
            // On one line the breaks are removed: the words around a break must
            // still be apart, and nothing may be left at the ends.
            for (int i = v.indexOf(lineBreak, 1); i > 0; i = v.indexOf(lineBreak, i + 2))
                if (!v.at(i - 1).isSpace())
                    problems << where + QStringLiteral(": no blank before the line break at %1").arg(i);
            if (v.endsWith(lineBreak))
                problems << where + QStringLiteral(": ends with a line break");
            QString oneLine = v;
            oneLine.remove(lineBreak);
            if (oneLine != oneLine.trimmed() || oneLine.contains(QLatin1String("  ")))
                problems << where + QStringLiteral(": stray blanks once the line breaks are removed");
            // Accessories follow their label directly in the wizard grid, so they
            // start on a new line; contracts follow " - " and do not.
            const bool accessory = entry.Section.compare(QLatin1String("Accessories"), Qt::CaseInsensitive) == 0;
            if (accessory && !v.startsWith(lineBreak))
                problems << where + QStringLiteral(": an accessory text must start with a line break");
            if (!accessory && v.startsWith(lineBreak))
                problems << where + QStringLiteral(": a contract text must not start with a line break");
        }
        QVERIFY2(problems.isEmpty(), qPrintable(Report(problems)));
    }

    void allFilesHoldTheSameKeys() {
        const TFileSpec &first = LanguageFiles[0];
        const QSet<QString> reference(File(first.FileName).ByKey.keyBegin(), File(first.FileName).ByKey.keyEnd());
        QVERIFY(!reference.isEmpty());
        for (const TFileSpec &spec : LanguageFiles) {
            const TParsedFile &file = File(spec.FileName);
            const QSet<QString> keys(file.ByKey.keyBegin(), file.ByKey.keyEnd());
            QStringList missing = QStringList((reference - keys).values());
            QStringList extra = QStringList((keys - reference).values());
            missing.sort();
            extra.sort();
            QVERIFY2(missing.isEmpty(),
                     qPrintable(QStringLiteral("%1 lacks %2").arg(QLatin1String(spec.FileName), missing.join(", "))));
            QVERIFY2(extra.isEmpty(),
                     qPrintable(QStringLiteral("%1 has more: %2").arg(QLatin1String(spec.FileName), extra.join(", "))));
        }
    }

    void programFolderHoldsTheSameFiles() {
        for (const TFileSpec &spec : LanguageFiles) {
            QFile copy(QStringLiteral(VX_PROGRAM_DIR) + QString::fromLatin1(spec.FileName));
            QVERIFY2(copy.open(QIODevice::ReadOnly), qPrintable(copy.fileName()));
            QVERIFY2(copy.readAll() == File(spec.FileName).Bytes,
                     qPrintable(copy.fileName() + QStringLiteral(" differs from the source")));
        }
    }
};

QTEST_GUILESS_MAIN(TestLanguageFiles)
#include "test_language_files.moc"
