// The headless request file from any bytes, sized through the built program
// folder (catalogue, vendor library, language files): the run ends with exit 0
// and one JSON value per request, or exit 2 with a message and no output.

#include "FuzzSupport.h"
#include "Globals.h"
#include "Headless.h"
#include "Messages.h"
#include "Settings.h"
#include "Vendor.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QTextStream>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static TSilentMessageService messages;
    SetMessageService(&messages);
    SetupData = TSetupData();
    SetupData.ProgramPath = QStringLiteral(VX_PROGRAM_DIR);
    SetupData.LanguageFile = QStringLiteral("English.lng");
    SetupData.LanguageID = 1033;
    SetupData.VendorName = QStringLiteral("Quenvar");
    SetupData.DataPath = ScratchFolder().path() + u'/';
    FUZZ_CHECK(LoadVendorLibraryFile(SetupData.ProgramPath + QStringLiteral("Quenvar.so")));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString file = ScratchFile(QStringLiteral("requests.json"));
    WriteWholeFile(file, input);
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QString errText;
    QTextStream err(&errText);
    const int status = RunHeadlessSize(file, buffer, err, THeadlessHooks());
    err.flush();
    FUZZ_CHECK(status == 0 || status == 2);
    if (status == 2) {
        FUZZ_CHECK(out.isEmpty() && !errText.isEmpty());
        return 0;
    }
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(out, &parse);
    FUZZ_CHECK(parse.error == QJsonParseError::NoError);
    FUZZ_CHECK(doc.isObject() || doc.isArray());
    return 0;
}
