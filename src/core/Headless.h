#pragma once
// Headless sizing: VarnexCfg --size FILE replays the wizard's pages for one
// request object (or an array of them) read as JSON and prints the result as
// JSON. No window and no message box.

#include "Globals.h"
#include "Alternatives.h"
#include "BatteryLife.h"
#include "DataSheet.h"
#include "ItemList.h"
#include "OfferDetails.h"
#include "WizardCore.h"
#include <QHash>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>

struct TLanguage;

class QIODevice;
class QTextStream;

struct THeadlessHooks {
    /// Adds keys computed outside the core (the layout drawing) to a finished result.
    std::function<void(const TRequestParameters &, TResultParameters &, QJsonObject &)> ExtendResult;
    /// Receives a finished result with its two tables, the runtime inputs, the
    /// request's offer details (empty without them) and the comparison with its
    /// alternatives (empty without them) for the documents; may add keys.
    std::function<void(const TRequestParameters &, TResultParameters &, const TItemList &, const QVector<TDataRow> &,
                       const TBatteryEnvironment &, const TOfferDetails &, const TComparison &, QJsonObject &)>
        ExportResult;
};

/// What every request of a run shares, read once from the vendor library, and
/// the settings the requests run with (read at each request).
struct THeadlessSession {
    const TSetupData *Setup = nullptr;
    TWizardOffer Offer;
    QVector<TStandardUpsDefinition> StandardUps;
    /// The offer with the accessory lists of each language met so far.
    mutable QHash<int32_t, TWizardOffer> OfferByLanguage;
    const TWizardOffer &OfferFor(int32_t languageId) const;
};
THeadlessSession ReadHeadlessSession(const TSetupData &setup = SetupData);

/// Sizes one request object; the returned object holds ok, error, errorPage, request,
/// result and, for a sizing that finished, layout, items, totalPrice and dataSheet.
/// Each call starts from zero-filled records. Without a session it reads its own of `setup`.
QJsonObject SizeRequestJson(const QJsonObject &request, const THeadlessHooks &hooks,
                            TRequestParameters *finalRequest = nullptr, TResultParameters *finalResult = nullptr,
                            const THeadlessSession *session = nullptr, const TSetupData &setup = SetupData);

/// The same answer as JSON text, its nested lines indented from `level`.
QByteArray SizeRequestText(const QJsonObject &request, const THeadlessHooks &hooks, const THeadlessSession &session,
                           int level = 0, TRequestParameters *finalRequest = nullptr,
                           TResultParameters *finalResult = nullptr);

/// A request sized for the comparison in the active language and debug mode,
/// as an answer sizes it (the request's own language and debug mode are not read).
struct TSizedConfiguration {
    bool Ok = false;
    QString Message; // why it cannot be sized, in the active language
    TComparedConfiguration Configuration;
};
TSizedConfiguration SizeConfiguration(const QJsonObject &request, const THeadlessSession &session);

/// Why a configuration cannot be opened or sized, in `language`.
QString RefusalMessage(const TRefusal &refusal, const TLanguage &language);

/// A configuration replayed for the window.
struct TConfigurationReplay {
    bool Ok = false;
    QString Message;         // why it cannot be opened, in the active language
    QStringList IgnoredKeys; // keys left out: unknown, or of pages not shown here
    QJsonObject Request;     // the request keys the pages read, for saving it again
    TBatteryEnvironment Environment; // the runtime tab's inputs it holds
    TOfferDetails Offer;     // the configuration's offer details, empty without them
};
/// Replays a configuration (or a bare request) through the wizard's pages in the
/// settings' language and debug mode; `req` and `res` change only when it succeeds.
/// Without a session it reads its own of `setup`.
TConfigurationReplay ReplayConfiguration(const QJsonObject &configuration, TRequestParameters &req,
                                         TResultParameters &res, const THeadlessSession *session = nullptr,
                                         const TSetupData &setup = SetupData);

/// Reads the file, writes the answer (object or array) to `out` as UTF-8, each
/// request's answer as soon as it is ready; messages on `err`. The whole file is
/// checked before the first answer is written. Returns the process exit status:
/// 0; 1 when the answers cannot be written to `out` (the run stops there, the
/// reason on `err`); 2 for an unreadable file or malformed JSON.
int RunHeadlessSize(const QString &fileName, QIODevice &out, QTextStream &err, const THeadlessHooks &hooks,
                    const TSetupData &setup = SetupData);
