// The current printer of the session. Every print dialog starts on it, and the
// choice made with the printer button of any print dialog becomes the current
// printer for the rest of the session. With no printer installed, the current
// printer is Qt's PDF printer writing a file in the program's working folder
// (set once by the main window; the process's current folder until then).
#pragma once

#include <QString>

class QPrinter;

namespace tw::printing {

inline constexpr const char* kPdfFileName = "Tallowind.pdf";

// The folder the PDF printer writes into when no printer is installed.
void setPdfFolder(const QString& folder);
// Puts the current printer's choice (printer or PDF file, page and copies) into `printer`.
void applyCurrentPrinter(QPrinter& printer);
// Makes the choice held by `printer` the current printer.
void rememberCurrentPrinter(const QPrinter& printer);
// Back to the start of the session: no choice made yet (tests).
void forgetCurrentPrinter();

} // namespace tw::printing
