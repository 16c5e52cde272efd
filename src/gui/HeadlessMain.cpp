#include "HeadlessMain.h"

#include "Globals.h"
#include "Headless.h"
#include "Lang.h"
#include "LayoutPainter.h"
#include "Messages.h"
#include "PriceList.h"
#include "Settings.h"
#include "Vendor.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>

namespace {

/// No window may open: every message box is dropped and every question answered No.
class TSilentMessageService : public IMessageService {
public:
    void ShowError(const QString &) override {}
    void ShowWarning(const QString &) override {}
    void ShowInfo(const QString &) override {}
    bool AskYesNo(const QString &) override { return false; }
};

int Usage(QTextStream &err)
{
    err << "Usage: VarnexCfg --size REQUEST.json [--layout-image LAYOUT.png]" << Qt::endl;
    return 2;
}

} // namespace

int RunHeadlessMain(int argc, char **argv)
{
    // Never ask for a display, whatever the environment says.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a runtime folder Qt warns on standard error, which belongs to our own messages.
    std::unique_ptr<QTemporaryDir> runtimeDir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtimeDir = std::make_unique<QTemporaryDir>();
        if (runtimeDir->isValid())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir->path()));
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Configurator"));

    QTextStream err(stderr);

    QString requestFile, layoutImage;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--size") || args[i] == QLatin1String("--layout-image")) {
            if (i + 1 >= args.size())
                return Usage(err);
            (args[i] == QLatin1String("--size") ? requestFile : layoutImage) = args[i + 1];
            ++i;
        } else if (args[i].compare(QLatin1String("/DEBUG"), Qt::CaseInsensitive) != 0) {
            // "/DEBUG" belongs to the windowed program; a request sets its own debug mode.
            err << "Unknown argument: " << args[i] << Qt::endl;
            return Usage(err);
        }
    }
    if (requestFile.isEmpty())
        return Usage(err);

    TSilentMessageService silent;
    SetMessageService(&silent);

    SetupData.ProgramPath = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    ComputePaths(SetupData);
    int status = 0;
    if (!SelectLanguage()) {
        err << "No language files founded. Impossible to continue." << Qt::endl;
        status = 2;
    } else if (!LoadVendorLibrary()) {
        err << "The vendor library " << SetupData.VendorName << ".so cannot be loaded from "
            << SetupData.ProgramPath << Qt::endl;
        status = 2;
    } else {
        // The price list of the data folder, as the window opens it.
        SetupData.ProductName = VendorText(101);
        SetupData.ShowPrices = LoadPriceList();
        QFile standardOutput;
        if (!standardOutput.open(stdout, QIODevice::WriteOnly)) {
            err << "Cannot write to standard output" << Qt::endl;
            status = 2;
        } else {
            status = RunHeadlessSize(requestFile, standardOutput, err, MakeLayoutHooks(layoutImage));
            standardOutput.close();
        }
        ClosePriceListDatabase();
    }
    UnloadVendorLibrary();
    SetMessageService(nullptr);
    return status;
}
