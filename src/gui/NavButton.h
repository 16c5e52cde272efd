#pragma once
// A command button of the main window's command column: the usual button face
// with its caption on the left (wrapped onto a second line when one is too
// short), a clear focus mark, and Enter and Return pressing it like Space.

#include <QPushButton>

class TNavButton : public QPushButton {
public:
    using QPushButton::QPushButton;

    /// The caption's text flags: left, centred vertically, mnemonic shown, wrapped.
    static constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextWordWrap;
    /// Where the caption goes inside the button.
    QRect CaptionRect() const { return rect().adjusted(8, 0, -4, 0); }

protected:
    void paintEvent(QPaintEvent *) override;
    void keyPressEvent(QKeyEvent *event) override;
};
