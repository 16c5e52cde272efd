#pragma once
// Waits for the next modal message box, notes what it shows and lets a test
// close it as a user would (header only: the gui tests link the windows).

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>

struct TSeenBox {
    bool Seen = false;
    QString Caption;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QString Text;
    Qt::TextFormat Format = Qt::AutoText;
    QStringList Buttons; // sorted
    QPoint Centre;
};

class TBoxWatcher : public QObject {
public:
    explicit TBoxWatcher(std::function<void(QMessageBox *)> act) : m_act(std::move(act))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { Poll(); });
        m_timer.start(10);
    }
    TSeenBox Seen;

private:
    void Poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        m_timer.stop();
        Seen.Seen = true;
        Seen.Caption = box->windowTitle();
        Seen.Icon = box->icon();
        Seen.Text = box->text();
        Seen.Format = box->textFormat();
        for (QAbstractButton *button : box->buttons())
            Seen.Buttons << button->text();
        Seen.Buttons.sort();
        Seen.Centre = box->frameGeometry().center();
        m_act(box);
    }
    QTimer m_timer;
    std::function<void(QMessageBox *)> m_act;
};

inline void PressOk(QMessageBox *box)
{
    box->button(QMessageBox::Ok)->click();
}
