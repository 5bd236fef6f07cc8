#pragma once
// The program's main window on the desktop: its form drawn at the form's client size.
#include <functional>

#include <QMainWindow>

#include "qt/form_view.h"

namespace zentrafo {
class Marlix;
}

namespace zqt {

class QtPlatform;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `platform`, when given, may print this window and parents its dialogs on it.
    explicit MainWindow(zentrafo::Marlix& w, QtPlatform* platform = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    FormView& view() const { return *view_; }

    // Asked when the user closes the window; false keeps it open. Unset: it closes.
    std::function<bool()> onClose;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void fitToClient();

    zentrafo::Marlix& w_;
    QtPlatform* platform_;
    FormView* view_;
};

// Application-wide look shared by the program, its end-to-end tests and benchmarks.
void prepareApplication();

} // namespace zqt
