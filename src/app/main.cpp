// The program entry: the headless sizing mode, or the main window and its
// message loop.

#include "CaptionFit.h"
#include "HeadlessMain.h"
#include "QtMessageService.h"
#include "QtTranslations.h"
#include "TFrmVarnexCfgMain.h"
#include "WindowServices.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

namespace {

bool HasArgument(int argc, char **argv, const char *wanted)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], wanted) == 0)
            return true;
    }
    return false;
}

/// Qt ends the process with an abort when no window system is reachable; say
/// why in plain words instead.
bool DisplayAvailable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// Exit status when the start-up found no language file or no vendor library.
constexpr int kStartupFailedExitCode = 1;

} // namespace

int main(int argc, char **argv)
{
    if (IsHelpRequest(argc, argv))
        return PrintUsage();
    if (HasArgument(argc, argv, "--size"))
        return RunHeadlessMain(argc, argv);

    if (!DisplayAvailable()) {
        std::fputs("VarnexCfg: no display is available (DISPLAY and WAYLAND_DISPLAY are not set), so the window "
                   "cannot be shown.\nStart it from a desktop session, or under xvfb-run.\n",
                   stderr);
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Configurator"));
    SetApplicationTitle(QStringLiteral("Configurator"));
    QApplication::setWindowIcon(ProgramIcon());
    // Only the windows need it: the headless mode above never opens Qt's dialogs.
    InstallQtTranslations();
    LoadProgramFonts();
    InstallClippedCaptionReport();

    TQtMessageService messageBoxes;
    SetMessageService(&messageBoxes);

    int exitCode = 0;
    {
        TFrmVarnexCfgMain mainWindow;
        switch (mainWindow.StartupResult()) {
        case TStartupResult::EndProcess:
            // The folder error has been shown; nothing else runs.
            exitCode = 0;
            break;
        case TStartupResult::EndOnLoopStart:
            exitCode = kStartupFailedExitCode;
            break;
        case TStartupResult::Running:
            mainWindow.show();
            exitCode = app.exec();
            break;
        }
    }
    SetMessageService(nullptr);
    return exitCode;
}
