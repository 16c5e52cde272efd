#pragma once
// The progress dialog of an update download: status text, progress bar and
// Cancel; not modal, above the other windows.

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class TFrmUpdater : public QDialog {
    Q_OBJECT
public:
    explicit TFrmUpdater(QWidget *parent = nullptr);
    bool CancelRequested() const { return m_cancelRequested; }
    /// "UpdaterStatus" with the KiB received and in all, and the bar; true when cancelled.
    bool ReportProgress(qint64 received, qint64 total);
    /// "UpdaterUnpackStatus" with the KiB unpacked and in all, and the bar; true when cancelled.
    bool ReportUnpacking(qint64 done, qint64 total);

    QLabel *lblDownload = nullptr;
    QProgressBar *ProgressBar = nullptr;
    QPushButton *cmdCancel = nullptr;

public slots:
    /// Escape asks the download to stop, as Cancel does; the dialog closes when it has.
    void reject() override { m_cancelRequested = true; }

private:
    void ShowStatus(const QString &key, qint64 done, qint64 total);

    bool m_cancelRequested = false;
};
