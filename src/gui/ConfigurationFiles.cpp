// The main window's configuration files: saved from the configuration on show,
// reopened by replaying them through the wizard's pages.

#include "TFrmVarnexCfgMain.h"

#include "Configuration.h"
#include "Headless.h"
#include "Lang.h"
#include "Messages.h"
#include "RequestKeys.h"
#include "ResultExports.h"
#include "SafeFile.h"
#include "TextCodec.h"
#include "TextUtils.h"
#include "WindowServices.h"

#include <QAction>
#include <QIODevice>

namespace {

QStringList ConfigurationFilters()
{
    return {QStringLiteral("Varnex configuration (*.vxcfg)|*.vxcfg")};
}

/// What a configuration that opened left out, or empty.
QString LeftOutNote(const TOpenedConfiguration &opened, const QStringList &ignored)
{
    QStringList lines;
    if (opened.Newer)
        lines << FormatArgs(LangMessages(QStringLiteral("InfoConfigurationNewer")), opened.Keys.ProgramVersion,
                            SetupData.Version);
    if (!ignored.isEmpty())
        lines << FormatArgs(LangMessages(QStringLiteral("InfoConfigurationIgnored")),
                            ignored.join(QStringLiteral(", ")));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QString TFrmVarnexCfgMain::ConfigurationArgument(const QStringList &arguments)
{
    for (const QString &argument : arguments)
        if (!argument.isEmpty() && !argument.startsWith(QLatin1Char('-')) && !ReadCommandLine({argument}))
            return argument;
    return {};
}

void TFrmVarnexCfgMain::actSaveConfigurationFileExecute()
{
    if (!m_hasConfiguration)
        return;
    QString fileName;
    if (AskSaveFileName(ConfigurationFilters(), fileName, this) == -1)
        return;
    // The request holds the pages' keys; the program's language and debug mode
    // are saved with them, as --size reads them.
    QJsonObject request = m_configurationRequest;
    if (SetupData.DebugMode)
        request.insert(RequestKeyName(TRequestKeyId::DebugMode), true);
    if (!SetupData.LanguageFile.isEmpty())
        request.insert(RequestKeyName(TRequestKeyId::Language), SetupData.LanguageFile);
    const QByteArray text = ConfigurationText(request, SetupData.Version, QDate::currentDate());
    QString error;
    if (WriteFileSafely(
            fileName, [&](QIODevice &file) { return file.write(text) == text.size(); }, error))
        ShowFileSaved(fileName);
    else
        ShowFileNotSaved(fileName);
}

void TFrmVarnexCfgMain::actOpenConfigurationFileExecute()
{
    QString title = WithoutMnemonic(actOpenConfigurationFile->text()).trimmed();
    if (title.endsWith(QLatin1String("...")))
        title.chop(3);
    const QString fileName = AskOpenFileName(ConfigurationFilters(), title, this);
    if (!fileName.isEmpty())
        OpenConfigurationFile(fileName);
}

bool TFrmVarnexCfgMain::OpenConfigurationFile(const QString &fileName)
{
    const TOpenedConfiguration opened = ReadConfigurationFile(fileName, SetupData.Version);
    if (opened.Fault != TConfigurationFault::None) {
        ShowError(FormatArgs(LangMessages(opened.Fault == TConfigurationFault::Unreadable
                                              ? QStringLiteral("ErrorConfigurationUnreadable")
                                              : QStringLiteral("ErrorConfigurationDamaged")),
                             fileName));
        return false;
    }
    // Replayed into copies: a configuration that cannot be sized changes nothing on show.
    TRequestParameters request{};
    TResultParameters result{};
    TConfigurationReplay replay;
    {
        const TWaitCursor wait;
        replay = ReplayConfiguration(opened.Keys.Request, request, result);
    }
    if (replay.Ok)
        replay.Message = AlternativesFault(replay.Request);
    if (!replay.Ok || !replay.Message.isEmpty()) {
        ShowError(FormatArgs(LangMessages(QStringLiteral("ErrorConfigurationNotOpened")), fileName, replay.Message));
        return false;
    }
    if (m_hasConfiguration && !AskYesNo(LangMessages(QStringLiteral("QuestNewConfiguration"))))
        return false;
    RequestParameters = request;
    ResultParameters = result;
    m_configurationRequest = replay.Request;
    m_hasConfiguration = true;
    ShowResults();
    const QString note = LeftOutNote(opened, opened.Keys.IgnoredKeys + replay.IgnoredKeys);
    if (!note.isEmpty())
        ShowInfo(note);
    return true;
}
