#pragma once
// The about dialog: the vendor's logo, publisher, product, full version, rights
// notice, web and mail links, and the legal notes with the price list's lines.
// Typing the hidden word shows the credits.

#include <QDialog>

class QLabel;
class QPushButton;

class TFrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAbout(QWidget *parent = nullptr);

    /// The five-letter word, in upper case, and the credits it shows.
    static const char *const kWord;
    static const char *const kCredits;
    /// The letters typed so far, in upper case.
    QString TypedWord() const { return m_typed; }
    void OpenVendorWebLink();

    QLabel *imgLogoVendor = nullptr;
    QLabel *lblPublisher = nullptr;
    QLabel *lblProduct = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblRights = nullptr;
    QLabel *lblWebAddress = nullptr;
    QLabel *lblMailAddress = nullptr;
    QLabel *lblNoteTitle = nullptr;
    QLabel *lblNote = nullptr;
    QPushButton *btnOk = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *AddLabel(const QString &name, int x, int y, int pointSize, bool bold);
    void SetVendorLabel(QLabel *label, int32_t entry);
    /// The legal notes as high as their lines need, the line under them and OK.
    void BuildNotesAndButton();
    /// One typed character (the text of a key press).
    void TypeCharacter(const QString &text);

    QString m_typed;
    /// The key press already counted while it travels from the focused control to the dialog.
    const QEvent *m_countedPress = nullptr;
};
