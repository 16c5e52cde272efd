// Files the window saves: a save that cannot complete (a full disk) leaves the
// file that was there byte for byte and says so; the save dialog asks before
// the name that will really be written is replaced, and a typed extension of
// the dialog's other format chooses that format.

#include "MainWindowTestSupport.h"
#include "TestSupport.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

/// One of the window's saves: its action, the filter entries of its dialog and
/// the message shown when it fails (%1 the file).
struct TSaveKind {
    const char *Name;
    const char *Action; // the action's object name
    int Filter;
    const char *Extension;
};

const TSaveKind kSaves[] = {
    {"configuration file", "actSaveConfigurationFile", 1, ".vxcfg"},
    {"Word document", "actSaveConfiguration", 1, ".doc"},
    {"PDF file", "actSaveConfiguration", 2, ".pdf"},
    {"drawing", "actLayoutSaveToFile", 1, ".bmp"},
};

const TSaveKind &SaveKind(const QString &name)
{
    for (const TSaveKind &kind : kSaves)
        if (name == QLatin1String(kind.Name))
            return kind;
    qFatal("no save %s", qPrintable(name));
}

void WriteBytes(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString Replace(const QString &fileName)
{
    return QStringLiteral("The file %1 already exists. Do you want to replace it?").arg(fileName);
}

QString Saved(const QString &fileName) { return QStringLiteral("The file %1 has been saved successfully.").arg(fileName); }

} // namespace

class TestSavedFiles : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TWindowWithResults> m_window;
    int m_dialogs = 0; // save dialogs shown since the last Save

    /// Runs the save of `kind` with the dialog answering `filter` and `typed`
    /// the first time and Cancel after that.
    void Save(const TSaveKind &kind, int filter, const QString &typed)
    {
        m_dialogs = 0;
        SetSaveFileNameHook([=](const QStringList &, QString &name) {
            if (++m_dialogs > 1)
                return -1;
            name = typed;
            return filter;
        });
        Child<QAction>(*m_window->Window, kind.Action)->trigger();
        SetSaveFileNameHook({});
    }

private slots:
    void initTestCase() { m_window = std::make_unique<TWindowWithResults>(false); }
    void cleanupTestCase() { m_window.reset(); }
    void init()
    {
        m_window->Boxes.Messages.clear();
        m_window->Boxes.Answers.clear();
    }

    void fullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("save");
        QTest::addColumn<int>("fits"); // bytes of the file that fit; -1 all but the last, -2 half
        for (const TSaveKind &kind : kSaves)
            for (const int fits : {0, -2, -1})
                QTest::addRow("%s, %s", kind.Name,
                              fits == 0 ? "nothing fits" : fits == -2 ? "half fits" : "all but a byte fits")
                    << QString::fromLatin1(kind.Name) << fits;
    }

    void fullDiskKeepsTheOldFile()
    {
        QFETCH(QString, save);
        QFETCH(int, fits);
        const TSaveKind &kind = SaveKind(save);
        QTemporaryDir dir;
        // The size the file has when it can be written.
        const QString probe = dir.filePath(QStringLiteral("probe") + kind.Extension);
        Save(kind, kind.Filter, probe);
        QCOMPARE(m_window->Boxes.Texts(), QStringList{Saved(probe)});
        const qint64 size = QFileInfo(probe).size();
        QVERIFY(size > 100 && QFile::remove(probe));

        const QString target = dir.filePath(QStringLiteral("offer") + kind.Extension);
        const QByteArray before = "the offer saved last week";
        WriteBytes(target, before);
        m_window->Boxes.Messages.clear();
        m_window->Boxes.Answers = {true};
        {
            const TFileSizeLimit full(fits == -1 ? size - 1 : fits == -2 ? size / 2 : fits);
            Save(kind, kind.Filter, target);
        }
        const QString failed = kind.Extension == QLatin1String(".doc")
                                   ? QStringLiteral("An error occurred while creating or saving the Word document.")
                                   : QStringLiteral("The file %1 could not be saved.").arg(target);
        QCOMPARE(m_window->Boxes.Texts(), (QStringList{Replace(target), failed}));
        QCOMPARE(m_window->Boxes.Messages.last().Kind, QStringLiteral("error"));
        QCOMPARE(ReadFileBytes(target), before);
        QCOMPARE(FolderFiles(dir.path()), QStringList{QFileInfo(target).fileName()});
    }

    // The question is about the name written, whatever was typed; No brings the
    // dialog back and writes nothing.
    void replacingAsksAboutTheNameWritten_data()
    {
        QTest::addColumn<QString>("save");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("existing"); // in the folder before, "" for none
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("written"); // the file that holds the new document, "" for none

        for (const TSaveKind &kind : kSaves) {
            const QString name = QStringLiteral("offer-a") + kind.Extension;
            QTest::addRow("%s typed without extension, answered No", kind.Name)
                << kind.Name << kind.Filter << "offer-a" << name << false << "";
            QTest::addRow("%s typed without extension, answered Yes", kind.Name)
                << kind.Name << kind.Filter << "offer-a" << name << true << name;
            QTest::addRow("%s typed with another extension, answered No", kind.Name)
                << kind.Name << kind.Filter << "offer-a.txt" << name << false << "";
        }
        QTest::newRow("Word filter, .pdf typed, PDF there") << "Word document" << 1 << "offer.pdf" << "offer.pdf"
                                                           << false << "";
        QTest::newRow("PDF filter, .doc typed, Word document there")
            << "PDF file" << 2 << "offer.DOC" << "offer.doc" << true << "offer.doc";
        QTest::newRow("a Word document beside the PDF asked about is not asked about")
            << "PDF file" << 2 << "offer" << "offer.doc" << true << "offer.pdf";
    }

    void replacingAsksAboutTheNameWritten()
    {
        QFETCH(QString, save);
        QFETCH(int, filter);
        QFETCH(QString, typed);
        QFETCH(QString, existing);
        QFETCH(bool, answer);
        QFETCH(QString, written);
        QTemporaryDir dir;
        const QByteArray before = "the offer saved last week";
        const QString existingFile = dir.filePath(existing);
        WriteBytes(existingFile, before);
        m_window->Boxes.Answers = {answer};
        Save(SaveKind(save), filter, dir.filePath(typed));

        const bool asked = existing != QLatin1String("offer.doc") || !written.endsWith(QLatin1String(".pdf"));
        QStringList expected;
        if (asked)
            expected << Replace(existingFile);
        if (!written.isEmpty())
            expected << Saved(dir.filePath(written));
        QCOMPARE(m_window->Boxes.Texts(), expected);
        QCOMPARE(m_dialogs, asked && !answer ? 2 : 1);
        QStringList files{existing};
        if (!written.isEmpty() && written != existing)
            files << written;
        files.sort();
        QCOMPARE(FolderFiles(dir.path()), files);
        if (written != existing)
            QCOMPARE(ReadFileBytes(existingFile), before);
        if (!written.isEmpty())
            QVERIFY(ReadFileBytes(dir.filePath(written)) != before);
    }

    // A typed extension that names the dialog's other format chooses that format.
    void typedExtensionChoosesTheFormat_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("magic");
        QTest::newRow("Word filter, offer.pdf: a PDF file") << 1 << "offer.pdf" << "offer.pdf" << QByteArray("%PDF");
        QTest::newRow("Word filter, offer.PDF: a PDF file") << 1 << "offer.PDF" << "offer.pdf" << QByteArray("%PDF");
        QTest::newRow("PDF filter, offer.doc: a Word document") << 2 << "offer.doc" << "offer.doc" << QByteArray("PK");
        QTest::newRow("Word filter, offer.txt: a Word document") << 1 << "offer.txt" << "offer.doc" << QByteArray("PK");
        QTest::newRow("PDF filter, offer: a PDF file") << 2 << "offer" << "offer.pdf" << QByteArray("%PDF");
    }

    void typedExtensionChoosesTheFormat()
    {
        QFETCH(int, filter);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QByteArray, magic);
        QTemporaryDir dir;
        Save(SaveKind(QStringLiteral("Word document")), filter, dir.filePath(typed));
        QCOMPARE(m_window->Boxes.Texts(), QStringList{Saved(dir.filePath(written))});
        QCOMPARE(FolderFiles(dir.path()), QStringList{written});
        QVERIFY(ReadFileBytes(dir.filePath(written)).startsWith(magic));
    }
};

QTEST_MAIN(TestSavedFiles)
#include "test_saved_files.moc"
