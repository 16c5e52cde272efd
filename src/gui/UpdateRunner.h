#pragma once
// The update check with its progress dialog: every download of the check's
// installation shows TFrmUpdater, whose Cancel (or a stop asked for by the
// owner) ends the download.

#include "UpdateInstall.h"
#include <functional>

class QWidget;

/// Runs the check of `env` with the dialog over `parent`; `stopWanted` is asked at every progress report.
void RunUpdateCheckWithProgress(TUpdateEnvironment env, QWidget *parent, const std::function<bool()> &stopWanted);
