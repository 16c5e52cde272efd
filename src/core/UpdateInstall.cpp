#include "UpdateInstall.h"

#include "Lang.h"
#include "Messages.h"
#include "PriceList.h"
#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Stopped(const TUpdateEnvironment &env)
{
    return env.StopWanted && env.StopWanted();
}

void ShowMakeUpdateError()
{
    ShowError(LangMessages(QStringLiteral("ErrorMakeUpdate")));
}

/// A cause the user is told before "ErrorMakeUpdate", with its detail.
QString CauseText(const char *key, const QString &detail)
{
    const QString text = LangMessages(QString::fromLatin1(key));
    return detail.isEmpty() ? text : text + QStringLiteral("\n\n") + detail;
}

/// The cause of a failed unpacking worth telling; empty for a damaged or hostile archive.
QString UnpackFailureText(const TUnpackError &error)
{
    switch (error.Failure) {
    case TUnpackFailure::NoSpace:
        return CauseText("ErrorUpdateNoSpace", error.Detail);
    case TUnpackFailure::NotSaved:
        return CauseText("ErrorUpdateNotSaved", error.Detail);
    case TUnpackFailure::Cancelled:
        return CauseText("ErrorUpdateCancelled", QString());
    default:
        return QString();
    }
}

/// The options of the price-list and program downloads.
TDownloadOptions InstallOptions(const TUpdateEnvironment &env)
{
    TDownloadOptions options = env.Options;
    options.HttpsOnly = options.HttpsOnly || IsHttpsUrl(env.CheckUrl);
    return options;
}

/// A download with the progress dialog (left open); a failure says why, except
/// when the run is stopping: then the caller's one box is enough.
bool DownloadWithProgress(const TUpdateEnvironment &env, const QString &url, const QString &path)
{
    TDownloadError error;
    const bool ok = DownloadFile(
        url, path,
        [&env](qint64 received, qint64 total) {
            const bool cancelled = env.Progress && env.Progress(received, total);
            return cancelled || Stopped(env);
        },
        error, InstallOptions(env));
    if (!ok && !Stopped(env))
        ShowError(DownloadFailureText(error));
    return ok;
}

void ShowProgress(const TUpdateEnvironment &env, bool show)
{
    if (env.ShowProgress)
        env.ShowProgress(show);
}

/// The downloaded file opens with the vendor's password and its header row reads.
bool OpensAsPriceList(const QString &fileName, const QString &vendorName)
{
    const std::unique_ptr<TPriceListDatabase> database =
        TPriceListDatabase::Open(fileName, PriceListPassword(vendorName));
    QVariant value;
    return database &&
           database->QueryFirstValue(QString::fromLatin1(kPriceListInfoTable), QStringLiteral("CountryID"), value);
}

/// The file renamed over the target (a regular file or a link, which is
/// replaced), the new name on disk before the call returns. The file itself
/// was synced when it was written.
bool MoveWriteThrough(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
    struct stat existing {};
    if (::lstat(target.constData(), &existing) == 0 && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode))
        return false;
    if (std::rename(source.constData(), target.constData()) != 0)
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

/// Unpacks the downloaded archive with the dialog showing it; false after
/// telling why (one box when the run is stopping).
bool UnpackWithProgress(const TUpdateEnvironment &env, const QString &archive)
{
    TUnpackError error;
    const bool unpacked = UnpackUpdateArchive(archive, env.TempPath, error, [&env](qint64 done, qint64 total) {
        const bool cancelled = env.UnpackProgress && env.UnpackProgress(done, total);
        return cancelled || Stopped(env);
    });
    if (unpacked)
        return true;
    const QString cause = UnpackFailureText(error);
    if (!cause.isEmpty() && !Stopped(env))
        ShowError(cause);
    return false;
}

} // namespace

QString DownloadFailureText(const TDownloadError &error)
{
    switch (error.Failure) {
    case TDownloadFailure::NotFound:
        return CauseText("ErrorDownloadNotFound", error.Detail);
    case TDownloadFailure::NoConnection:
        return CauseText("ErrorDownloadNoConnection", error.Detail);
    case TDownloadFailure::TooSlow:
        return CauseText("ErrorDownloadTooSlow", error.Detail);
    case TDownloadFailure::Cancelled:
        return CauseText("ErrorUpdateCancelled", QString());
    case TDownloadFailure::NotHttps:
        return CauseText("ErrorDownloadNotHttps", error.Detail);
    case TDownloadFailure::NotSaved:
        return CauseText("ErrorUpdateNotSaved", error.Detail);
    case TDownloadFailure::None:
    case TDownloadFailure::Other:
        break;
    }
    return CauseText("ErrorDownloadFailed", error.Detail);
}

void CheckForUpdates(const TUpdateEnvironment &env)
{
    if (env.TempPath.isEmpty() || !QFileInfo(env.TempPath).isDir())
        return;
    const QString checkFile = env.TempPath + QLatin1String(kCheckFileName);
    TDownloadOptions options = InstallOptions(env);
    options.MaxBytes = kCheckFileMaxBytes;
    options.TotalTimeoutMs = env.CheckTimeLimitMs;
    TDownloadError error;
    if (!DownloadFile(
            env.CheckUrl, checkFile, [&env](qint64, qint64) { return Stopped(env); }, error, options))
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
    if (!AskYesNo(UpdateQuestionText(newProgram, newPriceList, UpdateData)) || Stopped(env))
        return;
    if (newPriceList)
        UpdatePriceList(env);
    if (newProgram && !Stopped(env))
        UpdateProgram(env);
}

bool UpdatePriceList(const TUpdateEnvironment &env)
{
    const QString name = QLatin1String(kPriceListFileName);
    const QString downloaded = env.TempPath + name;
    ShowProgress(env, true);
    const bool ok = DownloadWithProgress(env, UpdateData.PriceListDownload + name, downloaded);
    ShowProgress(env, false);
    if (!ok) {
        ShowMakeUpdateError();
        return false;
    }
    // The working list is closed only for a list that is known to open.
    if (!OpensAsPriceList(downloaded, env.VendorName)) {
        QFile::remove(downloaded);
        ShowError(LangMessages(QStringLiteral("ErrorPriceListDownloadNotValid")));
        ShowMakeUpdateError();
        return false;
    }
    ClosePriceListDatabase();
    const bool moved = MoveWriteThrough(downloaded, env.DataPath + name);
    // Moved or not, the list in the data folder is opened again: after a failed
    // move the old one, so that prices stay available.
    if (env.ReloadPriceList)
        env.ReloadPriceList();
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
    ShowProgress(env, true);
    const bool downloaded =
        DownloadWithProgress(env, UpdateData.ProgramDownload + QLatin1String(kProgramArchiveName), archive);
    const bool unpacked = downloaded && UnpackWithProgress(env, archive);
    ShowProgress(env, false);
    if (downloaded)
        QFile::remove(archive);
    QStringList files;
    if (!unpacked || Stopped(env) || !ListFolderFiles(env.TempPath, files)) {
        ShowMakeUpdateError();
        return;
    }
    if (!StartUpdater(env, env.TempPath + QLatin1String(kUpdaterName), {UpdaterArgument(env.ProgramPath)})) {
        ShowMakeUpdateError();
        DeleteFolderFiles(env.TempPath);
    }
}
