#pragma once
// Small services every window of the program shares: the application title,
// the program's fonts, opening web addresses and mails, the save-file dialog.

#include "ProgramFonts.h"

#include <QIcon>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QFileDialog;

class QWidget;

/// "Configurator" at start; "<product> Configurator" once the vendor branding is applied.
QString ApplicationTitle();
void SetApplicationTitle(const QString &title);


/// Windows are laid out in 96-dpi design pixels; Qt's device-independent
/// pixels are exactly those, and Qt scales them to the screen itself.
void ScaleFormToScreen(QWidget *form);

/// For the start-up benchmark: the milliseconds since the wall-clock time in
/// nanoseconds the environment's VARNEX_START_NS gives, on standard error.
void ReportFirstIdle();

/// The program's window icon in the sizes of title bars and task switchers.
QIcon ProgramIcon();
/// The icon's design at `size` pixels square.
QImage PaintProgramIcon(int size);

/// Opens the address in the default browser under the wait cursor.
bool OpenWebLink(const QString &address);
/// Starts a new mail to the recipient in the mail client under the wait cursor.
bool SendMailTo(const QString &recipient);

/// The hourglass for the time of a long operation, whatever way it ends.
class TWaitCursor {
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor &) = delete;
    TWaitCursor &operator=(const TWaitCursor &) = delete;
};

/// Save-file dialog over filter entries "description|pattern" (folder must
/// exist, resizable). Returns the 1-based number of the filter that applies and
/// the name that will be written (ResolveSaveFileName), or -1 when cancelled.
/// When that name is an existing file, asks (Messages/QuestReplaceFile) before
/// it is replaced; No shows the dialog again. A `fileName` given starts the
/// dialog: its folder (a name ending in '/' is a folder only) and its name.
int AskSaveFileName(const QStringList &filters, QString &fileName, QWidget *parent = nullptr);
/// The name a save writes for the filter chosen and the name typed: a typed
/// extension that another filter names chooses that filter ("offer.pdf" under
/// the Word filter is a PDF file); otherwise the chosen filter's extension
/// replaces the typed one, or is added. Returns the 1-based filter that applies.
int ResolveSaveFileName(const QStringList &filters, int filter, QString &fileName);
/// The save dialog AskSaveFileName shows for the filter entries, resizable. It
/// does not ask about replacing the name as typed: AskSaveFileName asks about
/// the name that will be written.
std::unique_ptr<QFileDialog> CreateSaveFileDialog(const QStringList &filters, QWidget *parent = nullptr);
/// The 1-based filter and the file name chosen in a closed save dialog; -1 when none.
int SaveFileDialogChoice(const QFileDialog &dialog, QString &fileName);

/// Replaces the dialog (tests): receives the filter entries, returns the filter and the name as
/// chosen in the dialog; AskSaveFileName applies the extension and asks before replacing.
using TSaveFileNameHook = std::function<int(const QStringList &filters, QString &fileName)>;
void SetSaveFileNameHook(TSaveFileNameHook hook);

/// Open-file dialog over filter entries "description|pattern" (the file must
/// exist), titled `title`, started in `folder` when one is given. The name
/// chosen, or empty when cancelled.
QString AskOpenFileName(const QStringList &filters, const QString &title, QWidget *parent = nullptr,
                        const QString &folder = QString());
/// Replaces the dialog (tests): receives the filter entries, returns what AskOpenFileName returns.
using TOpenFileNameHook = std::function<QString(const QStringList &filters)>;
void SetOpenFileNameHook(TOpenFileNameHook hook);

/// Replaces the browser and mail client (tests): receives the URL that would be opened.
using TOpenUrlHook = std::function<bool(const QString &url)>;
void SetOpenUrlHook(TOpenUrlHook hook);
