#pragma once
// The setup dialog: the update check at start-up, the program's language,
// chosen among the language files of the program folder, and the offers' tab
// (the sales engineer's contact and the reference pattern, stored by OK).

#include "Lang.h"
#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;
class QTabWidget;
class TOfferSetupTab;

class TFrmSetup : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSetup(QWidget *parent = nullptr);

    bool CheckUpdates() const;
    /// The file of the language chosen; the active one when nothing was chosen.
    QString ChosenLanguageFile() const { return m_chosenFile; }
    /// Names and files offered, in the order of the list (tests).
    const QList<TLanguageEntry> &Languages() const { return m_languages; }

    QTabWidget *PageControl = nullptr;
    QWidget *TabUpdates = nullptr;
    QWidget *TabLanguages = nullptr;
    TOfferSetupTab *TabOffer = nullptr;
    QCheckBox *chkCheckUpdates = nullptr;
    QComboBox *cmbLanguage = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void LanguageList();
    void cmdOkClick();

    QList<TLanguageEntry> m_languages;
    QString m_chosenFile;
};
