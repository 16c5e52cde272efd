#pragma once
// The results page's comparison tab: the main configuration and its
// alternatives side by side, with the commands that keep, remove, reorder,
// rename an alternative and make one the main configuration.

#include "Alternatives.h"

#include <QWidget>

#include <functional>

class QAction;
class QPushButton;
class QTableWidget;

class TComparisonTab : public QWidget {
public:
    explicit TComparisonTab(QWidget *parent = nullptr);

    /// Shows the comparison of the main configuration with `alternatives`, in the active language.
    void ShowComparison(const TComparison &comparison, const QVector<TAlternative> &alternatives);
    /// The button "Keep as alternative" triggers the window's command and follows its state.
    void SetKeepAction(QAction *keep);

    /// The alternative whose column is current, -1 for none.
    int SelectedAlternative() const;
    void SelectAlternative(int index);

    /// The alternatives as the commands left them (removed, moved, renamed).
    std::function<void(const QVector<TAlternative> &)> AlternativesChanged;
    /// "Use as main configuration" for the alternative at the index.
    std::function<void(int)> UseAsMain;
    /// Asks for an alternative's new label; false when the user cancels.
    /// Tests replace it; by default a text input box.
    std::function<bool(QString &label)> AskLabel;

private:
    void ApplyTexts();
    void UpdateButtons();
    void Remove();
    void Move(int step);
    void Rename();

    QTableWidget *m_grid = nullptr;
    QPushButton *m_keep = nullptr;
    QPushButton *m_left = nullptr;
    QPushButton *m_right = nullptr;
    QPushButton *m_rename = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_useAsMain = nullptr;
    QVector<TAlternative> m_alternatives;
};
