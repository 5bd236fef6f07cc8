#pragma once
// Printing a window: its client area as drawn, on one landscape page at true size, to
// the default printer, or to a PDF file the user names when the machine has no printer.
#include <functional>

#include <QString>

class QWidget;

namespace zqt {

class FormView;

// Where a print goes. Tests replace both so that no real printer or dialog is reached.
struct PrintRoute {
    // Whether the machine has a printer to print on; unset: asks the print system.
    std::function<bool()> hasPrinter;
    // The PDF file to write instead, asked under `title` with `suggested` offered; an
    // empty name cancels. Unset: a save dialog in the user's language.
    std::function<QString(QWidget* parent, const QString& title, const QString& suggested)> askPdfFile;
};
PrintRoute& printRoute();

// Prints `view` as it shows now. False when nothing was printed (cancelled or failed).
bool printView(FormView& view);

} // namespace zqt
