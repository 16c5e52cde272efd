#pragma once
#include <QImage>
#include <QWidget>

/// The paint box of the results page (`paintGlobalLayout`): paints the current
/// sizing and captures the drawn area into LayoutBitmap after every paint.
/// The drawing is laid out for the 605-pixel box whatever the widget's width.
class TLayoutPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TLayoutPaintBox(QWidget *parent = nullptr);
    const QImage &LayoutBitmap() const { return m_layoutBitmap; }
    bool HasLayoutBitmap() const { return !m_layoutBitmap.isNull(); }
    void FreeLayoutBitmap() { m_layoutBitmap = QImage(); }
    /// Captures the drawing of the current records into LayoutBitmap without a
    /// paint event (for a hidden tab, before a copy or a save).
    void CaptureLayout();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_layoutBitmap;
};
