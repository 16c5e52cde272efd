#pragma once
// Reading the documents back with real readers: a program's standard output
// (poppler's tools, python-docx through read_docx.py) and its non-empty lines;
// and the headless program writing a request's documents to read.

#include "TestSupport.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

/// Runs a program to its end (two minutes at most) and gives its standard output.
inline QString Run(const QString &program, const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    if (exitCode)
        *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAllStandardOutput());
}

/// The lines that hold more than blanks, each with its blanks folded.
inline QStringList NonEmptyLines(const QString &text)
{
    QStringList lines;
    for (const QString &line : text.split(u'\n'))
        if (!line.trimmed().isEmpty())
            lines << line.simplified();
    return lines;
}

/// What python-docx reads of a Word document (tests/support/read_docx.py).
inline QJsonObject ReadWordDocument(const QString &fileName, int *exitCode = nullptr)
{
    return QJsonDocument::fromJson(
               Run(QStringLiteral("/usr/bin/python3"), {QStringLiteral(VX_SOURCE_DIR "tests/support/read_docx.py"), fileName},
                   exitCode)
                   .toUtf8())
        .object();
}

/// Writes `bytes` to a new file `name`; false unless all of them were written.
inline bool WriteBytes(const QString &name, const QByteArray &bytes)
{
    QFile f(name);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

/// Sizes one request with the built program into `dir`/`name`.pdf and .doc; its
/// answer, or an empty object when the program failed.
inline QJsonObject ExportDocuments(const QByteArray &request, const QString &dir, const QString &name)
{
    const QString file = dir + QLatin1Char('/') + name + QStringLiteral(".json");
    if (!WriteBytes(file, request))
        return {};
    int exitCode = -1;
    const QString base = dir + QLatin1Char('/') + name;
    const QString out = Run(BuiltProgramPath() + QStringLiteral("VarnexCfg"),
                            {QStringLiteral("--size"), file, QStringLiteral("--pdf"), base + QStringLiteral(".pdf"),
                             QStringLiteral("--doc"), base + QStringLiteral(".doc")},
                            &exitCode);
    return exitCode == 0 ? QJsonDocument::fromJson(out.toUtf8()).object() : QJsonObject();
}
