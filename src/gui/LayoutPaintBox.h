#pragma once
#include <QImage>
#include <QWidget>

/// The paint box of the results page (`paintGlobalLayout`): paints the current
/// sizing and captures the drawn area into LayoutBitmap after every paint.
class TLayoutPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TLayoutPaintBox(QWidget *parent = nullptr);
    const QImage &LayoutBitmap() const { return m_layoutBitmap; }
    bool HasLayoutBitmap() const { return !m_layoutBitmap.isNull(); }
    void FreeLayoutBitmap() { m_layoutBitmap = QImage(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_layoutBitmap;
};
