#include "CaptionFit.h"
#include "NavButton.h"
#include "TextCodec.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabBar>
#include <QTableWidget>
#include <QTextDocument>
#include <QTimer>

#include <cstdio>

namespace {

QString NameOf(const QWidget *w)
{
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

void Check(QList<TClippedCaption> &out, const QWidget *w, const QString &text, int needed, int available)
{
    if (!text.trimmed().isEmpty() && needed > available)
        out.append({NameOf(w), text, needed, available});
}

void CheckLabel(QList<TClippedCaption> &out, const QLabel *label)
{
    const QString text = label->text();
    if (text.isEmpty() || Qt::mightBeRichText(text) || !label->pixmap().isNull())
        return;
    const QRect room =
        label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
    const QFontMetrics fm(label->font());
    const int flags = label->wordWrap() ? Qt::TextWordWrap : 0;
    const QRect needed = fm.boundingRect(QRect(0, 0, label->wordWrap() ? room.width() : 100000, 100000),
                                         flags | Qt::TextShowMnemonic, text);
    Check(out, label, text, needed.width(), room.width());
    Check(out, label, text, needed.height(), room.height());
}

void CheckButton(QList<TClippedCaption> &out, const QAbstractButton *button)
{
    const QString text = button->text();
    const QFontMetrics fm(button->font());
    if (const auto *nav = dynamic_cast<const TNavButton *>(button)) {
        const QRect room = nav->CaptionRect();
        const QRect needed = fm.boundingRect(QRect(0, 0, room.width(), 100000), TNavButton::kTextFlags, text);
        Check(out, button, text, needed.width(), room.width());
        Check(out, button, text, needed.height(), room.height());
        // A single word wider than the button is cut, wrapped or not.
        for (const QString &word : text.split(u' ', Qt::SkipEmptyParts))
            Check(out, button, text, fm.horizontalAdvance(WithoutMnemonic(word)), room.width());
        return;
    }
    if (qobject_cast<const QPushButton *>(button)) {
        // The text between the style's margins and frame (its size hint has a minimum width of its own).
        const QStyle *style = button->style();
        const int margins = 2 * (style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) / 2 +
                                 style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
        Check(out, button, text, fm.horizontalAdvance(WithoutMnemonic(text)) + margins, button->width());
    } else if (qobject_cast<const QRadioButton *>(button) || qobject_cast<const QCheckBox *>(button)) {
        // The style's own measure of the indicator, spacing and text.
        Check(out, button, text, button->sizeHint().width(), button->width());
    }
}

void CheckGroup(QList<TClippedCaption> &out, const QGroupBox *group)
{
    const QFontMetrics fm(group->font());
    // The title's text plus the style's margins on either side.
    Check(out, group, group->title(), fm.horizontalAdvance(group->title()) + 2 * 8, group->width());
}

void CheckTabs(QList<TClippedCaption> &out, const QTabBar *tabs)
{
    const QFontMetrics fm(tabs->font());
    for (int i = 0; i < tabs->count(); ++i)
        Check(out, tabs, tabs->tabText(i), fm.horizontalAdvance(WithoutMnemonic(tabs->tabText(i))) + 8,
              tabs->tabRect(i).width());
}

void CheckHeader(QList<TClippedCaption> &out, const QHeaderView *header, const QAbstractItemModel *model)
{
    if (!model || header->orientation() != Qt::Horizontal || header->isHidden())
        return;
    const QFont font = header->font();
    for (int c = 0; c < model->columnCount(); ++c) {
        if (header->isSectionHidden(c))
            continue;
        const QString text = model->headerData(c, Qt::Horizontal).toString();
        const QVariant cellFont = model->headerData(c, Qt::Horizontal, Qt::FontRole);
        const QFontMetrics used(cellFont.isValid() ? cellFont.value<QFont>() : font);
        // The style's margins around a section's text.
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        Check(out, header, text, used.horizontalAdvance(text.trimmed()) + 2 * margin, header->sectionSize(c));
    }
}

} // namespace

QList<TClippedCaption> FindClippedCaptions(const QWidget *window)
{
    QList<TClippedCaption> out;
    const QList<QWidget *> children = window->findChildren<QWidget *>();
    for (const QWidget *w : children) {
        if (!w->isVisibleTo(window))
            continue;
        if (const auto *label = qobject_cast<const QLabel *>(w))
            CheckLabel(out, label);
        else if (const auto *button = qobject_cast<const QAbstractButton *>(w))
            CheckButton(out, button);
        else if (const auto *group = qobject_cast<const QGroupBox *>(w))
            CheckGroup(out, group);
        else if (const auto *tabs = qobject_cast<const QTabBar *>(w))
            CheckTabs(out, tabs);
        else if (const auto *table = qobject_cast<const QTableView *>(w))
            CheckHeader(out, table->horizontalHeader(), table->model());
    }
    return out;
}

QString DescribeClippedCaptions(const QWidget *window, const QList<TClippedCaption> &clipped)
{
    QString text;
    for (const TClippedCaption &c : clipped)
        text += QStringLiteral("clipped text: %1/%2: \"%3\" needs %4 px, has %5\n")
                    .arg(NameOf(window), c.Control, c.Text)
                    .arg(c.Needed)
                    .arg(c.Available);
    return text;
}

namespace {

class TClippedCaptionReport : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *w = qobject_cast<QWidget *>(watched);
        if (w && w->isWindow() &&
            (event->type() == QEvent::Show || event->type() == QEvent::LanguageChange ||
             event->type() == QEvent::WindowActivate)) {
            // After the window has laid itself out and filled its texts.
            QTimer::singleShot(200, w, [w] {
                const QString report = DescribeClippedCaptions(w, FindClippedCaptions(w));
                if (!report.isEmpty())
                    std::fprintf(stderr, "%s", qPrintable(report));
            });
        }
        return false;
    }
};

} // namespace

void InstallClippedCaptionReport()
{
    if (qEnvironmentVariableIsEmpty("VARNEX_REPORT_CLIPPED_TEXT"))
        return;
    qApp->installEventFilter(new TClippedCaptionReport(qApp));
}
