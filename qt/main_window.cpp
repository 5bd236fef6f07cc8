#include "qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QStyleFactory>

#include "main/marlix.h"
#include "qt/language.h"
#include "qt/plain_text.h"
#include "qt/qt_platform.h"

namespace zqt {

MainWindow::MainWindow(zentrafo::Marlix& w, QtPlatform* platform, QWidget* parent)
    : QMainWindow(parent), w_(w), platform_(platform), view_(new FormView(w.form, this)) {
    setCentralWidget(view_);
    setWindowTitle(plainTitle(w.form.caption));
    connect(view_, &FormView::captionChanged, this, &QMainWindow::setWindowTitle);
    connect(view_, &FormView::clientSizeChanged, this, [this] { fitToClient(); });
    fitToClient();
    if (platform_) platform_->attach(w_.form.name(), this, [this] { view_->sync(); });
    followLanguage(&w_.LangueCourante);
}

MainWindow::~MainWindow() {
    forgetLanguage(&w_.LangueCourante);
    if (platform_) platform_->detach(w_.form.name());
}

void MainWindow::fitToClient() {
    // The window is exactly its client area; it does not resize.
    const QSize client = view_->clientSize();
    view_->setFixedSize(client);
    setFixedSize(client.width(), client.height() + (menuWidget() ? menuWidget()->sizeHint().height() : 0));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    view_->sync();
    if (onClose && !onClose()) {
        event->ignore();
        view_->sync();
        return;
    }
    event->accept();
}

void prepareApplication() {
    // One style everywhere: the designed boxes are small, and this one draws them evenly.
    if (QStyle* fusion = QStyleFactory::create("Fusion")) QApplication::setStyle(fusion);
}

} // namespace zqt
