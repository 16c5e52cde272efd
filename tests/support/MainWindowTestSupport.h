#pragma once
// Helpers of the main-window tests (header only: the gui tests link the windows).

#include "TFrmVarnexCfgMain.h"
#include "TFrmWizard.h"
#include "TestSupport.h"
#include "WindowServices.h"
#include "Version.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QtTest>
#include <memory>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <QStringList>

/// "major.minor" as the window caption shows it.
inline QString ProgramVersion() { return QStringLiteral("%1.%2").arg(VX_VERSION_MAJOR).arg(VX_VERSION_MINOR); }

/// Start-up options of a program file "VarnexCfg" in `programPath`.
inline TStartupOptions OptionsFor(const QString &programPath, const QStringList &arguments = {})
{
    TStartupOptions options;
    options.ProgramFileName = programPath + QStringLiteral("VarnexCfg");
    options.Arguments = arguments;
    // The update check at the first idle moment stays on this machine: nothing listens there.
    options.UpdateCheckUrl = QStringLiteral("http://127.0.0.1:9/VarnexCfgCheck.txt");
    return options;
}

/// New configuration through the real wizard: Next on every page with its defaults, Finish on the last.
inline void RunWizardWithDefaults(TFrmVarnexCfgMain &window)
{
    QTimer driver;
    driver.setInterval(20);
    int clicks = 0;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto *wizard = qobject_cast<TFrmWizard *>(QApplication::activeModalWidget());
        if (wizard == nullptr || ++clicks > 30)
            return;
        if (auto *next = wizard->findChild<QPushButton *>(QStringLiteral("btnNext")))
            next->click();
    });
    driver.start();
    Child<QAction>(window, "actNewConfiguration")->trigger();
}

/// The settings file of `home` naming the language file to start with (and no update check).
inline void WriteLanguageSetting(const TTempHome &home, const QString &languageFile)
{
    const QString data = home.DataHome() + QStringLiteral("/Varnex Configurator/");
    QDir().mkpath(data);
    QFile settings(data + QStringLiteral("VarnexCfg.ini"));
    if (!settings.open(QIODevice::WriteOnly))
        qWarning("the settings file cannot be written");
    settings.write("[Setup]\r\nCheckUpdates=0\r\nLanguageFile=" + languageFile.toLatin1() + "\r\n");
}

/// A sales engineer's contact in the settings file: new configurations then take references.
inline void WriteSalesEngineerSetting(const TTempHome &home)
{
    const QString data = home.DataHome() + QStringLiteral("/Varnex Configurator/");
    QDir().mkpath(data);
    QFile settings(data + QStringLiteral("VarnexCfg.ini"));
    if (!settings.open(QIODevice::Append))
        qWarning("the settings file cannot be written");
    settings.write("[Offer]\r\nSalesName=Anna Rossi\r\n");
}

/// A configuration file of this program version with the given request keys (JSON members, comma-separated).
inline QByteArray SavedConfiguration(const QByteArray &members)
{
    return R"({"programVersion": ")" + ProgramVersion().toUtf8() + R"(", "savedOn": "2026-12-01", )" + members + "}";
}

/// The window with a finished default configuration, optionally with the sample price list and in
/// the language of another language file than English.lng; with a configuration file's text, that
/// file is opened at start instead of running the wizard.
struct TWindowWithResults {
    TTempHome Home;
    TRecordingMessageService Boxes;
    std::unique_ptr<TFrmVarnexCfgMain> Window;

    explicit TWindowWithResults(bool prices, const QString &languageFile = QString(),
                                const QByteArray &configuration = QByteArray(), bool salesEngineer = false)
    {
        if (!languageFile.isEmpty())
            WriteLanguageSetting(Home, languageFile);
        if (salesEngineer)
            WriteSalesEngineerSetting(Home);
        if (prices) {
            const QString list = Home.DataHome() + QStringLiteral("/Varnex Configurator/PriceList.tc");
            QDir().mkpath(QFileInfo(list).absolutePath());
            QFile::copy(QStringLiteral(VX_BUILD_DIR "PriceList.tc"), list);
        }
        QStringList arguments;
        if (!configuration.isEmpty()) {
            arguments << Home.Path() + QStringLiteral("/start.vxcfg");
            QFile file(arguments.first());
            if (!file.open(QIODevice::WriteOnly) || file.write(configuration) != configuration.size())
                qWarning("cannot write the configuration file");
        }
        Window = std::make_unique<TFrmVarnexCfgMain>(OptionsFor(BuiltProgramPath(), arguments));
        Window->show();
        if (!QTest::qWaitForWindowExposed(Window.get()))
            qWarning("the window was not exposed");
        QTRY_VERIFY(Window->FirstIdleDone());
        if (configuration.isEmpty())
            RunWizardWithDefaults(*Window);
        else
            QTRY_VERIFY(Window->HasConfiguration());
    }
    ~TWindowWithResults()
    {
        SetSaveFileNameHook({});
        Window->close();
    }

    /// Save through the save dialog's answer.
    void Save(int filter, const QString &fileName)
    {
        SetSaveFileNameHook([=](const QStringList &, QString &name) {
            name = fileName;
            return filter;
        });
        Child<QAction>(*Window, "actSaveConfiguration")->trigger();
    }
};
