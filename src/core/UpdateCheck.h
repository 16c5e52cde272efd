#pragma once
// The update check's logic: what the check file says for this vendor, country
// and language, whether it names a newer program or price list, and the texts
// shown to the user. The window only asks and shows.

#include "PriceList.h"
#include <QString>

constexpr const char *kCheckFileName = "VarnexCfgCheck.txt";
constexpr const char *kProgramArchiveName = "VarnexCfgUpdate.z";
constexpr const char *kUpdaterName = "Updater.exe";

struct TUpdateData {
    QString ProgramVersion;
    QString ProgramDownload;
    QString Message;
    QString PriceListDate;
    QString PriceListDownload;
};
extern TUpdateData UpdateData;

/// Where the check file is fetched from: the environment's VARNEX_UPDATE_CHECK_URL
/// when set (a vendor's staging server, tests), else the address built into the program.
QString UpdateCheckUrl();

/// "Message_" and the language as at least four upper-case hexadecimal digits (1040: "Message_0410").
QString NoticeKey(int32_t languageId);
/// The vendor's section of the check file; the price-list keys only with a price list open.
TUpdateData ReadCheckFile(const QString &path, const QString &vendorName, int32_t languageId, const TPriceList &list);

struct TVersion {
    int32_t Major = 0;
    int32_t Minor = 0;
};
/// "1.20" gives 1 and 20; a part that is not a whole number counts as 0 ("1.20.3" gives 1 and 0).
TVersion SplitVersion(const QString &text);
/// The check file's version is above the program's (minor numbers compare as integers).
bool IsNewerProgram(const QString &current, const QString &offered);
/// A price list is open and its date lies strictly before the check file's date.
bool IsNewerPriceList(const TPriceList &list, const QString &offeredDate);

/// The question: "QuestUpdateFounded", the program and price-list lines, "InfoContinueUpdate"; CR LF breaks.
QString UpdateQuestionText(bool newProgram, bool newPriceList, const TUpdateData &data);
/// The notice with its backslash-n pairs as line breaks.
QString UpdateNoticeText(const TUpdateData &data);
/// The updater's one argument: PRG_PATH="<program folder>".
QString UpdaterArgument(const QString &programPath);
