#include "HeadlessMain.h"

#include "Globals.h"
#include "Headless.h"
#include "Lang.h"
#include "LayoutPainter.h"
#include "Messages.h"
#include "OfferDocument.h"
#include "ReportWriter.h"
#include "ResultExports.h"
#include "TextUtils.h"
#include "WindowServices.h"
#include "WordWriter.h"
#include "PriceList.h"
#include "Settings.h"
#include "Vendor.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>

namespace {

int Usage(QTextStream &err)
{
    err << "Usage: VarnexCfg --size REQUEST.json [--layout-image LAYOUT.png] [--pdf OFFER.pdf] [--doc OFFER.doc]"
           " [--bmp LAYOUT.bmp]\n"
           "  A document name may hold {n}: one document per accepted request, n counting from 1;\n"
           "  without it the first accepted request is written."
        << Qt::endl;
    return 2;
}

/// Where the documents of the accepted requests go.
struct TExportTargets {
    QString Pdf, Doc, Bmp;
    bool Any() const { return !Pdf.isEmpty() || !Doc.isEmpty() || !Bmp.isEmpty(); }
};

/// Writes the documents of each accepted request exactly as the window writes them,
/// and says in the answer where they went or why they did not.
void AddExportHook(THeadlessHooks &hooks, const TExportTargets &targets)
{
    if (!targets.Any())
        return;
    auto accepted = std::make_shared<int>(0);
    const QString title = ProductTitle(SetupData.ProductName);
    hooks.ExportResult = [targets, accepted, title](const TRequestParameters &request, TResultParameters &result,
                                                    const TItemList &items, const QVector<TDataRow> &sheet,
                                                    QJsonObject &json) {
        const int number = ++*accepted;
        const QImage layout = RenderLayoutBitmap(request, result);
        TOfferDocument doc = BuildOfferDocument(items, sheet, layout, title);
        AddRuntimeBlock(doc, request, result);
        auto target = [number](const QString &pattern) {
            if (pattern.isEmpty() || (number > 1 && !pattern.contains(QLatin1String("{n}"))))
                return QString();
            return NumberedFileName(pattern, number);
        };
        auto report = [&json](const char *key, const QString &file, bool written, const QString &error) {
            if (written)
                json[QLatin1String(key)] = file;
            else
                json[QLatin1String(key) + QLatin1String("Error")] = file + QStringLiteral(": ") + error;
        };
        QString error;
        if (const QString file = target(targets.Pdf); !file.isEmpty())
            report("pdf", file, WritePdfReport(doc, file, error), error);
        if (const QString file = target(targets.Doc); !file.isEmpty())
            report("doc", file, SaveWordDocument(doc, file, error) == TWordResult::Saved, error);
        if (const QString file = target(targets.Bmp); !file.isEmpty())
            report("bmp", file, WriteLayoutBitmap(layout, file, error), error);
    };
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
    // The same fonts as the window: the drawing and the documents look the same.
    LoadProgramFonts();

    QTextStream err(stderr);

    QString requestFile, layoutImage;
    TExportTargets targets;
    const QStringList args = QCoreApplication::arguments();
    const QList<QPair<QString, QString *>> options{{QStringLiteral("--size"), &requestFile},
                                                   {QStringLiteral("--layout-image"), &layoutImage},
                                                   {QStringLiteral("--pdf"), &targets.Pdf},
                                                   {QStringLiteral("--doc"), &targets.Doc},
                                                   {QStringLiteral("--bmp"), &targets.Bmp}};
    for (qsizetype i = 1; i < args.size(); ++i) {
        QString *value = nullptr;
        for (const auto &[name, target] : options)
            if (args[i] == name)
                value = target;
        if (value != nullptr) {
            if (i + 1 >= args.size())
                return Usage(err);
            *value = args[++i];
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
        SetupData.Version = FileVersionText(QCoreApplication::applicationFilePath(), false);
        SetupData.ShowPrices = LoadPriceList();
        THeadlessHooks hooks = MakeLayoutHooks(layoutImage);
        AddExportHook(hooks, targets);
        QFile standardOutput;
        if (!standardOutput.open(stdout, QIODevice::WriteOnly)) {
            err << "Cannot write to standard output" << Qt::endl;
            status = 2;
        } else {
            status = RunHeadlessSize(requestFile, standardOutput, err, hooks);
            standardOutput.close();
        }
        ClosePriceListDatabase();
    }
    UnloadVendorLibrary();
    SetMessageService(nullptr);
    return status;
}
