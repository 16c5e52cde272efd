#pragma once
// Helpers of the main-window tests (header only: the gui tests link the windows).

#include "TFrmVarnexCfgMain.h"
#include "Version.h"

#include <QString>
#include <QStringList>

/// "major.minor" as the window caption shows it.
inline QString ProgramVersion() { return QStringLiteral("%1.%2").arg(VX_VERSION_MAJOR).arg(VX_VERSION_MINOR); }

/// Start-up options of a program file "VarnexCfg" in `programPath`.
inline TStartupOptions OptionsFor(const QString &programPath, const QStringList &arguments = {})
{
    TStartupOptions options;
    options.ProgramFileName = programPath + QStringLiteral("VarnexCfg");
    options.Arguments = arguments;
    return options;
}
