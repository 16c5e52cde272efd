#include "ComparisonTab.h"

#include "Lang.h"
#include "ProgramFonts.h"
#include "ResultGrids.h"
#include "TextCodec.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The rows' labels are the row headings (always in sight); column 0 is the main configuration.
constexpr int kFirstAlternativeColumn = 1;

QString Text(const char *key) { return TrimBlanksAndControls(LangMain(QLatin1String(key))); }

} // namespace

TComparisonTab::TComparisonTab(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tabResultComparison"));
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(4);

    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("grdComparison"));
    m_grid->setFont(ProgramPixelFont(12));
    m_grid->horizontalHeader()->setFont(ProgramPixelFont(13, true));
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_grid->verticalHeader()->setFont(ProgramPixelFont(12, true));
    m_grid->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setDefaultSectionSize(22);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectColumns);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setWordWrap(false);
    MakeColumnsResizable(m_grid);
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this] { UpdateButtons(); });
    box->addWidget(m_grid, 1);

    // Two rows, so that the longest translations keep their whole captions:
    // keeping and choosing the main configuration, then the chosen column's commands.
    auto *offerRow = new QHBoxLayout;
    auto *columnRow = new QHBoxLayout;
    for (QHBoxLayout *row : {offerRow, columnRow})
        row->setContentsMargins(4, 0, 4, 0);
    auto button = [this](QHBoxLayout *row, QPushButton *&b, const char *name, const std::function<void()> &run) {
        b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        b->setFont(ProgramPixelFont(12));
        if (run)
            connect(b, &QPushButton::clicked, this, run);
        row->addWidget(b);
    };
    button(offerRow, m_keep, "btnKeepAlternative", {});
    button(offerRow, m_useAsMain, "btnAlternativeUseAsMain", [this] {
        if (UseAsMain && SelectedAlternative() >= 0)
            UseAsMain(SelectedAlternative());
    });
    offerRow->addStretch(1);
    button(columnRow, m_left, "btnAlternativeLeft", [this] { Move(-1); });
    button(columnRow, m_right, "btnAlternativeRight", [this] { Move(1); });
    button(columnRow, m_rename, "btnAlternativeRename", [this] { Rename(); });
    button(columnRow, m_remove, "btnAlternativeRemove", [this] { Remove(); });
    columnRow->addStretch(1);
    box->addLayout(offerRow);
    box->addLayout(columnRow);
    box->addSpacing(2);

    AskLabel = [this](QString &label) {
        bool ok = false;
        const QString text = QInputDialog::getText(this, Text("ComparisonRename").remove(QStringLiteral("...")),
                                                   Text("ComparisonRenamePrompt"), QLineEdit::Normal, label, &ok);
        if (ok)
            label = text;
        return ok;
    };
    ApplyTexts();
    UpdateButtons();
}

void TComparisonTab::SetKeepAction(QAction *keep)
{
    connect(m_keep, &QPushButton::clicked, keep, &QAction::trigger);
    auto sync = [this, keep] {
        m_keep->setText(keep->text().trimmed());
        m_keep->setEnabled(keep->isEnabled());
    };
    connect(keep, &QAction::changed, m_keep, sync);
    sync();
}

void TComparisonTab::ApplyTexts()
{
    m_left->setText(Text("ComparisonMoveLeft"));
    m_right->setText(Text("ComparisonMoveRight"));
    m_rename->setText(Text("ComparisonRename"));
    m_remove->setText(Text("ComparisonRemove"));
    m_useAsMain->setText(Text("ComparisonUseAsMain"));
}

void TComparisonTab::ShowComparison(const TComparison &comparison, const QVector<TAlternative> &alternatives)
{
    const int selected = SelectedAlternative();
    m_alternatives = alternatives;
    ApplyTexts();
    m_grid->clear();
    m_grid->setColumnCount(std::max(0, int(comparison.Headings.size()) - 1));
    m_grid->setHorizontalHeaderLabels(comparison.Headings.mid(1));
    m_grid->setRowCount(int(comparison.Rows.size()));
    QStringList rowLabels;
    for (int r = 0; r < comparison.Rows.size(); ++r) {
        rowLabels << comparison.Rows[r].value(0);
        for (int c = 1; c < comparison.Rows[r].size(); ++c) {
            auto *item = new QTableWidgetItem(comparison.Rows[r][c]);
            item->setToolTip(item->text());
            m_grid->setItem(r, c - 1, item);
        }
    }
    m_grid->setVerticalHeaderLabels(rowLabels);
    m_grid->resizeColumnsToContents();
    // A long cell shows "…" and its whole text as its tool tip; a heading is never cut.
    for (int c = 0; c < m_grid->columnCount(); ++c)
        m_grid->setColumnWidth(c, std::max(m_grid->horizontalHeader()->sectionSizeHint(c),
                                           std::min(m_grid->columnWidth(c) + 8, 130)));
    SelectAlternative(std::min(selected, int(alternatives.size()) - 1));
    UpdateButtons();
}

int TComparisonTab::SelectedAlternative() const
{
    const int index = m_grid->currentColumn() - kFirstAlternativeColumn;
    return index >= 0 && index < m_alternatives.size() ? index : -1;
}

void TComparisonTab::SelectAlternative(int index)
{
    if (index < 0 || index >= m_alternatives.size() || m_grid->rowCount() == 0)
        m_grid->setCurrentCell(-1, -1);
    else
        m_grid->setCurrentCell(0, index + kFirstAlternativeColumn);
    UpdateButtons();
}

void TComparisonTab::UpdateButtons()
{
    const int index = SelectedAlternative();
    m_left->setEnabled(index > 0);
    m_right->setEnabled(index >= 0 && index + 1 < m_alternatives.size());
    for (QPushButton *b : {m_rename, m_remove, m_useAsMain})
        b->setEnabled(index >= 0);
}

void TComparisonTab::Remove()
{
    const int index = SelectedAlternative();
    if (index < 0 || !AlternativesChanged)
        return;
    QVector<TAlternative> alternatives = m_alternatives;
    alternatives.removeAt(index);
    AlternativesChanged(alternatives);
    SelectAlternative(std::min(index, int(m_alternatives.size()) - 1));
}

void TComparisonTab::Move(int step)
{
    const int index = SelectedAlternative();
    const int to = index + step;
    if (index < 0 || to < 0 || to >= m_alternatives.size() || !AlternativesChanged)
        return;
    QVector<TAlternative> alternatives = m_alternatives;
    alternatives.move(index, to);
    AlternativesChanged(alternatives);
    SelectAlternative(to);
}

void TComparisonTab::Rename()
{
    const int index = SelectedAlternative();
    if (index < 0 || !AlternativesChanged || !AskLabel)
        return;
    QString label = m_alternatives[index].Label;
    // A label that is blank after trimming would leave the column without a name.
    if (!AskLabel(label) || label.trimmed().isEmpty())
        return;
    QVector<TAlternative> alternatives = m_alternatives;
    alternatives[index].Label = TrimBlanksAndControls(label);
    AlternativesChanged(alternatives);
    SelectAlternative(index);
}
