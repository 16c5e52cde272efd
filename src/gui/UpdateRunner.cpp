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
    };
    // The download handles the window's events itself between its reports.
    env.Progress = [&dialog](qint64 received, qint64 total) {
        return dialog ? dialog->ReportProgress(received, total) : false;
    };
    // Unpacking does not: its reports let the dialog repaint and its Cancel work.
    env.UnpackProgress = [&dialog](qint64 done, qint64 total) {
        const bool cancelled = dialog ? dialog->ReportUnpacking(done, total) : false;
        QApplication::processEvents();
        return cancelled;
    };
    env.StopWanted = stopWanted;
    CheckForUpdates(env);
}
