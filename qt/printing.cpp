#include "qt/printing.h"

#include <vector>

#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QPageLayout>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>

#include "main/textes_programme.h"
#include "qt/form_view.h"
#include "qt/language.h"
#include "qt/plain_text.h"

namespace zqt {

namespace {

QString askPdfFile(QWidget* parent, const QString& title, const QString& suggested) {
    // Qt's own dialog, whatever the desktop offers: it speaks the language chosen in the
    // program, not the desktop's.
    QFileDialog dialog(parent, title, suggested, QStringLiteral("PDF (*.pdf)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

// The file name a user knows the window by: its caption.
QString pdfName(const FormView& view) {
    QString name = plainTitle(view.form().caption).simplified();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    if (name.isEmpty()) name = QString::fromStdString(view.form().name());
    return QDir::home().filePath(name + QStringLiteral(".pdf"));
}

// Selected text of the window's boxes, put aside while the page is drawn.
struct Selection {
    QPointer<QLineEdit> box;
    int start, length;
    bool backwards;
};

} // namespace

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
        const QString title = QString::fromStdString(
            zentrafo::TexteProgramme(zentrafo::Texte::TitreFichierPdf, speakChosenLanguage()));
        QString file = (route.askPdfFile ? route.askPdfFile : askPdfFile)(view.window(), title, pdfName(view));
        if (file.isEmpty()) return false;
        if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) file += QStringLiteral(".pdf");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
    }
    printer.setPageOrientation(QPageLayout::Landscape);
    // The window goes to the page as a picture of itself; 300 dots an inch keep the
    // names sharp without a picture of hundreds of megabytes behind them.
    printer.setResolution(300);
    printer.setDocName(plainTitle(view.form().caption));

    QPainter p;
    if (!p.begin(&printer)) return false;
    // True size: a view pixel is 15 twips at zoom 1, and 1440 twips make an inch.
    const double scale = printer.resolution() / (96.0 * view.form().zoom);
    // The window is drawn into a picture of whole dots first. Drawn straight onto the page,
    // Qt's own picture of it takes in the dot its right edge only partly covers and leaves
    // it transparent, which prints as a grey seam down the page.
    QImage picture((QSizeF(view.size()) * scale).toSize(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter into(&picture);
    into.scale(scale, scale);
    // The page shows the window's contents, not where the keyboard happens to be: no
    // text cursor, no focus frame, no selected text, whichever control has the
    // keyboard, even while another window is active. All of it comes back afterwards.
    std::vector<Selection> selections;
    for (QLineEdit* box : view.findChildren<QLineEdit*>()) {
        if (!box->hasSelectedText()) continue;
        selections.push_back({box, box->selectionStart(), box->selectionLength(), box->cursorPosition() == box->selectionStart()});
        box->deselect();
    }
    QPointer<QWidget> focused = view.window()->focusWidget();
    const bool moved = focused && view.isAncestorOf(focused);
    if (moved) view.giveFocus(&view);
    view.render(&into);
    if (moved && focused) view.giveFocus(focused);
    for (const Selection& s : selections)
        if (s.box) s.box->setSelection(s.backwards ? s.start + s.length : s.start, s.backwards ? -s.length : s.length);
    into.end();
    p.drawImage(0, 0, picture);
    return p.end();
}

} // namespace zqt
