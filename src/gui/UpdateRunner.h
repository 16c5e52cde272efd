#pragma once
// The update check with its progress dialog: every download of the check's
// installation, and the unpacking of a program update, shows TFrmUpdater,
// whose Cancel (or a stop asked for by the owner) ends the step.

#include "UpdateInstall.h"
#include <functional>

class QWidget;

/// Runs the check of `env` with the dialog over `parent`; `stopWanted` is asked
/// throughout, also while the check file downloads.
void RunUpdateCheckWithProgress(TUpdateEnvironment env, QWidget *parent, const std::function<bool()> &stopWanted);
