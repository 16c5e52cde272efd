#include "UpdateInstall.h"

#include "Lang.h"
#include "Messages.h"
#include "PriceList.h"
#include "Settings.h"
#include "UpdateArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

void ShowMakeUpdateError()
{
    ShowError(LangMessages(QStringLiteral("ErrorMakeUpdate")));
}

/// A download with the progress dialog; a failure says why, then that the update failed.
bool DownloadWithProgress(const TUpdateEnvironment &env, const QString &url, const QString &path)
{
    if (env.ShowProgress)
        env.ShowProgress(true);
    QString error;
    const bool ok = DownloadFile(url, path, env.Progress, error, env.Options);
    if (env.ShowProgress)
        env.ShowProgress(false);
    if (!ok)
        ShowError(error);
    return ok;
}

/// The file renamed over the target, on disk before the call returns.
bool MoveWriteThrough(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
    const int fd = ::open(source.constData(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (!synced || std::rename(source.constData(), target.constData()) != 0)
        return false;
    const int dir = ::open(QFile::encodeName(QFileInfo(to).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool StartUpdater(const TUpdateEnvironment &env, const QString &program, const QStringList &arguments)
{
    // The unpacked updater is started as a program, whatever the archive's permissions.
    QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner | QFileDevice::ReadOwner);
    if (env.StartProgram)
        return env.StartProgram(program, arguments);
    return QProcess::startDetached(program, arguments, QFileInfo(program).absolutePath());
}

} // namespace

void CheckForUpdates(const TUpdateEnvironment &env)
{
    if (env.TempPath.isEmpty() || !QFileInfo(env.TempPath).isDir())
        return;
    const QString checkFile = env.TempPath + QLatin1String(kCheckFileName);
    QString error;
    if (!DownloadFile(env.CheckUrl, checkFile, {}, error, env.Options))
        return;
    UpdateData = ReadCheckFile(checkFile, env.VendorName, env.LanguageID, PriceList);
    if (!UpdateData.Message.isEmpty()) {
        ShowInfo(UpdateNoticeText(UpdateData));
        return;
    }
    const bool newProgram = IsNewerProgram(env.Version, UpdateData.ProgramVersion);
    const bool newPriceList = IsNewerPriceList(PriceList, UpdateData.PriceListDate);
    QFile::remove(checkFile);
    if (!newProgram && !newPriceList)
        return;
    if (!AskYesNo(UpdateQuestionText(newProgram, newPriceList, UpdateData)))
        return;
    if (newPriceList)
        UpdatePriceList(env);
    if (newProgram)
        UpdateProgram(env);
}

bool UpdatePriceList(const TUpdateEnvironment &env)
{
    const QString name = QLatin1String(kPriceListFileName);
    const QString downloaded = env.TempPath + name;
    const bool ok = DownloadWithProgress(env, UpdateData.PriceListDownload + name, downloaded);
    bool moved = false;
    if (ok && QFileInfo(downloaded).isFile()) {
        ClosePriceListDatabase();
        moved = MoveWriteThrough(downloaded, env.DataPath + name);
        // Moved or not, the list in the data folder is opened again: after a failed
        // move the old one, so that prices stay available.
        if (env.ReloadPriceList)
            env.ReloadPriceList();
    }
    if (!moved) {
        ShowMakeUpdateError();
        return false;
    }
    if (!WarnInvalidPriceList())
        ShowInfo(LangMessages(QStringLiteral("InfoPriceListUpdated")));
    return true;
}

void UpdateProgram(const TUpdateEnvironment &env)
{
    const QString archive = env.TempPath + QLatin1String(kProgramArchiveName);
    if (!DownloadWithProgress(env, UpdateData.ProgramDownload + QLatin1String(kProgramArchiveName), archive) ||
        !QFileInfo(archive).isFile()) {
        ShowMakeUpdateError();
        return;
    }
    QString error;
    const bool unpacked = UnpackUpdateArchive(archive, env.TempPath, error);
    QFile::remove(archive);
    if (!unpacked) {
        ShowMakeUpdateError();
        return;
    }
    QStringList files;
    if (!ListFolderFiles(env.TempPath, files)) {
        ShowMakeUpdateError();
        return;
    }
    if (!StartUpdater(env, env.TempPath + QLatin1String(kUpdaterName), {UpdaterArgument(env.ProgramPath)})) {
        ShowMakeUpdateError();
        DeleteFolderFiles(env.TempPath);
    }
}
