#include "UpdateCheck.h"

#include "Lang.h"
#include "Settings.h"
#include "TextCodec.h"
#include "TextUtils.h"
#include "Version.h"

#include <QDate>

TUpdateData UpdateData;

namespace {

/// A check-file value: read as the profile functions read it, trimmed of blanks and controls.
QString CheckValue(const QString &path, const QString &section, const QString &key)
{
    return TrimBlanksAndControls(ReadSetting(path, section, key, QString()));
}

/// The date of a YYYYMMDD text as a day number, as FormatDate8 reads it; a text
/// that is no real date is the earliest day, 0.
qint64 DayOf(const QString &text)
{
    const QDate date = Date8(text);
    return date.isValid() ? date.toJulianDay() : 0;
}

int32_t WholeNumber(const QString &text)
{
    int32_t value = 0;
    return TryReadDecimalInt32(text, value) ? value : 0;
}

} // namespace

QString UpdateCheckUrl()
{
    const QString chosen = qEnvironmentVariable("VARNEX_UPDATE_CHECK_URL").trimmed();
    return chosen.isEmpty() ? QStringLiteral(VX_UPDATE_CHECK_URL) : chosen;
}

QString NoticeKey(int32_t languageId)
{
    return QStringLiteral("Message_") + QString::number(quint32(languageId), 16).toUpper().rightJustified(4, u'0');
}

TUpdateData ReadCheckFile(const QString &path, const QString &vendorName, int32_t languageId, const TPriceList &list)
{
    TUpdateData data;
    data.ProgramVersion = CheckValue(path, vendorName, QStringLiteral("ProgramVersion"));
    data.ProgramDownload = CheckValue(path, vendorName, QStringLiteral("ProgramDownload"));
    data.Message = CheckValue(path, vendorName, NoticeKey(languageId));
    if (!list.Loaded)
        return data;
    const QString country = QString::number(list.CountryID);
    data.PriceListDate = CheckValue(path, vendorName, country + QStringLiteral("_PriceListDate"));
    data.PriceListDownload = CheckValue(path, vendorName, country + QStringLiteral("_PriceListDownload"));
    return data;
}

TVersion SplitVersion(const QString &text)
{
    const qsizetype point = text.indexOf(u'.');
    if (point < 0)
        return {WholeNumber(text), 0};
    return {WholeNumber(text.left(point)), WholeNumber(text.mid(point + 1))};
}

bool IsNewerProgram(const QString &current, const QString &offered)
{
    const TVersion now = SplitVersion(current), next = SplitVersion(offered);
    return now.Major < next.Major || (now.Major == next.Major && now.Minor < next.Minor);
}

bool IsNewerPriceList(const TPriceList &list, const QString &offeredDate)
{
    return list.Loaded && DayOf(list.ValidityDate) < DayOf(offeredDate);
}

QString UpdateQuestionText(bool newProgram, bool newPriceList, const TUpdateData &data)
{
    const QString crlf = QStringLiteral("\r\n");
    QString text = LangMessages(QStringLiteral("QuestUpdateFounded")) + crlf;
    if (newProgram)
        text += crlf + FormatArgs(LangMessages(QStringLiteral("InfoUpdateProgram")), data.ProgramVersion);
    if (newPriceList)
        text += crlf + FormatArgs(LangMessages(QStringLiteral("InfoUpdatePriceList")), FormatDate8(data.PriceListDate));
    return text + crlf + crlf + LangMessages(QStringLiteral("InfoContinueUpdate")) + crlf;
}

QString UpdateNoticeText(const TUpdateData &data)
{
    return ApplyLineBreaks(data.Message, true);
}

QString UpdaterArgument(const QString &programPath)
{
    return QStringLiteral("PRG_PATH=\"") + programPath + QStringLiteral("\"");
}
