// The program update archive unpacked from any bytes into a folder of its own:
// nothing lands outside it, and a refused archive leaves nothing behind.

#include "FuzzSupport.h"
#include "UpdateArchive.h"

#include <QDir>
#include <QDirIterator>

namespace {

QStringList Tree(const QString &folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        names << it.next();
    names.sort();
    return names;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // scratch/archive.z beside scratch/program/, and a file outside the target
    // that a hostile entry could try to replace.
    const QString archive = ScratchFile(QStringLiteral("archive.z"));
    const QString target = ScratchFile(QStringLiteral("program"));
    const QString bystander = ScratchFile(QStringLiteral("outside.txt"));
    QDir(target).removeRecursively();
    FUZZ_CHECK(QDir().mkpath(target));
    WriteWholeFile(bystander, "keep");
    WriteWholeFile(archive, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QStringList outsideBefore = Tree(ScratchFolder().path());

    TUnpackError error;
    QStringList written;
    const bool ok = UnpackUpdateArchive(archive, target, error, {}, {}, &written);

    const QString root = QDir(target).canonicalPath() + u'/';
    for (const QString &name : Tree(target))
        FUZZ_CHECK(QFileInfo(name).canonicalFilePath().startsWith(root) && !QFileInfo(name).isSymLink());
    for (const QString &name : written)
        FUZZ_CHECK(QFileInfo(name).absoluteFilePath().startsWith(QDir(target).absolutePath() + u'/'));
    QStringList outsideAfter = Tree(ScratchFolder().path());
    outsideAfter.erase(std::remove_if(outsideAfter.begin(), outsideAfter.end(),
                                      [&](const QString &n) { return n.startsWith(target + u'/'); }),
                       outsideAfter.end());
    QStringList expected = outsideBefore;
    expected.erase(
        std::remove_if(expected.begin(), expected.end(), [&](const QString &n) { return n.startsWith(target + u'/'); }),
        expected.end());
    FUZZ_CHECK(outsideAfter == expected);
    FUZZ_CHECK(ReadWholeFile(bystander) == "keep");
    if (!ok)
        FUZZ_CHECK(!error.Detail.isEmpty() && Tree(target).isEmpty());
    return 0;
}
