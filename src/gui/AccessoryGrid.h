#pragma once
// The owner-drawn tick grids of the wizard's accessories and contracts pages:
// a flat check box in column 0, wrapping descriptions, and a tick that counts
// only when the primary button goes down and up on the same check cell.

#include <QModelIndex>
#include <QStringList>
#include <QTableWidget>
#include <QVector>

class TAccessoryGrid : public QTableWidget {
    Q_OBJECT
public:
    /// withQuantity: three columns (22, 250, 55) under a heading row;
    /// otherwise two columns (22, 321) without heading.
    explicit TAccessoryGrid(bool withQuantity, QWidget *parent = nullptr);

    /// Heading texts of the description and quantity columns.
    void SetHeadings(const QString &description, const QString &quantity);
    /// One row per entry (at least one row, empty when there is no entry).
    void SetEntries(const QStringList &descriptions, const QVector<bool> &checked,
                    const QStringList &quantities = {});
    void SetChecked(const QVector<bool> &checked);
    void SetQuantityText(int entry, const QString &text);
    QString QuantityText(int entry) const;
    QString DescriptionText(int entry) const;
    bool IsChecked(int entry) const;
    int EntryCount() const { return m_entryCount; }

    /// Width that shows the columns and the vertical scroll bar without a gap.
    int FittingWidth() const;
    /// Height of the check box square before it is shrunk: the default row height.
    int DefaultRowHeight() const;
    /// The rectangle the check box of an entry row is drawn in (viewport coordinates).
    QRect CheckBoxRect(int entry) const;
    /// The check cell's centre (viewport coordinates), where a click ticks the entry.
    QPoint CheckCellCentre(int entry) const;

signals:
    /// A completed click (or the space key) on the check cell of entry `entry`.
    void EntryClicked(int entry);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void FitRows();

    bool m_withQuantity;
    int m_entryCount = 0;
    QPersistentModelIndex m_pressedCell; // the cell under the pressed primary button
};

/// Role of column 0 that holds an entry's tick.
constexpr int kCheckedRole = Qt::UserRole + 1;
