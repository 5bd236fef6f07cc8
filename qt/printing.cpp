#include "qt/printing.h"

#include <QDir>
#include <QFileDialog>
#include <QPageLayout>
#include <QPainter>
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
    printer.setDocName(QString::fromStdString(view.form().caption));

    QPainter p;
    if (!p.begin(&printer)) return false;
    // True size: a view pixel is 15 twips at zoom 1, and 1440 twips make an inch.
    const double scale = printer.resolution() / (96.0 * view.form().zoom);
    p.scale(scale, scale);
    view.render(&p);
    return p.end();
}

} // namespace zqt
