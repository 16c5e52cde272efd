#include "TFrmUpdater.h"

#include "Lang.h"
#include "TextUtils.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <limits>

TFrmUpdater::TFrmUpdater(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FrmUpdater"));
    setFixedSize(353, 132);
    setModal(false);
    setWindowTitle(LangMain(QStringLiteral("UpdaterTitle")));
    auto *bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::StyledPanel);
    bevel->setGeometry(8, 8, 337, 73);
    lblDownload = new QLabel(this);
    lblDownload->setObjectName(QStringLiteral("lblDownload"));
    lblDownload->setGeometry(20, 24, 313, 16);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setGeometry(20, 44, 313, 17);
    ProgressBar->setTextVisible(false);
    cmdCancel = new QPushButton(LangCommons(QStringLiteral("ButtonCancel")), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(139, 96, 75, 25);
    connect(cmdCancel, &QPushButton::clicked, this, [this] { m_cancelRequested = true; });
    cmdCancel->setFocus();
}

bool TFrmUpdater::ReportProgress(qint64 received, qint64 total)
{
    ShowStatus(QStringLiteral("UpdaterStatus"), received, total);
    return m_cancelRequested;
}

bool TFrmUpdater::ReportUnpacking(qint64 done, qint64 total)
{
    ShowStatus(QStringLiteral("UpdaterUnpackStatus"), done, total);
    return m_cancelRequested;
}

void TFrmUpdater::ShowStatus(const QString &key, qint64 done, qint64 total)
{
    lblDownload->setText(FormatArgs(LangMain(key), qlonglong(done / 1024), qlonglong(total / 1024)));
    // The bar counts in KiB beyond what an int holds.
    const bool large = total > std::numeric_limits<int>::max();
    ProgressBar->setMaximum(int(large ? total / 1024 : total));
    ProgressBar->setValue(int(large ? done / 1024 : done));
}
