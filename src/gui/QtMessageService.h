#pragma once
// The four message boxes as real windows: standard icon, the kind's caption,
// OK or Yes/No, centred on the screen.

#include "Messages.h"
#include <QMessageBox>

class TQtMessageService : public IMessageService {
public:
    void ShowError(const QString &text) override;
    void ShowWarning(const QString &text) override;
    void ShowInfo(const QString &text) override;
    /// Escape or the window's close button count as No.
    bool AskYesNo(const QString &text) override;
    /// Save, Discard and Cancel; Escape or the window's close button count as Cancel.
    TSaveAnswer AskSaveChanges(const QString &text) override;

    static QString CaptionOf(QMessageBox::Icon icon);

private:
    static QMessageBox::StandardButton Run(QMessageBox::Icon icon, const QString &text,
                                           QMessageBox::StandardButtons buttons);
};
