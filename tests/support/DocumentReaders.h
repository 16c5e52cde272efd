#pragma once
// Reading the documents back with real readers: a program's standard output
// (poppler's tools, python-docx through read_docx.py) and its non-empty lines.

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
