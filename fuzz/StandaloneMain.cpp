// Runs a fuzz target over saved inputs without libFuzzer: every file named, and
// every file inside every folder named. The ordinary tests run the corpora and
// the saved crash inputs this way; any failure aborts the process.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

int RunFile(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(name));
        return 1;
    }
    const QByteArray bytes = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int failures = 0, inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(path).isDir()) {
            QStringList names;
            QDirIterator it(path, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext())
                names << it.next();
            names.sort();
            for (const QString &name : names) {
                failures += RunFile(name);
                ++inputs;
            }
        } else if (QFileInfo::exists(path)) {
            failures += RunFile(path);
            ++inputs;
        }
    }
    std::printf("%d inputs run\n", inputs);
    return failures == 0 ? 0 : 1;
}
