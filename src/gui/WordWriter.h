#pragma once
// The Word document: the offer document written as an Office Open XML
// word-processing package (Word's own format for a new document), whatever
// extension the user gave it. Page set-up, the page header table with the two
// logos and the title, the page number in the footer, the drawing, the two
// tables, the total and the notes, in Word's paragraphs and tables.

#include "OfferDocument.h"
#include <QByteArray>
#include <QString>

/// The package's bytes; false with a reason when a picture cannot be encoded or
/// the package cannot be made.
bool BuildWordPackage(const TOfferDocument &doc, QByteArray &package, QString &error);

/// The outcome of a save, for the message the window shows.
enum class TWordResult { Saved, NotStarted, NotWritten };
/// Builds the package and writes it beside the target, renamed into place once complete.
TWordResult SaveWordDocument(const TOfferDocument &doc, const QString &fileName, QString &error);
