#include "Configuration.h"

#include "JsonStream.h"
#include "RequestKeys.h"
#include "SafeFile.h"
#include "UpdateCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>

namespace {

bool ValidDateText(const QString &text) { return QDate::fromString(text, Qt::ISODate).isValid(); }

} // namespace

QByteArray ConfigurationText(const QJsonObject &request, const QString &programVersion, const QDate &savedOn)
{
    QByteArray bytes;
    {
        TJsonText json(bytes);
        json.BeginObject();
        json.Member(kConfigurationVersionKey, programVersion);
        json.Member(kConfigurationDateKey, savedOn.toString(Qt::ISODate));
        for (const TRequestKey &key : kRequestKeys) {
            const QJsonValue value = request.value(QLatin1String(key.Name));
            if (value.isUndefined())
                continue;
            json.Key(key.Name);
            json.Json(value);
        }
        json.EndObject();
    }
    if (!bytes.endsWith('\n'))
        bytes.append('\n');
    return bytes;
}

bool IsConfiguration(const QJsonObject &object)
{
    return object.value(QLatin1String(kConfigurationVersionKey)).isString();
}

TConfigurationKeys SplitConfiguration(const QJsonObject &object)
{
    TConfigurationKeys keys;
    keys.ProgramVersion = object.value(QLatin1String(kConfigurationVersionKey)).toString();
    keys.SavedOn = object.value(QLatin1String(kConfigurationDateKey)).toString();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() == QLatin1String(kConfigurationVersionKey) || it.key() == QLatin1String(kConfigurationDateKey))
            continue;
        if (RequestKeyPage(it.key()) == kUnknownRequestKey)
            keys.IgnoredKeys << it.key();
        else
            keys.Request.insert(it.key(), it.value());
    }
    // A date that is no date is something this program cannot read either.
    if (object.contains(QLatin1String(kConfigurationDateKey)) && !ValidDateText(keys.SavedOn))
        keys.IgnoredKeys << QLatin1String(kConfigurationDateKey);
    return keys;
}

TOpenedConfiguration ReadConfigurationFile(const QString &fileName, const QString &programVersion)
{
    TOpenedConfiguration opened;
    auto fault = [&](TConfigurationFault kind, const QString &detail) {
        opened.Fault = kind;
        opened.Detail = detail;
        return opened;
    };
    // Only a regular file: a pipe or a device would block or never end.
    if (!QFileInfo(fileName).isFile())
        return fault(TConfigurationFault::Unreadable, QStringLiteral("not a regular file"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fault(TConfigurationFault::Unreadable, file.errorString());
    QByteArray bytes;
    if (!ReadAtMost(file, kMaxConfigurationBytes, bytes))
        return fault(file.error() != QFileDevice::NoError ? TConfigurationFault::Unreadable
                                                         : TConfigurationFault::NotConfiguration,
                     file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("too large"));
    if (bytes.trimmed().isEmpty())
        return fault(TConfigurationFault::NotConfiguration, QStringLiteral("empty"));
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return fault(TConfigurationFault::NotConfiguration,
                     QStringLiteral("malformed JSON at offset %1: %2").arg(error.offset).arg(error.errorString()));
    if (!document.isObject() || !IsConfiguration(document.object()))
        return fault(TConfigurationFault::NotConfiguration, QStringLiteral("no program version"));
    opened.Keys = SplitConfiguration(document.object());
    opened.Newer = IsNewerProgram(programVersion, opened.Keys.ProgramVersion);
    return opened;
}
