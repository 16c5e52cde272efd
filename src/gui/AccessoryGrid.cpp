#include "AccessoryGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

/// Draws the check cells flat; the other cells as plain wrapping text.
class TCheckCellDelegate : public QStyledItemDelegate {
public:
    explicit TCheckCellDelegate(TAccessoryGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (index.column() != 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        if (index.row() >= m_grid->EntryCount())
            return; // the empty row of a grid without entries has no box
        const QRect box = BoxRect(option.rect, m_grid->DefaultRowHeight());
        const QPalette &pal = option.palette;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(QPen(pal.color(QPalette::Text), 1));
        painter->setBrush(pal.color(QPalette::Base));
        painter->drawRect(box.adjusted(0, 0, -1, -1));
        if (index.data(kCheckedRole).toBool()) {
            // A tick mark inside the square.
            const QRectF in = QRectF(box).adjusted(3, 3, -3, -3);
            QPainterPath tick;
            tick.moveTo(in.left(), in.top() + in.height() * 0.55);
            tick.lineTo(in.left() + in.width() * 0.4, in.bottom());
            tick.lineTo(in.right(), in.top());
            painter->setRenderHint(QPainter::Antialiasing, true);
            painter->setBrush(Qt::NoBrush);
            painter->setPen(QPen(pal.color(QPalette::Text), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            painter->drawPath(tick);
        }
        painter->restore();
    }

    /// The square of the default row height, centred in the cell, shrunk by 2 pixels on each side.
    static QRect BoxRect(const QRect &cell, int side)
    {
        const int left = cell.left() + (cell.width() - side) / 2;
        const int top = cell.top() + (cell.height() - side) / 2;
        return QRect(left, top, side, side).adjusted(2, 2, -2, -2);
    }

private:
    TAccessoryGrid *m_grid;
};

QString GridText(QString text)
{
    // Line breaks of the descriptions may come as carriage returns.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

TAccessoryGrid::TAccessoryGrid(bool withQuantity, QWidget *parent)
    : QTableWidget(parent), m_withQuantity(withQuantity)
{
    setColumnCount(withQuantity ? 3 : 2);
    setItemDelegate(new TCheckCellDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setWordWrap(true);
    setTextElideMode(Qt::ElideNone);
    setShowGrid(true);
    setCornerButtonEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(22);

    QHeaderView *head = horizontalHeader();
    head->setVisible(withQuantity);
    head->setSectionsClickable(false);
    head->setHighlightSections(false);
    head->setSectionResizeMode(QHeaderView::Fixed);
    head->setMinimumSectionSize(1);
    head->setStretchLastSection(false);
    if (withQuantity) {
        setColumnWidth(0, 22);
        setColumnWidth(1, 250);
        setColumnWidth(2, 55);
        setHorizontalHeaderLabels({QString(), QString(), QString()});
    } else {
        setColumnWidth(0, 22);
        setColumnWidth(1, 321);
    }
    SetEntries({}, {});
}

void TAccessoryGrid::SetHeadings(const QString &description, const QString &quantity)
{
    if (!m_withQuantity)
        return;
    setHorizontalHeaderLabels({QString(), description, quantity});
}

void TAccessoryGrid::SetEntries(const QStringList &descriptions, const QVector<bool> &checked,
                                const QStringList &quantities)
{
    m_pressedCell = QPersistentModelIndex();
    m_entryCount = int(descriptions.size());
    // One row per entry, so that row and entry always agree, even for an
    // entry whose description is empty; one empty row when there is none.
    const int rows = qMax(1, m_entryCount);
    clearContents();
    setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            auto *item = new QTableWidgetItem();
            item->setFlags(Qt::ItemIsEnabled);
            if (c == 2)
                item->setTextAlignment(Qt::AlignCenter);
            else
                item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            setItem(r, c, item);
        }
        if (r < m_entryCount) {
            item(r, 1)->setText(GridText(descriptions.at(r)));
            item(r, 0)->setData(kCheckedRole, r < checked.size() && checked.at(r));
            if (m_withQuantity && r < quantities.size())
                item(r, 2)->setText(quantities.at(r));
        }
    }
    FitRows();
}

void TAccessoryGrid::SetChecked(const QVector<bool> &checked)
{
    for (int r = 0; r < m_entryCount; ++r)
        item(r, 0)->setData(kCheckedRole, r < checked.size() && checked.at(r));
    viewport()->update();
}

void TAccessoryGrid::SetQuantityText(int entry, const QString &text)
{
    if (m_withQuantity && entry >= 0 && entry < m_entryCount)
        item(entry, 2)->setText(text);
}

QString TAccessoryGrid::QuantityText(int entry) const
{
    if (!m_withQuantity || entry < 0 || entry >= m_entryCount)
        return QString();
    return item(entry, 2)->text();
}

QString TAccessoryGrid::DescriptionText(int entry) const
{
    if (entry < 0 || entry >= m_entryCount)
        return QString();
    return item(entry, 1)->text();
}

bool TAccessoryGrid::IsChecked(int entry) const
{
    if (entry < 0 || entry >= m_entryCount)
        return false;
    return item(entry, 0)->data(kCheckedRole).toBool();
}

int TAccessoryGrid::FittingWidth() const
{
    int width = 2 * frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
    for (int c = 0; c < columnCount(); ++c)
        width += columnWidth(c);
    return width;
}

int TAccessoryGrid::DefaultRowHeight() const { return verticalHeader()->defaultSectionSize(); }

QRect TAccessoryGrid::CheckBoxRect(int entry) const
{
    const QRect cell = visualRect(model()->index(entry, 0));
    return TCheckCellDelegate::BoxRect(cell, DefaultRowHeight());
}

QPoint TAccessoryGrid::CheckCellCentre(int entry) const
{
    return visualRect(model()->index(entry, 0)).center();
}

void TAccessoryGrid::FitRows()
{
    // Wrapped descriptions make a row taller (with a little air above and
    // below the text), never lower than the default.
    resizeRowsToContents();
    for (int r = 0; r < rowCount(); ++r)
        setRowHeight(r, r < m_entryCount ? qMax(DefaultRowHeight(), rowHeight(r) + 4) : DefaultRowHeight());
}

void TAccessoryGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressedCell = indexAt(event->position().toPoint());
    QTableWidget::mousePressEvent(event);
}

void TAccessoryGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a quick double click is a press like the first.
    if (event->button() == Qt::LeftButton)
        m_pressedCell = indexAt(event->position().toPoint());
    QTableWidget::mouseDoubleClickEvent(event);
}

void TAccessoryGrid::mouseReleaseEvent(QMouseEvent *event)
{
    QTableWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex released = indexAt(event->position().toPoint());
    const QModelIndex pressed = m_pressedCell;
    m_pressedCell = QPersistentModelIndex();
    if (!pressed.isValid() || released != pressed || released.column() != 0)
        return;
    if (released.row() < m_entryCount)
        emit EntryClicked(released.row());
}

void TAccessoryGrid::keyPressEvent(QKeyEvent *event)
{
    // The space bar ticks the entry of the current row, as a click on its box would.
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        const QModelIndex current = currentIndex();
        if (current.isValid() && current.row() < m_entryCount)
            emit EntryClicked(current.row());
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void TAccessoryGrid::resizeEvent(QResizeEvent *event)
{
    QTableWidget::resizeEvent(event);
    FitRows();
}
