#pragma once
// A label showing a picture given as encoded bytes: the bytes are decoded
// when the picture is first painted or asked for, not when it is given, so
// that a window's start does not wait for pictures it has not drawn yet.
// The picture is centred and shrunk to fit with its proportions kept.

#include <QByteArray>
#include <QLabel>

class TPictureLabel : public QLabel {
public:
    using QLabel::QLabel;

    /// Encoded picture bytes (an empty array empties the label).
    void SetPictureData(const QByteArray &bytes);
    /// The picture as shown: decoded and fitted on first use.
    QPixmap Picture();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Decode();
    QByteArray m_pending;
};
