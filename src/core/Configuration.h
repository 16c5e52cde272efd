#pragma once
// Configuration files ("*.vxcfg"): the sizing request as VarnexCfg --size reads
// it, with the version of the program that saved it and the date. Opening one
// replays the request through the wizard's pages, so every figure comes from
// the catalogue and price list of the program that opens it.

#include <QDate>
#include <QJsonObject>
#include <QString>
#include <QStringList>

constexpr const char *kConfigurationExtension = ".vxcfg";
constexpr const char *kConfigurationVersionKey = "programVersion";
constexpr const char *kConfigurationDateKey = "savedOn";
/// A configuration is a few hundred bytes; anything far larger is not one.
constexpr qint64 kMaxConfigurationBytes = 1 << 20;

/// The file's text: version and date first, then the request keys in the order
/// the wizard reads them, one to a line.
QByteArray ConfigurationText(const QJsonObject &request, const QString &programVersion, const QDate &savedOn);

/// An object with a program version: a configuration, not a bare request.
bool IsConfiguration(const QJsonObject &object);

/// A configuration's keys taken apart.
struct TConfigurationKeys {
    QJsonObject Request;     // the request keys this program knows
    QString ProgramVersion;  // as saved
    QString SavedOn;         // as saved
    QStringList IgnoredKeys; // keys this program does not know, in the file's order
};
TConfigurationKeys SplitConfiguration(const QJsonObject &object);

enum class TConfigurationFault {
    None,
    Unreadable,       // missing, a folder or a device, or a read error
    NotConfiguration, // empty, not JSON, or JSON without a program version
};

struct TOpenedConfiguration {
    TConfigurationFault Fault = TConfigurationFault::None;
    QString Detail; // the reason, in English, for a fault
    TConfigurationKeys Keys;
    /// Saved by a program whose version is above `programVersion`.
    bool Newer = false;
};
TOpenedConfiguration ReadConfigurationFile(const QString &fileName, const QString &programVersion);
