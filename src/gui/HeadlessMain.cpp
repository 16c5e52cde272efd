#include "HeadlessMain.h"

#include "BomExport.h"
#include "Globals.h"
#include "Headless.h"
#include "Lang.h"
#include "LayoutPainter.h"
#include "Messages.h"
#include "OfferDocument.h"
#include "OfferSettings.h"
#include "ReportWriter.h"
#include "ResultExports.h"
#include "TextUtils.h"
#include "WindowServices.h"
#include "WordWriter.h"
#include "PriceList.h"
#include "Settings.h"
#include "Startup.h"
#include "Vendor.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

const char kUsage[] =
    "Usage: VarnexCfg [/DEBUG] [OFFER.vxcfg]\n"
    "       VarnexCfg --size REQUEST.json [--layout-image LAYOUT.png] [--pdf OFFER.pdf] [--doc OFFER.doc]"
    " [--bmp LAYOUT.bmp] [--xlsx ITEMS.xlsx] [--csv ITEMS.csv]\n"
    "       VarnexCfg --help\n"
    "  Without --size the window opens (with the configuration file named, if any).\n"
    "  --size sizes the requests of the file and prints the answers as JSON, without a window.\n"
    "  A document name may hold {n}: one document per accepted request, n counting from 1;\n"
    "  without it the first accepted request is written.\n"
    "  Exit status: 0 done; 1 a document, picture or the answers could not be written;\n"
    "  2 wrong arguments, an unreadable request file, or the program cannot start.\n";

int Usage(QTextStream &err)
{
    err << kUsage << Qt::flush;
    return 2;
}

/// Where the documents of the accepted requests go.
struct TExportTargets {
    QString Pdf, Doc, Bmp, Xlsx, Csv;
    bool Any() const
    {
        return !Pdf.isEmpty() || !Doc.isEmpty() || !Bmp.isEmpty() || !Xlsx.isEmpty() || !Csv.isEmpty();
    }
};

/// Says on standard error which file could not be written and why, and
/// remembers that the run failed.
using TWriteFailed = std::function<void(const QString &message)>;

/// Writes the documents of each accepted request exactly as the window writes them,
/// and says in the answer where they went or why they did not.
void AddExportHook(THeadlessHooks &hooks, const TExportTargets &targets, const TWriteFailed &writeFailed)
{
    if (!targets.Any())
        return;
    auto accepted = std::make_shared<int>(0);
    const QString title = ProductTitle(SetupData.ProductName);
    const TSalesContact contact = ReadSalesContact(SetupData.IniFileName);
    hooks.ExportResult = [targets, accepted, title, contact, writeFailed](
                             const TRequestParameters &request, TResultParameters &result, const TItemList &items,
                             const QVector<TDataRow> &sheet, const TBatteryEnvironment &env, const TOfferDetails &offer,
                             const TComparison &comparison, QJsonObject &json) {
        const int number = ++*accepted;
        const QImage layout = RenderLayoutBitmap(request, result);
        TOfferDocument doc = BuildOfferDocument(items, sheet, layout, title, SetupData.Version);
        AddOfferBlock(doc, items, offer, contact);
        AddRuntimeBlock(doc, request, result, env);
        AddComparisonBlock(doc, comparison);
        auto target = [number](const QString &pattern) {
            if (pattern.isEmpty() || (number > 1 && !pattern.contains(QLatin1String("{n}"))))
                return QString();
            return NumberedFileName(pattern, number);
        };
        auto report = [&json, &writeFailed](const char *key, const QString &file, bool written,
                                            const QString &error) {
            if (written) {
                json[QLatin1String(key)] = file;
                return;
            }
            json[QLatin1String(key) + QLatin1String("Error")] = file + QStringLiteral(": ") + error;
            writeFailed(QStringLiteral("Cannot write \"%1\": %2").arg(file, error));
        };
        QString error;
        if (const QString file = target(targets.Pdf); !file.isEmpty())
            report("pdf", file, WritePdfReport(doc, file, error), error);
        if (const QString file = target(targets.Doc); !file.isEmpty())
            report("doc", file, SaveWordDocument(doc, file, error) == TWordResult::Saved, error);
        if (const QString file = target(targets.Bmp); !file.isEmpty())
            report("bmp", file, WriteLayoutBitmap(layout, file, error), error);
        const TBomLabels labels = ProgramBomLabels(items, offer, PriceList.Currency);
        if (const QString file = target(targets.Xlsx); !file.isEmpty())
            report("xlsx", file, WriteBillOfMaterialsXlsx(items, offer, labels, file, error), error);
        if (const QString file = target(targets.Csv); !file.isEmpty())
            report("csv", file, WriteBillOfMaterialsCsv(items, offer, labels, file, error), error);
    };
}

/// The options and their values; false (after a message) for a wrong command line.
bool ReadArguments(const QStringList &args, QString &requestFile, QString &layoutImage, TExportTargets &targets,
                   QTextStream &err)
{
    const QList<QPair<QString, QString *>> options{{QStringLiteral("--size"), &requestFile},
                                                   {QStringLiteral("--layout-image"), &layoutImage},
                                                   {QStringLiteral("--pdf"), &targets.Pdf},
                                                   {QStringLiteral("--doc"), &targets.Doc},
                                                   {QStringLiteral("--bmp"), &targets.Bmp},
                                                   {QStringLiteral("--xlsx"), &targets.Xlsx},
                                                   {QStringLiteral("--csv"), &targets.Csv}};
    for (qsizetype i = 1; i < args.size(); ++i) {
        QString *value = nullptr;
        for (const auto &[name, target] : options)
            if (args[i] == name)
                value = target;
        if (value != nullptr) {
            // An empty name is no file: it would write nothing, or the folder's name.
            if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
                err << "The option " << args[i] << " needs a file name." << Qt::endl;
                return false;
            }
            *value = args[++i];
        } else if (args[i].compare(QLatin1String("/DEBUG"), Qt::CaseInsensitive) != 0) {
            // "/DEBUG" belongs to the windowed program; a request sets its own debug mode.
            err << "Unknown argument: " << args[i] << Qt::endl;
            return false;
        }
    }
    return !requestFile.isEmpty();
}

} // namespace

bool IsHelpRequest(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0)
            return true;
    return false;
}

int PrintUsage()
{
    const bool written = std::fputs(kUsage, stdout) >= 0;
    return std::fflush(stdout) == 0 && written ? 0 : 1;
}

int RunHeadlessMain(int argc, char **argv)
{
    // With standard output closed, the next file opened would take its place and
    // receive the answers.
    if (::fcntl(STDOUT_FILENO, F_GETFD) == -1) {
        std::fputs("Cannot write the answers: standard output is closed\n", stderr);
        return 1;
    }
    // A reader that went away is a write error, said and ended like any other.
    std::signal(SIGPIPE, SIG_IGN);
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
    // The same fonts as the window: the drawing and the documents look the same.
    LoadProgramFonts();

    QTextStream err(stderr);
    QString requestFile, layoutImage;
    TExportTargets targets;
    if (!ReadArguments(QCoreApplication::arguments(), requestFile, layoutImage, targets, err))
        return Usage(err);

    TSilentMessageService silent;
    SetMessageService(&silent);

    TStartupInput input;
    input.ProgramFileName = QCoreApplication::applicationFilePath();
    // Headless sizing leaves the data folders and the settings file alone; a
    // request sets its own debug mode.
    input.PrepareDataFolders = false;
    input.StopAtFirstFault = true;
    const TStartupFindings found = RunStartup(input);
    int status = 0;
    if (!found.LanguageFound) {
        err << "No language files founded. Impossible to continue." << Qt::endl;
        status = 2;
    } else if (!found.VendorLibraryLoaded) {
        err << "The vendor library " << SetupData.VendorName << ".so cannot be loaded from "
            << SetupData.ProgramPath << ": " << VendorLibraryError() << Qt::endl;
        status = 2;
    } else {
        // A document or picture not written is said at once and fails the run;
        // its answer says so too.
        bool writeFailed = false;
        const TWriteFailed failed = [&err, &writeFailed](const QString &message) {
            err << message << Qt::endl;
            writeFailed = true;
        };
        THeadlessHooks hooks = MakeLayoutHooks(layoutImage, failed);
        AddExportHook(hooks, targets, failed);
        QFile standardOutput;
        if (!standardOutput.open(stdout, QIODevice::WriteOnly)) {
            err << "Cannot write the answers: " << standardOutput.errorString() << Qt::endl;
            status = 1;
        } else {
            status = RunHeadlessSize(requestFile, standardOutput, err, hooks);
            standardOutput.close();
        }
        if (status == 0 && writeFailed)
            status = 1;
        ClosePriceListDatabase();
    }
    UnloadVendorLibrary();
    SetMessageService(nullptr);
    return status;
}
