#pragma once
// The setup dialog's tab of the offers: the sales engineer's name, phone,
// e-mail and company, shown on every offer, and the pattern the references of
// new configurations are made from.

#include <QWidget>

class QLabel;
class QLineEdit;

class TOfferSetupTab : public QWidget {
    Q_OBJECT
public:
    /// The fields as the settings file holds them.
    explicit TOfferSetupTab(const QString &iniFile, QWidget *parent = nullptr);

    /// Writes the fields to the settings file. A pattern without exactly one
    /// counter is refused with an error box and nothing is written: false.
    bool Store(const QString &iniFile);

    QLineEdit *edtSalesName = nullptr;
    QLineEdit *edtSalesPhone = nullptr;
    QLineEdit *edtSalesEmail = nullptr;
    QLineEdit *edtSalesCompany = nullptr;
    QLineEdit *edtReferencePattern = nullptr;
    QLabel *lblReferencePatternHint = nullptr;
};
