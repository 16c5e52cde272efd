#include "UpdateRunner.h"

#include "TFrmUpdater.h"

#include <QApplication>

#include <memory>

void RunUpdateCheckWithProgress(TUpdateEnvironment env, QWidget *parent, const std::function<bool()> &stopWanted)
{
    std::unique_ptr<TFrmUpdater> dialog;
    env.ShowProgress = [parent, &dialog](bool show) {
        if (show) {
            dialog = std::make_unique<TFrmUpdater>(parent);
            dialog->show();
        } else {
            dialog.reset();
        }
        QApplication::processEvents();
    };
    env.Progress = [&dialog, &stopWanted](qint64 received, qint64 total) {
        const bool cancelled = dialog ? dialog->ReportProgress(received, total) : false;
        return cancelled || (stopWanted && stopWanted());
    };
    CheckForUpdates(env);
}
