#include "WindowServices.h"

#include "Lang.h"
#include "Messages.h"
#include "OfferDocument.h"
#include "TextUtils.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <QFontDatabase>
#include <QUrl>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <iterator>

namespace {

QString &TitleStore()
{
    static QString title = QStringLiteral("Configurator");
    return title;
}

TSaveFileNameHook &SaveHook()
{
    static TSaveFileNameHook hook;
    return hook;
}

TOpenUrlHook &UrlHook()
{
    static TOpenUrlHook hook;
    return hook;
}

bool OpenUrlUnderWaitCursor(const QUrl &url)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = UrlHook() ? UrlHook()(url.toString()) : QDesktopServices::openUrl(url);
    QApplication::restoreOverrideCursor();
    return ok;
}

/// "MS Word ... (*.doc)|*.doc" as Qt writes a name filter: the description
/// followed by the pattern in brackets (not repeated when already there).
QString NameFilterOf(const QString &entry)
{
    const int bar = entry.indexOf('|');
    if (bar < 0)
        return entry;
    const QString description = entry.left(bar).trimmed();
    const QString pattern = entry.mid(bar + 1).trimmed();
    const QString bracketed = QStringLiteral("(") + pattern + QStringLiteral(")");
    if (description.endsWith(bracketed))
        return description;
    return description + QStringLiteral(" ") + bracketed;
}

} // namespace

QString ApplicationTitle()
{
    return TitleStore();
}

void SetApplicationTitle(const QString &title)
{
    TitleStore() = title;
}

void ReportFirstIdle()
{
    bool ok = false;
    const qint64 start = qEnvironmentVariable("VARNEX_START_NS").toLongLong(&ok);
    if (!ok)
        return;
    // The same clock as the caller's start time (date +%s%N), to the nanosecond.
    const qint64 now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    std::fprintf(stderr, "first idle after %.1f ms\n", double(now - start) / 1e6);
}

QImage PaintProgramIcon(int size)
{
    // The design of resources/icons/varnex-configurator.svg (a 256 x 256 view),
    // drawn rather than decoded: the window's first idle moment comes without
    // reading any picture.
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    const QColor outline(0x0d, 0x2a, 0x52);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x4e, 0x8c));
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 36, 36);
    p.setPen(QPen(outline, 6));
    p.setBrush(QColor(0xf4, 0xf6, 0xf9));
    p.drawRoundedRect(QRectF(64, 36, 112, 184), 8, 8);
    p.setPen(Qt::NoPen);
    for (int y : {56, 88, 120, 152}) {
        p.setBrush(y == 152 ? QColor(0xc9, 0xd3, 0xe0) : QColor(0x7f, 0xa7, 0xd9));
        p.drawRoundedRect(QRectF(80, y, 80, 22), 3, 3);
    }
    p.setBrush(QColor(0x2f, 0xb3, 0x4a));
    p.drawEllipse(QPointF(120, 198), 7, 7);
    const QPointF bolt[] = {{196, 96}, {160, 160}, {186, 160}, {170, 224}, {222, 140}, {194, 140}, {214, 96}};
    p.setPen(QPen(outline, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xff, 0xcc, 0x1a));
    p.drawPolygon(bolt, int(std::size(bolt)));
    return image;
}

QIcon ProgramIcon()
{
    // The sizes window systems draw in title bars and task switchers; the larger
    // ones are the desktop entry's, installed as files.
    static const QIcon icon = [] {
        QIcon sizes;
        for (int size : {16, 32, 48})
            sizes.addPixmap(QPixmap::fromImage(PaintProgramIcon(size)));
        return sizes;
    }();
    return icon;
}

void ScaleFormToScreen(QWidget *)
{
}

bool OpenWebLink(const QString &address)
{
    return OpenUrlUnderWaitCursor(QUrl::fromUserInput(address));
}

bool SendMailTo(const QString &recipient)
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(recipient);
    return OpenUrlUnderWaitCursor(url);
}

TWaitCursor::TWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents();
}

TWaitCursor::~TWaitCursor() { QApplication::restoreOverrideCursor(); }

std::unique_ptr<QFileDialog> CreateSaveFileDialog(const QStringList &filters, QWidget *parent)
{
    QStringList nameFilters;
    for (const QString &entry : filters)
        nameFilters << NameFilterOf(entry);
    auto dialog = std::make_unique<QFileDialog>(parent);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilters(nameFilters);
    // The name typed may still get an extension: the question comes once that is known.
    dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog->setSizeGripEnabled(true);
    return dialog;
}

int SaveFileDialogChoice(const QFileDialog &dialog, QString &fileName)
{
    if (dialog.selectedFiles().isEmpty())
        return -1;
    // A name in a folder that does not exist is not a choice.
    if (!QFileInfo(QFileInfo(dialog.selectedFiles().constFirst()).absolutePath()).isDir())
        return -1;
    fileName = dialog.selectedFiles().constFirst();
    const int index = int(dialog.nameFilters().indexOf(dialog.selectedNameFilter()));
    return index < 0 ? 1 : index + 1;
}

namespace {

/// ".doc" of "MS Word ... (*.doc)|*.doc"; empty when the pattern names no extension.
QString FilterExtension(const QString &entry)
{
    const QString pattern = entry.mid(entry.indexOf(u'|') + 1).section(u';', 0, 0).trimmed();
    const QString extension = pattern.mid(pattern.lastIndexOf(u'*') + 1);
    return extension.startsWith(u'.') && extension.size() > 1 && !extension.contains(u'*') ? extension : QString();
}

/// The folder and name a save dialog starts with: "folder/", "name" or "folder/name".
void StartSaveFileDialog(QFileDialog &dialog, const QString &start)
{
    if (start.isEmpty())
        return;
    const qsizetype slash = start.lastIndexOf(u'/');
    if (slash >= 0 && QFileInfo(start.left(slash + 1)).isDir())
        dialog.setDirectory(start.left(slash + 1));
    if (slash + 1 < start.size())
        dialog.selectFile(start.mid(slash + 1));
}

/// The dialog until a name in an existing folder is chosen; -1 when cancelled.
int RunSaveFileDialog(QFileDialog &dialog, QString &fileName)
{
    for (;;) {
        if (dialog.exec() != QDialog::Accepted)
            return -1;
        const int choice = SaveFileDialogChoice(dialog, fileName);
        if (choice != -1 || dialog.selectedFiles().isEmpty())
            return choice;
        // The folder typed does not exist: the dialog comes back at the nearest one that does.
        const QFileInfo typed(dialog.selectedFiles().constFirst());
        QString folder = typed.absolutePath();
        while (!QFileInfo(folder).isDir() && folder != QDir::rootPath())
            folder = QFileInfo(folder).absolutePath();
        dialog.setDirectory(folder);
        dialog.selectFile(typed.fileName());
    }
}

} // namespace

int ResolveSaveFileName(const QStringList &filters, int filter, QString &fileName)
{
    const QString typed = FileExtension(fileName);
    if (!typed.isEmpty())
        for (qsizetype i = 0; i < filters.size(); ++i)
            if (typed.compare(FilterExtension(filters[i]), Qt::CaseInsensitive) == 0)
                filter = int(i + 1);
    const QString extension = FilterExtension(filters.value(filter - 1));
    if (!extension.isEmpty())
        fileName = WithExtension(fileName, extension);
    return filter;
}

int AskSaveFileName(const QStringList &filters, QString &fileName, QWidget *parent)
{
    std::unique_ptr<QFileDialog> dialog;
    for (;;) {
        QString name = fileName;
        int choice = -1;
        if (SaveHook()) {
            choice = SaveHook()(filters, name);
        } else {
            if (!dialog) {
                dialog = CreateSaveFileDialog(filters, parent);
                StartSaveFileDialog(*dialog, fileName);
            }
            choice = RunSaveFileDialog(*dialog, name);
        }
        if (choice == -1)
            return -1;
        choice = ResolveSaveFileName(filters, choice, name);
        // Only a file is replaced; anything else the writer refuses with its own message.
        if (QFileInfo(name).isFile() &&
            !AskYesNo(FormatArgs(LangMessages(QStringLiteral("QuestReplaceFile")), QDir::toNativeSeparators(name))))
            continue;
        fileName = name;
        return choice;
    }
}

void SetSaveFileNameHook(TSaveFileNameHook hook)
{
    SaveHook() = std::move(hook);
}

namespace {
TOpenFileNameHook &OpenHook()
{
    static TOpenFileNameHook hook;
    return hook;
}
} // namespace

QString AskOpenFileName(const QStringList &filters, const QString &title, QWidget *parent, const QString &folder)
{
    if (OpenHook())
        return OpenHook()(filters);
    QStringList nameFilters;
    for (const QString &entry : filters)
        nameFilters << NameFilterOf(entry);
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFilters);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void SetOpenFileNameHook(TOpenFileNameHook hook)
{
    OpenHook() = std::move(hook);
}

void SetOpenUrlHook(TOpenUrlHook hook)
{
    UrlHook() = std::move(hook);
}
