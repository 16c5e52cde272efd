#include "FirstPaint.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// A window the window system never shows (minimised at start) does not hold the work back longer.
constexpr int kLongestWaitMs = 5000;

/// Watches the window's first expose: the widgets paint while it is handled,
/// so the first idle moment after it comes after the first paint.
class TFirstPaintWaiter : public QObject {
public:
    TFirstPaintWaiter(QWidget *window, std::function<void()> work) : QObject(window), m_work(std::move(work))
    {
        window->windowHandle()->installEventFilter(this);
        QTimer::singleShot(kLongestWaitMs, this, [this] { Done(); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed())
            Done();
        return false;
    }

private:
    void Done()
    {
        if (m_done)
            return;
        m_done = true;
        // After the expose has been handled (and the window painted), not inside it.
        QTimer::singleShot(0, parent(), m_work);
        deleteLater();
    }

    std::function<void()> m_work;
    bool m_done = false;
};

} // namespace

void AtFirstIdleAfterPaint(QWidget *window, std::function<void()> work)
{
    QPointer<QWidget> guard(window);
    QTimer::singleShot(0, window, [guard, work = std::move(work)] {
        QWidget *w = guard.data();
        QWindow *handle = w->windowHandle();
        if (!w->isVisible() || handle == nullptr || handle->isExposed())
            work();
        else
            new TFirstPaintWaiter(w, work);
    });
}
