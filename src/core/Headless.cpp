#include "Headless.h"
#include "HeadlessAnswer.h"
#include "RuntimeCurve.h"

#include "Alternatives.h"
#include "Configuration.h"
#include "DataSheet.h"
#include "ItemList.h"
#include "JsonStream.h"
#include "IniFile.h"
#include "Lang.h"
#include "LayoutGeometry.h"
#include "PriceList.h"
#include "RequestKeys.h"
#include "RequestReplay.h"
#include "Settings.h"
#include "TextUtils.h"
#include "Vendor.h"
#include "WizardCore.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QTextStream>

#include <cmath>
#include <optional>

namespace {

/// Makes the request's language, a language file of the program folder, the
/// request's one; false when it is none.
bool UseRequestLanguage(const QJsonValue &v, const QString &programPath, TLanguage &language)
{
    if (!v.isString())
        return false;
    const QString name = v.toString();
    bool found = false;
    for (const TLanguageEntry &entry : ListLanguages(programPath))
        found = found || entry.FileName == name;
    if (!found)
        return false;
    language.Folder = programPath;
    language.File = name;
    int32_t id = -1;
    if (!ParseInteger(LangText(language, QStringLiteral("LangOptions"), QStringLiteral("LanguageID")), id, false))
        id = -1;
    language.Id = id;
    return true;
}

/// The settings a request runs with: the session's, in the request's language
/// (the language also decides the home market).
TSetupData RequestSetup(const TSetupData &setup, const TLanguage &language)
{
    TSetupData own = setup;
    own.LanguageFile = language.File;
    own.LanguageID = language.Id;
    return own;
}

/// Refuses the offer details with the message the offer dialog shows.
bool RefuseOffer(TRefusal &refusal, const TOfferError &error)
{
    RefuseKey(refusal, TRequestKeyId::Offer);
    const TOfferMessage message = OfferErrorMessage(error);
    refusal.Error = message.Key;
    refusal.MessageKey = message.Key;
    refusal.Args = message.Args;
    return false;
}

/// Replays the wizard's pages for one request; fills `out` with what the pages
/// showed (sizeList, redundancyLines). False with `refusal` set when a page refused.
/// The request keys of a configuration file leave out the values of pages not
/// shown here (added to out.IgnoredKeys) instead of refusing them. A request
/// that names its language sets `language`.
bool Replay(const QJsonObject &given, bool configuration, const THeadlessSession &session, TRequestParameters &req,
            TResultParameters &res, TPagesShown &out, TRefusal &refusal, bool &debugModeOut,
            TBatteryEnvironment &env, TOfferDetails &offer, TLanguage &language)
{
    QJsonObject request = given;
    out.Configuration = configuration;
    const TRequestReader r(request);

    if (!AllKeysKnown(request, refusal))
        return false;
    bool debugMode = false;
    if (!r.Bool(TRequestKeyId::DebugMode, debugMode))
        return RefuseKey(refusal, TRequestKeyId::DebugMode);
    debugModeOut = debugMode;
    if (r.Has(TRequestKeyId::Language) &&
        !UseRequestLanguage(r.Value(TRequestKeyId::Language), session.Setup->ProgramPath, language))
        return RefuseKey(refusal, TRequestKeyId::Language);
    if (!ReadBatteryEnvironment(r, env, refusal))
        return false;
    if (r.Has(TRequestKeyId::Offer))
        if (const TOfferError e = ReadOfferDetails(r.Value(TRequestKeyId::Offer), offer); !e.Ok())
            return RefuseOffer(refusal, e);

    TWizardContext context;
    context.DebugMode = debugMode;
    context.HomeMarket = IsHomeMarket(RequestSetup(*session.Setup, language));
    context.LanguageID = language.Id;
    TWizardCore core(req, res, context, TWizardMode::NewConfiguration, session.OfferFor(context.LanguageID));
    core.FillAccessoryLists();

    const QList<TWizardPage> &pages = core.PageSequence();
    if (!LeaveOutPagesNotShown(request, pages, out, refusal))
        return false;
    out.Request = request;

    TPageReplay replay{core, r, debugMode, out, refusal};
    for (TWizardPage page : pages)
        if (!ReplayPage(page, replay))
            return false;

    const TPageError e = core.Finish();
    if (!e.Ok())
        return RefusePage(refusal, e, pages.isEmpty() ? TWizardPage::None : pages.last());
    return true;
}

/// The item list (it sets the empty kits and the total), then the data sheet.
void BuildResultTables(const TRequestParameters &req, TResultParameters &res, bool debugMode,
                       const THeadlessSession &session, const TLanguage &language, TItemList &list,
                       QVector<TDataRow> &sheet)
{
    const TSetupData setup = RequestSetup(*session.Setup, language);
    TItemListContext itemContext = ProgramItemListContext(session.StandardUps, setup);
    itemContext.DebugMode = debugMode;
    list = BuildItemList(req, res, itemContext);
    TDataSheetContext sheetContext = ProgramDataSheetContext(setup);
    sheetContext.DebugMode = debugMode;
    sheet = BuildDataSheet(req, res, sheetContext);
}

} // namespace

const TWizardOffer &THeadlessSession::OfferFor(int32_t languageId) const
{
    auto it = OfferByLanguage.find(languageId);
    if (it == OfferByLanguage.end()) {
        it = OfferByLanguage.insert(languageId, Offer);
        ReadOfferedAccessoryLists(*it, languageId);
    }
    return *it;
}

THeadlessSession ReadHeadlessSession(const TSetupData &setup)
{
    THeadlessSession session;
    session.Setup = &setup;
    session.Offer = ReadWizardOffer();
    session.StandardUps = ReadStandardUpsDefinitions(LoadStandardUpsList(ProgramVendorReader()), ProgramVendorReader());
    return session;
}

namespace {

/// One answer's part in a comparison: its label (given), its column and its
/// refusal (returned).
struct TAnswerPart {
    QString Label;
    bool Ok = false;
    QStringList Column;
    TRefusal Refusal;
};

/// The alternatives' answers and the comparison with the main configuration.
struct TAlternativeAnswers {
    QList<QByteArray> Answers;
    int FailedIndex = -1;
    TComparison Comparison;
};

QByteArray AnswerText(const QJsonObject &request, const THeadlessHooks &hooks, const THeadlessSession &session,
                      int level, TRequestParameters *finalRequest, TResultParameters *finalResult,
                      TAnswerPart *part);

/// Sizes each alternative of `request` as a request of its own (with the
/// drawing's keys, without documents) and sets them beside `main`. False,
/// refused with the alternative named, when one cannot be read or sized.
bool SizeAlternatives(const QJsonObject &request, const THeadlessHooks &hooks, const THeadlessSession &session,
                      int level, const TComparedConfiguration &main, TAlternativeAnswers &out, TRefusal &refusal)
{
    const QJsonValue value = request.value(RequestKeyName(TRequestKeyId::Alternatives));
    QVector<TAlternative> alternatives;
    if (value.isUndefined())
        return true;
    if (!ReadAlternatives(value, alternatives, refusal))
        return false;
    THeadlessHooks drawingOnly;
    drawingOnly.ExtendResult = hooks.ExtendResult;
    QStringList labels;
    QList<QStringList> columns;
    for (int i = 0; i < alternatives.size(); ++i) {
        TAnswerPart part;
        part.Label = alternatives[i].Label;
        QByteArray answer = AnswerText(MergeAlternative(request, alternatives[i].Keys), drawingOnly, session,
                                       level + 2, nullptr, nullptr, &part);
        while (!answer.isEmpty() && (answer.front() == '\n' || answer.front() == ' '))
            answer.remove(0, 1);
        out.Answers << answer;
        labels << part.Label;
        columns << part.Column;
        if (!part.Ok && out.FailedIndex == -1) {
            out.FailedIndex = i;
            refusal = part.Refusal;
            refusal.Error = AlternativeName(i, part.Label) + QStringLiteral(": ") + part.Refusal.Error;
        }
    }
    if (out.FailedIndex != -1)
        return false;
    out.Comparison = BuildComparison(ComparisonColumn(main), labels, columns);
    return true;
}

void WriteAlternatives(TJsonText &json, const TAlternativeAnswers &alternatives)
{
    if (alternatives.Answers.isEmpty())
        return;
    json.Key("alternatives");
    json.BeginArray();
    for (const QByteArray &answer : alternatives.Answers)
        json.Raw(answer);
    json.EndArray();
    if (alternatives.FailedIndex != -1)
        json.Member("errorAlternative", alternatives.FailedIndex);
    if (alternatives.Comparison.IsEmpty())
        return;
    json.Key("comparison");
    json.BeginArray();
    for (const QStringList &row : alternatives.Comparison.Rows)
        json.Json(QJsonArray::fromStringList(row));
    json.EndArray();
}

QByteArray AnswerText(const QJsonObject &request, const THeadlessHooks &hooks, const THeadlessSession &session,
                      int level, TRequestParameters *finalRequest, TResultParameters *finalResult, TAnswerPart *part)
{
    const TIniReadScope oneReading;
    // The settings' language unless the request names its own; every lookup reads it.
    TLanguage language = SettingsLanguage(*session.Setup);
    const TLanguageScope languageScope(language);
    TRequestParameters req{};
    TResultParameters res{};
    TPagesShown pages;
    QJsonObject extra;
    TRefusal refusal;
    bool debugMode = false;
    TBatteryEnvironment env;
    // A configuration file's keys this program does not know are left out, not refused.
    const bool configuration = IsConfiguration(request);
    TConfigurationKeys keys;
    if (configuration) {
        keys = SplitConfiguration(request);
        pages.IgnoredKeys = keys.IgnoredKeys;
    }
    TOfferDetails offer;
    bool ok = Replay(configuration ? keys.Request : request, configuration, session, req, res, pages, refusal,
                     debugMode, env, offer, language);

    // As the results page: the drawing first (it settles the inverter's kit
    // positions), then the item list (empty kits, total), then the data sheet.
    TItemList list;
    QVector<TDataRow> sheet;
    TAlternativeAnswers alternatives;
    bool sized = ok;
    if (ok) {
        LayoutFullCabinets(req, res);
        if (hooks.ExtendResult)
            hooks.ExtendResult(req, res, extra);
        BuildResultTables(req, res, debugMode, session, language, list, sheet);
        const TComparedConfiguration compared{req, res, list, sheet, env, offer};
        if (part)
            part->Column = ComparisonColumn(compared);
        ok = SizeAlternatives(configuration ? keys.Request : request, hooks, session, level, compared, alternatives,
                              refusal);
    }
    if (ok && hooks.ExportResult)
        hooks.ExportResult(req, res, list, sheet, env, offer, alternatives.Comparison, extra);
    if (part) {
        part->Ok = ok;
        part->Refusal = refusal;
    }
    // A hook that failed (an image that could not be written) says so in "ok".
    const bool answerOk = extra.contains(QLatin1String("ok")) ? extra.take(QLatin1String("ok")).toBool() : ok;

    QByteArray bytes;
    bytes.reserve(8192);
    TJsonText json(bytes, level);
    json.BeginObject();
    if (part)
        json.Member("label", part->Label);
    json.Member("ok", answerOk);
    if (!ok) {
        json.Member("error", refusal.Error);
        json.Member("errorPage", refusal.Page);
        if (!refusal.MessageKey.isEmpty()) {
            QJsonArray args;
            for (const QVariant &a : refusal.Args)
                args.append(QJsonValue::fromVariant(a));
            json.Key("errorArgs");
            json.Json(args);
            json.Member("message", FormatText(LangMessages(language, refusal.MessageKey), refusal.Args));
        }
    }
    // A main configuration whose alternative was refused still shows its own figures.
    if (sized) {
        WriteResultTables(json, list, sheet, offer);
        WriteRuntimeAndHeat(json, req, res, env);
        if (!offer.IsEmpty())
            WriteOffer(json, offer);
    }
    WriteAlternatives(json, alternatives);
    WritePagesShown(json, pages);
    if (pages.Configuration) {
        json.Key("ignoredKeys");
        json.Json(QJsonArray::fromStringList(pages.IgnoredKeys));
    }
    for (auto it = extra.constBegin(); it != extra.constEnd(); ++it) {
        json.Key(it.key().toUtf8().constData());
        json.Json(it.value());
    }
    json.Key("request");
    WriteRequest(json, req);
    json.Key("result");
    WriteResult(json, res);
    json.EndObject();
    json.Finish();

    if (finalRequest)
        *finalRequest = req;
    if (finalResult)
        *finalResult = res;
    return bytes;
}

} // namespace

QByteArray SizeRequestText(const QJsonObject &request, const THeadlessHooks &hooks, const THeadlessSession &session,
                           int level, TRequestParameters *finalRequest, TResultParameters *finalResult)
{
    return AnswerText(request, hooks, session, level, finalRequest, finalResult, nullptr);
}

QJsonObject SizeRequestJson(const QJsonObject &request, const THeadlessHooks &hooks,
                            TRequestParameters *finalRequest, TResultParameters *finalResult,
                            const THeadlessSession *session, const TSetupData &setup)
{
    std::optional<THeadlessSession> ownSession;
    if (!session)
        session = &ownSession.emplace(ReadHeadlessSession(setup));
    return QJsonDocument::fromJson(SizeRequestText(request, hooks, *session, 0, finalRequest, finalResult)).object();
}

QString RefusalMessage(const TRefusal &refusal, const TLanguage &language)
{
    return !refusal.MessageKey.isEmpty()
               ? FormatText(LangMessages(language, refusal.MessageKey), refusal.Args)
               : FormatArgs(LangMessages(language, QStringLiteral("ErrorConfigurationValue")), refusal.Key);
}

namespace {

/// The request as the window replays it: in its own language and debug mode.
QJsonObject WindowRequest(const QJsonObject &given, const TSetupData &setup)
{
    QJsonObject request = given;
    request.remove(RequestKeyName(TRequestKeyId::Language));
    request.remove(RequestKeyName(TRequestKeyId::DebugMode));
    if (setup.DebugMode)
        request.insert(RequestKeyName(TRequestKeyId::DebugMode), true);
    return request;
}

} // namespace

TSizedConfiguration SizeConfiguration(const QJsonObject &given, const THeadlessSession &session)
{
    const QJsonObject request = WindowRequest(given, *session.Setup);
    const TIniReadScope oneReading;
    // The window's language: the request holds none.
    TLanguage language = SettingsLanguage(*session.Setup);
    const TLanguageScope languageScope(language);
    TSizedConfiguration sized;
    TComparedConfiguration &c = sized.Configuration;
    TPagesShown pages;
    TRefusal refusal;
    bool debugMode = false;
    sized.Ok = Replay(request, true, session, c.Request, c.Result, pages, refusal, debugMode, c.Environment, c.Offer,
                      language);
    if (!sized.Ok) {
        sized.Message = RefusalMessage(refusal, language);
        return sized;
    }
    LayoutFullCabinets(c.Request, c.Result);
    BuildResultTables(c.Request, c.Result, debugMode, session, language, c.Items, c.Sheet);
    return sized;
}

TConfigurationReplay ReplayConfiguration(const QJsonObject &configuration, TRequestParameters &req,
                                         TResultParameters &res, const THeadlessSession *session,
                                         const TSetupData &setup)
{
    std::optional<THeadlessSession> ownSession;
    if (!session)
        session = &ownSession.emplace(ReadHeadlessSession(setup));
    // Read as a configuration; the window's language and debug mode hold,
    // whatever the file was saved with.
    const TConfigurationKeys keys = SplitConfiguration(configuration);
    const QJsonObject request = WindowRequest(keys.Request, *session->Setup);

    const TIniReadScope oneReading;
    TRequestParameters replayedRequest{};
    TResultParameters replayedResult{};
    TPagesShown pages;
    pages.IgnoredKeys = keys.IgnoredKeys;
    TRefusal refusal;
    bool replayDebugMode = false;
    TConfigurationReplay replay;
    TOfferDetails offer;
    // The window's language: the request holds none.
    TLanguage language = SettingsLanguage(*session->Setup);
    replay.Ok = Replay(request, true, *session, replayedRequest, replayedResult, pages, refusal, replayDebugMode,
                       replay.Environment, offer, language);
    replay.IgnoredKeys = pages.IgnoredKeys;
    if (!replay.Ok) {
        replay.Message = RefusalMessage(refusal, language);
        return replay;
    }
    replay.Request = pages.Request;
    replay.Request.remove(RequestKeyName(TRequestKeyId::DebugMode));
    replay.Offer = offer;
    req = replayedRequest;
    res = replayedResult;
    return replay;
}

namespace {

/// Checks the whole file (every element parses, the array is closed) without keeping it.
bool CheckRequestFile(QFile &file, const QString &fileName, QTextStream &err)
{
    TJsonElementReader reader(file);
    reader.SetObjectsOnly(true);
    QJsonValue value;
    if (reader.Start())
        while (reader.Next(value)) {
        }
    if (reader.NotContainer()) {
        err << "The request file \"" << fileName << "\" must hold a JSON object or an array of objects."
            << Qt::endl;
        return false;
    }
    if (reader.Failed()) {
        err << "Malformed JSON in \"" << fileName << "\" at offset " << reader.ErrorOffset() << ": "
            << reader.Error() << Qt::endl;
        return false;
    }
    if (file.error() != QFileDevice::NoError) {
        err << "Cannot read the request file \"" << fileName << "\": " << file.errorString() << Qt::endl;
        return false;
    }
    return true;
}

} // namespace

int RunHeadlessSize(const QString &fileName, QIODevice &out, QTextStream &err, const THeadlessHooks &hooks,
                    const TSetupData &setup)
{
    // Only a regular file: a pipe or a device would block or never end.
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile()) {
        err << "Cannot read the request file \"" << fileName << "\": not a regular file" << Qt::endl;
        return 2;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        err << "Cannot read the request file \"" << fileName << "\": " << file.errorString() << Qt::endl;
        return 2;
    }
    if (!CheckRequestFile(file, fileName, err) || !file.seek(0))
        return 2;

    const THeadlessSession session = ReadHeadlessSession(setup);
    TJsonElementReader reader(file);
    reader.Start();
    // Each answer starts at its opening brace; arrays put it on its own line.
    auto answer = [&](const QJsonValue &v, int level) {
        QByteArray bytes = SizeRequestText(v.toObject(), hooks, session, level, nullptr, nullptr);
        while (!bytes.isEmpty() && (bytes.front() == '\n' || bytes.front() == ' '))
            bytes.remove(0, 1);
        return bytes;
    };
    // Answers that cannot be written end the run: nobody would read the rest.
    auto written = [&out](const QByteArray &bytes) { return out.write(bytes) == bytes.size(); };
    QJsonValue value;
    bool ok = true;
    if (!reader.IsArray()) {
        if (reader.Next(value))
            ok = written(answer(value, 0) + '\n');
    } else {
        ok = written("[");
        bool first = true;
        while (ok && reader.Next(value)) {
            ok = written(first ? "\n    " : ",\n    ") && written(answer(value, 1));
            first = false;
        }
        ok = ok && written(first ? "]\n" : "\n]\n");
    }
    if (auto *file = qobject_cast<QFileDevice *>(&out))
        ok = file->flush() && ok;
    if (!ok) {
        err << "Cannot write the answers: " << out.errorString() << Qt::endl;
        return 1;
    }
    return 0;
}
