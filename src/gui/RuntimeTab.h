#pragma once
// The results page's fourth tab: the runtime curves of the configuration on
// show (new batteries, and at end of life in the room it names), the
// engineering warnings and the table of its heat and efficiency figures.

#include "RuntimeCurve.h"

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
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
    /// Computes the curves and the figures of the records for the room and ageing
    /// of `env` and shows them, with `env` in the edits, in the active language.
    void ShowConfiguration(const TRequestParameters &req, const TResultParameters &res,
                           const TBatteryEnvironment &env = TBatteryEnvironment());
    const TBatteryEnvironment &Environment() const { return m_env; }
    /// Reads the two edits the program's way: a text that is no number, or a
    /// number out of range, gets its message and focus and changes nothing.
    /// Accepted values redraw the curves and are handed to EnvironmentChanged.
    bool ApplyInputs();
    std::function<void(const TBatteryEnvironment &)> EnvironmentChanged;

    QLabel *TemperatureLabel = nullptr;
    QLineEdit *TemperatureEdit = nullptr;
    QLabel *AgeingLabel = nullptr;
    QLineEdit *AgeingEdit = nullptr;
    QPushButton *ApplyButton = nullptr;
    TRuntimeChartView *Chart = nullptr;
    QLabel *Warnings = nullptr;
    QLabel *HeatTitle = nullptr;
    QTableWidget *HeatTable = nullptr;

private:
    void ShowCurves();

    TRequestParameters m_req{};
    TResultParameters m_res{};
    TBatteryEnvironment m_env;
};
