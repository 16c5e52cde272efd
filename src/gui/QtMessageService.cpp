#include "QtMessageService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

namespace {

/// A message box that places itself in the middle of the screen rather than
/// over whichever window happens to be active.
class TCentredMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        QScreen *screen = QGuiApplication::primaryScreen();
        if (screen == nullptr)
            return;
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
};

} // namespace

QString TQtMessageService::CaptionOf(QMessageBox::Icon icon)
{
    switch (icon) {
    case QMessageBox::Critical:
        return QStringLiteral("Error");
    case QMessageBox::Warning:
        return QStringLiteral("Warning");
    case QMessageBox::Question:
        return QStringLiteral("Confirm");
    default:
        return QStringLiteral("Information");
    }
}

QMessageBox::StandardButton TQtMessageService::Run(QMessageBox::Icon icon, const QString &text,
                                                   QMessageBox::StandardButtons buttons)
{
    TCentredMessageBox box(icon, CaptionOf(icon), text, buttons);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    // The window system's English button captions, whatever language Qt's own dialogs speak.
    static const struct {
        QMessageBox::StandardButton Button;
        const char *Caption;
    } kCaptions[] = {{QMessageBox::Ok, "OK"},         {QMessageBox::Yes, "&Yes"},         {QMessageBox::No, "&No"},
                     {QMessageBox::Save, "&Save"}, {QMessageBox::Discard, "&Discard"}, {QMessageBox::Cancel, "Cancel"}};
    for (const auto &caption : kCaptions)
        if (QAbstractButton *button = box.button(caption.Button))
            button->setText(QString::fromLatin1(caption.Caption));
    if (buttons.testFlag(QMessageBox::No)) {
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    }
    if (buttons.testFlag(QMessageBox::Cancel)) {
        box.setDefaultButton(QMessageBox::Save);
        box.setEscapeButton(QMessageBox::Cancel);
    }
    const int answer = box.exec();
    return static_cast<QMessageBox::StandardButton>(answer);
}

void TQtMessageService::ShowError(const QString &text)
{
    QApplication::beep();
    Run(QMessageBox::Critical, text, QMessageBox::Ok);
}

void TQtMessageService::ShowWarning(const QString &text)
{
    Run(QMessageBox::Warning, text, QMessageBox::Ok);
}

void TQtMessageService::ShowInfo(const QString &text)
{
    Run(QMessageBox::Information, text, QMessageBox::Ok);
}

bool TQtMessageService::AskYesNo(const QString &text)
{
    return Run(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

TSaveAnswer TQtMessageService::AskSaveChanges(const QString &text)
{
    switch (Run(QMessageBox::Warning, text, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel)) {
    case QMessageBox::Save:
        return TSaveAnswer::Save;
    case QMessageBox::Discard:
        return TSaveAnswer::Discard;
    default:
        return TSaveAnswer::Cancel;
    }
}
