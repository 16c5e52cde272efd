#pragma once
#include "WizardCore.h"
#include <QDialog>

/// The sizing wizard. Works on the program-wide RequestParameters and
/// ResultParameters; exec() returns Accepted only through Finish.
class TFrmWizard : public QDialog {
    Q_OBJECT
public:
    explicit TFrmWizard(TWizardMode mode, QWidget *parent = nullptr);
    ~TFrmWizard() override;
};
