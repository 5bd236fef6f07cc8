#pragma once
// A secondary window of the program on the desktop: a top-level window that draws one
// form, modal or not, and hands its close box to the form's owner.
#include <QDialog>

#include "qt/form_view.h"

namespace zqt {

class SecondaryWindow : public QDialog {
    Q_OBJECT
public:
    SecondaryWindow(forms::Form& form, QWidget* parent);

    FormView& view() const { return *view_; }
    // The form is being unloaded: the window closes and never touches the form again.
    void unload();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void fitToClient();
    void requestClose();

    forms::Form* form_;
    FormView* view_;
};

} // namespace zqt
