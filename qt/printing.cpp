#include "qt/printing.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPageLayout>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>

#include "qt/form_view.h"

namespace zqt {

PrintRoute& printRoute() {
    static PrintRoute route;
    return route;
}

bool printView(FormView& view) {
    view.sync();
    const PrintRoute& route = printRoute();
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    const bool hasPrinter = route.hasPrinter ? route.hasPrinter() : !defaultPrinter.isNull();

    QPrinter printer(QPrinter::HighResolution);
    if (hasPrinter) {
        if (!defaultPrinter.isNull()) printer.setPrinterName(defaultPrinter.printerName());
    } else {
        // No printer at all: the page goes to a PDF file the user names.
        const QString suggested = QDir::home().filePath(QString::fromStdString(view.form().name()) + ".pdf");
        QString file = route.askPdfFile
                           ? route.askPdfFile(view.window(), suggested)
                           : QFileDialog::getSaveFileName(view.window(), QStringLiteral("Imprimer dans un fichier PDF"),
                                                          suggested, QStringLiteral("PDF (*.pdf)"));
        if (file.isEmpty()) return false;
        if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) file += QStringLiteral(".pdf");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
    }
    printer.setPageOrientation(QPageLayout::Landscape);
    // The window goes to the page as a picture of itself; 300 dots an inch keep the
    // names sharp without a picture of hundreds of megabytes behind them.
    printer.setResolution(300);
    printer.setDocName(QString::fromStdString(view.form().caption));

    QPainter p;
    if (!p.begin(&printer)) return false;
    // True size: a view pixel is 15 twips at zoom 1, and 1440 twips make an inch.
    const double scale = printer.resolution() / (96.0 * view.form().zoom);
    p.scale(scale, scale);
    // The page shows the window's contents, not where the keyboard happens to be: no
    // text cursor, no focus frame.
    QPointer<QWidget> focused = QApplication::focusWidget();
    if (focused && view.isAncestorOf(focused)) focused->clearFocus();
    else focused = nullptr;
    view.render(&p);
    if (focused) focused->setFocus();
    return p.end();
}

} // namespace zqt
