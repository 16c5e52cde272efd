#pragma once
// Headless sizing: VarnexCfg --size FILE replays the wizard's pages for one
// request object (or an array of them) read as JSON and prints the result as
// JSON. No window and no message box.

#include "Globals.h"
#include <QJsonObject>
#include <QString>
#include <functional>

class QTextStream;

struct THeadlessHooks {
    /// Adds keys computed outside the core (the layout drawing) to a finished result.
    std::function<void(const TRequestParameters &, TResultParameters &, QJsonObject &)> ExtendResult;
};

/// Sizes one request object; the returned object holds ok, error, errorPage, request, result, ...
/// Each call starts from zero-filled records.
QJsonObject SizeRequestJson(const QJsonObject &request, const THeadlessHooks &hooks,
                            TRequestParameters *finalRequest = nullptr, TResultParameters *finalResult = nullptr);

/// Reads the file, prints the result (object or array) on `out`; messages on `err`.
/// Returns the process exit status: 0, or 2 for an unreadable file or malformed JSON.
int RunHeadlessSize(const QString &fileName, QTextStream &out, QTextStream &err, const THeadlessHooks &hooks);
