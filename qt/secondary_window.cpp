#include "qt/secondary_window.h"

#include <functional>

#include <QCloseEvent>
#include <QIcon>

#include "qt/plain_text.h"

namespace zqt {

SecondaryWindow::SecondaryWindow(forms::Form& form, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      form_(&form), view_(new FormView(form, this)) {
    setWindowTitle(plainTitle(form.caption));
    if (!form.icon.empty()) setWindowIcon(QIcon(":/pictures/" + QString::fromStdString(form.icon) + ".svg"));
    connect(view_, &FormView::captionChanged, this, &QWidget::setWindowTitle);
    connect(view_, &FormView::clientSizeChanged, this, [this] { fitToClient(); });
    fitToClient();
}

void SecondaryWindow::fitToClient() {
    view_->move(0, 0);
    setFixedSize(view_->clientSize());
}

void SecondaryWindow::unload() {
    view_->detach();
    form_ = nullptr;
    // Ends a modal run; a window shown without one just goes.
    done(QDialog::Rejected);
    hide();
}

void SecondaryWindow::requestClose() {
    if (!form_) return;
    // The owner drops the form while this runs, so the request is called from a copy.
    const std::function<void()> close = form_->closeRequested;
    if (close)
        close();
    else
        unload();
}

void SecondaryWindow::closeEvent(QCloseEvent* event) {
    requestClose();
    event->accept();
}

void SecondaryWindow::reject() {
    // Escape closes the window as its close box does.
    requestClose();
}

} // namespace zqt
