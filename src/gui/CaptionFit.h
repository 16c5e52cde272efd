#pragma once
// Finds texts that do not fit their controls as the fonts in use draw them:
// labels, buttons, options, group titles, tab titles and table headings of a
// window and everything visible inside it.

#include <QList>
#include <QString>

class QWidget;

struct TClippedCaption {
    QString Control; // object name (or class) of the control
    QString Text;
    int Needed = 0;    // pixels the text needs
    int Available = 0; // pixels the control gives it
};

QList<TClippedCaption> FindClippedCaptions(const QWidget *window);

/// One line per clipped text: "window/control: "text" needs N px, has M".
QString DescribeClippedCaptions(const QWidget *window, const QList<TClippedCaption> &clipped);

/// When the environment sets VARNEX_REPORT_CLIPPED_TEXT, every window shown
/// reports its clipped texts on standard error (the desktop script reads them).
void InstallClippedCaptionReport();
