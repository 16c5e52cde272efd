#include "TFrmAbout.h"
#include "ProgramFonts.h"

#include "Globals.h"
#include "Lang.h"
#include "Messages.h"
#include "OfferDocument.h"
#include "PriceList.h"
#include "Settings.h"
#include "TextUtils.h"
#include "Vendor.h"
#include "VendorBitmap.h"
#include "WindowServices.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

const char *const TFrmAbout::kWord = "VOLTA";
const char *const TFrmAbout::kCredits = "Varnex Configurator: sized, drawn and priced by the Varnex team.";

namespace {

// The notes' designed place: 464 x 110 at 15, 171.
constexpr int kNoteWidth = 464;
constexpr int kNoteHeight = 110;

QFrame *Separator(QWidget *parent, int y)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(10, y, 474, 2);
    return line;
}

} // namespace

TFrmAbout::TFrmAbout(QWidget *parent) : QDialog(parent)
{
    ScaleFormToScreen(this);
    setObjectName(QStringLiteral("FrmAbout"));
    setFont(ProgramFont(8));
    setWindowTitle(WithoutMnemonic(LangMain(QStringLiteral("ButtonInfoProgram"))));

    auto *panel = new QFrame(this);
    panel->setGeometry(10, 12, 142, 110);
    panel->setFrameShape(QFrame::Box);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    panel->setPalette(white);
    imgLogoVendor = new QLabel(panel);
    imgLogoVendor->setObjectName(QStringLiteral("imgLogoVendor"));
    imgLogoVendor->setGeometry(1, 1, 140, 108);
    imgLogoVendor->setAlignment(Qt::AlignCenter);
    imgLogoVendor->setCursor(Qt::PointingHandCursor);
    QImage logo;
    if (LoadVendorBitmap(QStringLiteral("LogoVendor"), logo))
        imgLogoVendor->setPixmap(
            QPixmap::fromImage(logo.scaled(imgLogoVendor->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));

    lblPublisher = AddLabel(QStringLiteral("lblPublisher"), 171, 11, 10, true);
    lblProduct = AddLabel(QStringLiteral("lblProduct"), 171, 27, 14, true);
    lblVersion = AddLabel(QStringLiteral("lblVersion"), 171, 52, 8, false);
    lblRights = AddLabel(QStringLiteral("lblRights"), 171, 70, 8, false);
    lblWebAddress = AddLabel(QStringLiteral("lblWebAddress"), 171, 89, 8, false);
    lblMailAddress = AddLabel(QStringLiteral("lblMailAddress"), 171, 108, 8, false);
    for (QLabel *link : {lblWebAddress, lblMailAddress}) {
        QFont font = link->font();
        font.setUnderline(true);
        link->setFont(font);
        link->setStyleSheet(QStringLiteral("color: blue"));
        link->setCursor(Qt::PointingHandCursor);
    }
    SetVendorLabel(lblPublisher, 102);
    SetVendorLabel(lblRights, 105);
    SetVendorLabel(lblWebAddress, SetupData.WebAddressId);
    SetVendorLabel(lblMailAddress, 104);
    lblProduct->setText(ProductTitle(SetupData.ProductName));
    lblVersion->setText(QStringLiteral("Version ") + FileVersionText(QCoreApplication::applicationFilePath(), true));

    Separator(this, 135);
    BuildNotesAndButton();

    // Key presses reach the dialog before its controls; clicks on the logo and the links too.
    for (QObject *watched : std::initializer_list<QObject *>{this, btnOk, imgLogoVendor, lblWebAddress, lblMailAddress})
        watched->installEventFilter(this);
}

void TFrmAbout::BuildNotesAndButton()
{
    lblNoteTitle = AddLabel(QStringLiteral("lblNoteTitle"), 11, 152, 9, true);
    lblNoteTitle->setText(LangCommons(QStringLiteral("LegalNotesTitle")) + QStringLiteral(":"));
    lblNote = AddLabel(QStringLiteral("lblNote"), 15, 171, 8, false);
    lblNote->setWordWrap(true);
    lblNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblNote->setText(LegalNotesText(PriceList));
    // The notes take at least their designed 110 pixels and as many more as their wrapped lines
    // need; the line, the button and the dialog's foot move down by the same amount.
    const int noteHeight = std::max(kNoteHeight, lblNote->heightForWidth(kNoteWidth));
    const int grown = noteHeight - kNoteHeight;
    lblNote->setGeometry(15, 171, kNoteWidth, noteHeight);
    Separator(this, 300 + grown);
    setFixedSize(494, 362 + grown);

    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(209, 321 + grown, 75, 25);
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    btnOk->setFocus();
}

QLabel *TFrmAbout::AddLabel(const QString &name, int x, int y, int pointSize, bool bold)
{
    auto *label = new QLabel(this);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(ProgramFont(pointSize, bold));
    label->move(x, y);
    label->resize(494 - x - 10, QFontMetrics(label->font()).height() + 2);
    return label;
}

void TFrmAbout::SetVendorLabel(QLabel *label, int32_t entry)
{
    QString text;
    const bool found = entry != -1 && GetVendorText(entry, text);
    label->setText(found ? text : QString());
    label->setVisible(found);
}

void TFrmAbout::OpenVendorWebLink()
{
    QString shown, rest;
    if (SetupData.WebAddressId == -1 || !GetVendorText(SetupData.WebAddressId, shown) ||
        !GetVendorText(SetupData.WebAddressId + 1, rest))
        return;
    OpenWebLink(shown + rest);
}

void TFrmAbout::TypeCharacter(const QString &text)
{
    const QString word = QString::fromLatin1(kWord);
    m_typed = (m_typed + text).toUpper();
    if (!word.contains(m_typed))
        m_typed.clear();
    else if (m_typed == word) {
        m_typed.clear();
        ShowInfo(QString::fromUtf8(kCredits));
    }
}

bool TFrmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        // A press first reaches the focused control, then, when the control leaves it unused, the
        // dialog: the same event twice. It is counted where it arrives first; the dialog is the
        // last to see a press, and a release ends it too, so the next press counts again.
        if (event != m_countedPress) {
            const QString text = static_cast<QKeyEvent *>(event)->text();
            if (!text.isEmpty() && text.at(0).isPrint())
                TypeCharacter(text);
        }
        m_countedPress = watched == this ? nullptr : event;
    } else if (event->type() == QEvent::KeyRelease) {
        m_countedPress = nullptr;
    } else if (event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == imgLogoVendor || watched == lblWebAddress) {
            OpenVendorWebLink();
            return true;
        }
        if (watched == lblMailAddress) {
            QString mail;
            if (GetVendorText(104, mail))
                SendMailTo(mail);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
