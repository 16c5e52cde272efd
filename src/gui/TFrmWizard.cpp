#include "TFrmWizard.h"

TFrmWizard::TFrmWizard(TWizardMode, QWidget *parent) : QDialog(parent) {}
TFrmWizard::~TFrmWizard() = default;
