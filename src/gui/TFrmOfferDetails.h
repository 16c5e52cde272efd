#pragma once
// The dialog "Offer details…": customer, project or site, reference, date,
// validity in days (with the day the offer ends), discount in percent and notes
// of the configuration on show. OK takes the details only when every field is
// right; otherwise an error box says what is wrong and nothing changes.

#include "OfferDetails.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

class TFrmOfferDetails : public QDialog {
    Q_OBJECT
public:
    explicit TFrmOfferDetails(const TOfferDetails &details, QWidget *parent = nullptr);

    /// The details as the fields hold them; false (after the error box) when a field is wrong.
    bool ReadFields(TOfferDetails &details) const;
    TOfferDetails Details() const { return m_details; }

    /// Shows the dialog for `details`; true, with `details` replaced, when OK took them.
    static bool Edit(TOfferDetails &details, QWidget *parent);

    void accept() override;

    QLineEdit *edtCustomer = nullptr;
    QLineEdit *edtProject = nullptr;
    QLineEdit *edtReference = nullptr;
    QLineEdit *edtDate = nullptr; // YYYY-MM-DD
    QSpinBox *edtValidDays = nullptr;
    QLabel *lblValidUntil = nullptr;
    QLineEdit *edtDiscount = nullptr;
    QPlainTextEdit *memNotes = nullptr;

private:
    void ShowValidUntil();

    TOfferDetails m_details;
};
