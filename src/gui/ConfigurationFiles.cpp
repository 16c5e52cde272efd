// The main window's configuration files: saved from the configuration on show,
// reopened by replaying them through the wizard's pages. The title bar names the
// file with an unsaved mark, nothing unsaved is lost without a question, and the
// welcome page offers the configurations opened or saved last.

#include "TFrmVarnexCfgMain.h"

#include "Configuration.h"
#include "DesktopFiles.h"
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
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QIODevice>
#include <QLabel>
#include <QListWidget>
#include <QStackedWidget>
#include <QVBoxLayout>

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
    SaveConfigurationFile();
}

bool TFrmVarnexCfgMain::SaveConfigurationFile()
{
    if (!m_hasConfiguration)
        return false;
    QString fileName;
    const QString suggested = m_fileName.isEmpty() ? SuggestedFileName(CurrentOffer())
                                                   : QFileInfo(m_fileName).completeBaseName();
    if (AskSaveFileNameOfKind(TFileKind::Configuration, ConfigurationFilters(), suggested, fileName, this) == -1)
        return false;
    // The request holds the pages' keys; the program's language and debug mode
    // are saved with them, as --size reads them.
    QJsonObject request = m_configurationRequest;
    if (SetupData.DebugMode)
        request.insert(RequestKeyName(TRequestKeyId::DebugMode), true);
    if (!SetupData.LanguageFile.isEmpty())
        request.insert(RequestKeyName(TRequestKeyId::Language), SetupData.LanguageFile);
    const QByteArray text = ConfigurationText(request, SetupData.Version, QDate::currentDate());
    QString error;
    if (!WriteFileSafely(
            fileName, [&](QIODevice &file) { return file.write(text) == text.size(); }, error)) {
        ShowFileNotSaved(fileName);
        return false;
    }
    m_fileName = fileName;
    m_savedRequest = m_configurationRequest;
    RememberConfigurationFile(fileName);
    UpdateWindowTitle();
    ShowFileSaved(fileName);
    return true;
}

void TFrmVarnexCfgMain::actOpenConfigurationFileExecute()
{
    QString title = WithoutMnemonic(actOpenConfigurationFile->text()).trimmed();
    if (title.endsWith(QLatin1String("...")))
        title.chop(3);
    const QString fileName = AskOpenFileNameOfKind(TFileKind::Configuration, ConfigurationFilters(), title, this);
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
    if (!MayReplaceConfiguration())
        return false;
    RequestParameters = request;
    ResultParameters = result;
    m_configurationRequest = replay.Request;
    m_savedRequest = replay.Request;
    m_fileName = fileName;
    m_hasConfiguration = true;
    RememberConfigurationFile(fileName);
    ShowResults();
    const QString note = LeftOutNote(opened, opened.Keys.IgnoredKeys + replay.IgnoredKeys);
    if (!note.isEmpty())
        ShowInfo(note);
    return true;
}

bool TFrmVarnexCfgMain::ConfigurationModified() const
{
    return m_hasConfiguration && (m_fileName.isEmpty() || m_configurationRequest != m_savedRequest);
}

void TFrmVarnexCfgMain::UpdateWindowTitle()
{
    // The placeholder becomes the unsaved mark while setWindowModified is on.
    QString title = m_caption;
    if (m_hasConfiguration) {
        const QString name = m_fileName.isEmpty() ? LangMain(QStringLiteral("ConfigurationUntitled"))
                                                  : QFileInfo(m_fileName).fileName();
        title = QString(name).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")) + QStringLiteral("[*] - ") +
                m_caption;
    }
    setWindowTitle(title);
    setWindowModified(ConfigurationModified());
}

bool TFrmVarnexCfgMain::MayReplaceConfiguration()
{
    // Unsaved changes: Save / Discard / Cancel; a saved configuration: replace it?
    if (!m_hasConfiguration)
        return true;
    return ConfigurationModified() ? ConfirmLosingChanges()
                                   : AskYesNo(LangMessages(QStringLiteral("QuestNewConfiguration")));
}

bool TFrmVarnexCfgMain::ConfirmLosingChanges()
{
    if (!ConfigurationModified())
        return true;
    switch (AskSaveChanges(LangMessages(QStringLiteral("QuestSaveChanges")))) {
    case TSaveAnswer::Save:
        return SaveConfigurationFile();
    case TSaveAnswer::Discard:
        return true;
    case TSaveAnswer::Cancel:
        break;
    }
    return false;
}

void TFrmVarnexCfgMain::RememberConfigurationFile(const QString &fileName)
{
    WriteRecentFiles(SetupData.IniFileName, AddRecentFile(ReadRecentFiles(SetupData.IniFileName), fileName));
    FillRecentList();
}

void TFrmVarnexCfgMain::BuildRecentList(QWidget *page)
{
    pnlRecentConfigurations = new QFrame(page);
    pnlRecentConfigurations->setObjectName(QStringLiteral("pnlRecentConfigurations"));
    pnlRecentConfigurations->setGeometry(99, 352, 430, 137);
    pnlRecentConfigurations->setAutoFillBackground(true);
    auto *box = new QVBoxLayout(pnlRecentConfigurations);
    box->setContentsMargins(6, 4, 6, 6);
    box->setSpacing(2);
    auto *caption = new QLabel(pnlRecentConfigurations);
    caption->setObjectName(QStringLiteral("lblRecentConfigurations"));
    caption->setFont(ProgramFont(8, true));
    box->addWidget(caption);
    lstRecentConfigurations = new QListWidget(pnlRecentConfigurations);
    lstRecentConfigurations->setObjectName(QStringLiteral("lstRecentConfigurations"));
    lstRecentConfigurations->setTextElideMode(Qt::ElideMiddle);
    box->addWidget(lstRecentConfigurations);
    // A click opens (the list holds no other choice to make); Enter too.
    connect(lstRecentConfigurations, &QListWidget::itemClicked, this, &TFrmVarnexCfgMain::OpenRecentFile);
    connect(lstRecentConfigurations, &QListWidget::itemActivated, this, &TFrmVarnexCfgMain::OpenRecentFile);
    pnlRecentConfigurations->hide();
}

void TFrmVarnexCfgMain::FillRecentList()
{
    if (lstRecentConfigurations == nullptr)
        return;
    // Files since moved or deleted are not offered.
    const QStringList files = ExistingRecentFiles(ReadRecentFiles(SetupData.IniFileName));
    lstRecentConfigurations->clear();
    for (const QString &file : files) {
        auto *item = new QListWidgetItem(QFileInfo(file).fileName(), lstRecentConfigurations);
        item->setData(Qt::UserRole, file);
        item->setToolTip(QDir::toNativeSeparators(file));
    }
    if (auto *caption = pnlRecentConfigurations->findChild<QLabel *>(QStringLiteral("lblRecentConfigurations")))
        caption->setText(LangMain(QStringLiteral("RecentConfigurations")));
    // The welcome picture makes room for the list while there is one.
    pnlRecentConfigurations->setVisible(!files.isEmpty());
    pnlWelcomeFrame->setGeometry(99, files.isEmpty() ? 32 : 16, 430, files.isEmpty() ? 440 : 328);
    imgWelcome->setGeometry(8, 8, 414, files.isEmpty() ? 424 : 312);
}

void TFrmVarnexCfgMain::OpenRecentFile(QListWidgetItem *item)
{
    if (item == nullptr)
        return;
    const QString file = item->data(Qt::UserRole).toString();
    if (!QFileInfo(file).isFile()) {
        WriteRecentFiles(SetupData.IniFileName, RemoveRecentFile(ReadRecentFiles(SetupData.IniFileName), file));
        ShowError(FormatArgs(LangMessages(QStringLiteral("ErrorRecentFileMissing")), QDir::toNativeSeparators(file)));
        FillRecentList();
        return;
    }
    OpenConfigurationFile(file);
}
