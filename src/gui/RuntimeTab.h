#pragma once
// The results page's fourth tab: the runtime curve of the configuration on
// show and the table of its heat and efficiency figures.

#include "RuntimeCurve.h"

#include <QWidget>

class QLabel;
class QTableWidget;

/// Paints the runtime curve it was given over its whole area.
class TRuntimeChartView : public QWidget {
public:
    using QWidget::QWidget;
    void SetCurve(const TRuntimeCurve &curve, const TRuntimeChartTexts &texts);
    const TRuntimeCurve &Curve() const { return m_curve; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TRuntimeCurve m_curve;
    TRuntimeChartTexts m_texts;
};

class TRuntimeTab : public QWidget {
public:
    explicit TRuntimeTab(QWidget *parent = nullptr);
    /// Computes the curve and the figures of the records and shows them in the active language.
    void ShowConfiguration(const TRequestParameters &req, const TResultParameters &res);

    TRuntimeChartView *Chart = nullptr;
    QLabel *HeatTitle = nullptr;
    QTableWidget *HeatTable = nullptr;
};
