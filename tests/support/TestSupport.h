#pragma once
// Shared test helpers: a message service that records the boxes and answers
// questions from a script, and a private home for settings and data folders.

#include "Messages.h"
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>

/// The child of `parent` whose objectName is `name` (a window's control or
/// action); a test asking for one that does not exist stops there.
template <typename T>
T *Child(const QObject &parent, const char *name)
{
    T *child = parent.findChild<T *>(QLatin1String(name));
    if (child == nullptr)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return child;
}

struct TRecordedMessage {
    QString Kind; // "error", "warning", "info", "question", "save?"
    QString Text;
};

class TRecordingMessageService : public IMessageService {
public:
    TRecordingMessageService() { SetMessageService(this); }
    ~TRecordingMessageService() override { SetMessageService(nullptr); }
    void ShowError(const QString &text) override { Messages.append({"error", text}); }
    void ShowWarning(const QString &text) override { Messages.append({"warning", text}); }
    void ShowInfo(const QString &text) override { Messages.append({"info", text}); }
    bool AskYesNo(const QString &text) override
    {
        Messages.append({"question", text});
        return Answers.isEmpty() ? false : Answers.takeFirst();
    }
    TSaveAnswer AskSaveChanges(const QString &text) override
    {
        Messages.append({"save?", text});
        return SaveAnswers.isEmpty() ? TSaveAnswer::Discard : SaveAnswers.takeFirst();
    }
    QStringList Texts() const
    {
        QStringList t;
        for (const auto &m : Messages)
            t << m.Text;
        return t;
    }
    QList<TRecordedMessage> Messages;
    QList<bool> Answers; // answers to AskYesNo in order; No when empty
    QList<TSaveAnswer> SaveAnswers; // answers to AskSaveChanges in order; Discard when empty
};

/// Points HOME and XDG_DATA_HOME at a fresh temporary folder for the test's lifetime.
class TTempHome {
public:
    TTempHome();
    ~TTempHome();
    QString Path() const { return m_dir.path(); }
    QString DataHome() const { return m_dir.path() + "/.local/share"; }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome, m_oldXdg;
};

/// The program folder of the build: executable, language files, vendor library.
inline QString BuiltProgramPath() { return QStringLiteral(VX_PROGRAM_DIR); }

/// SetupData for the built program folder in English (vendor "Quenvar") with its
/// vendor library loaded, as the core tests that size whole requests need it.
bool UseBuiltProgram();

/// The build's sample price list with one bit flipped where the list still opens
/// and its header reads, but the price of `code` in `table` cannot be read: a
/// damaged page that only the price query meets. Empty when there is no such place.
QByteArray SampleListDamagedFor(const QString &table, const QString &code);

class QProcess;

/// While one is alive, no file of this process can grow past `bytes`: a write
/// beyond fails with EFBIG (SIGXFSZ is ignored meanwhile), as on a full disk.
/// Pipes, and so the test's own output, are not limited.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(qint64 bytes);
    ~TFileSizeLimit();
    TFileSizeLimit(const TFileSizeLimit &) = delete;
    TFileSizeLimit &operator=(const TFileSizeLimit &) = delete;

private:
    qint64 m_oldLimit = -1;
    void (*m_oldHandler)(int) = nullptr;
};

/// The same for a program `process` starts after this call: its files cannot grow past `bytes`.
void LimitFileSize(QProcess &process, qint64 bytes);

/// The names of the files in the folder (hidden ones too, no folders), sorted.
QStringList FolderFiles(const QString &folder);

/// The file's bytes, or "<missing>".
QByteArray ReadFileBytes(const QString &fileName);

/// The text as a UTF-16 file holds it: the byte order mark, then the code units in that order.
QByteArray Utf16Bytes(const QString &text, bool bigEndian);
