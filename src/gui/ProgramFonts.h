#pragma once
// The program's fonts, the same for the windows, the drawing, the documents
// and the headless pictures. The face is Tahoma; the Tahoma bold found on
// these systems is drawn with hardly more weight than the regular one, so bold
// text uses DejaVu Sans Condensed Bold, whose widths are within 2 % of Tahoma
// Bold's, and falls back to Tahoma where that family is missing.

#include <QFont>

/// Registers the Tahoma face of the system's Windows fonts with the program (once).
void LoadProgramFonts();

QFont ProgramFont(int pointSize, bool bold = false);
QFont ProgramPixelFont(int pixelSize, bool bold = false);
/// `font` at its size in the program's bold face.
QFont ProgramBold(const QFont &font);
/// Arial, or where it is missing its metric twin Liberation Sans (named, so that
/// no search for a substitute is needed), at the default size.
QFont ProgramSansFont();
/// The documents' face at a point size, bold or regular.
QFont ProgramSansFont(qreal pointSize, bool bold = false);
