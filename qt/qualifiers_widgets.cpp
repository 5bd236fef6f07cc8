// Widgets beyond one-line boxes and plain lists: text boxes of several lines whose
// double-click selection the program reads, and lists whose rows the program marks,
// where every press is a Click and the release a MouseUp.
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "qt/form_view.h"
#include "qt/widget_kinds.h"

namespace zqt {

using forms::Control;
using forms::Ev;
using forms::EventArgs;

namespace {

// The model ends its lines with CR LF; the widget shows one line end for each.
QString shown(const std::string& model) {
    QString s = q(model);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

// Byte offset in the model text of a position of the shown text (UTF-16 units).
int modelOffset(const std::string& model, int shownPos) {
    size_t i = 0;
    int units = 0;
    while (i < model.size() && units < shownPos) {
        const auto b = static_cast<unsigned char>(model[i]);
        if (b == '\r' && i + 1 < model.size() && model[i + 1] == '\n') {
            i += 2;
            ++units;
            continue;
        }
        const size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 1;
        i = std::min(model.size(), i + n);
        units += n == 4 ? 2 : 1;
    }
    return static_cast<int>(i);
}

int shownOffset(const std::string& model, int bytes) {
    bytes = std::clamp(bytes, 0, static_cast<int>(model.size()));
    return static_cast<int>(shown(model.substr(0, static_cast<size_t>(bytes))).size());
}

class TextArea : public QPlainTextEdit {
public:
    // Lines wrap at the box's width, between words, as such a box does.
    TextArea(FormView& view, Control& c, QWidget* parent) : QPlainTextEdit(parent), view_(view), c_(c) {
        connect(this, &QPlainTextEdit::textChanged, this, [this] {
            QString t = toPlainText();
            t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
            c_.setText(t.toStdString()); // raises Change
            view_.sync();
        });
    }

protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        // The widget selects the word first; the handler reads that selection.
        QPlainTextEdit::mouseDoubleClickEvent(e);
        const QTextCursor cur = textCursor();
        const int start = modelOffset(c_.text(), cur.selectionStart());
        const int end = modelOffset(c_.text(), cur.selectionEnd());
        c_.select(start, end - start);
        EventArgs none;
        view_.fire(c_, Ev::DblClick, none);
    }

private:
    FormView& view_;
    Control& c_;
};

class MarkList : public QListWidget {
public:
    MarkList(FormView& view, Control& c, QWidget* parent) : QListWidget(parent), view_(view), c_(c) {
        setSelectionMode(QAbstractItemView::MultiSelection);
    }

protected:
    // Marks are the program's: a press moves the current row and clicks, nothing more.
    void mousePressEvent(QMouseEvent* e) override {
        setFocus(Qt::MouseFocusReason);
        const int row = indexAt(e->position().toPoint()).row();
        c_.setListIndex(row);
        EventArgs none;
        view_.fire(c_, Ev::Click, none);
        e->accept();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        EventArgs a;
        a.button = e->button() == Qt::RightButton ? 2 : e->button() == Qt::MiddleButton ? 4 : 1;
        a.x = e->position().x() * 15.0;
        a.y = e->position().y() * 15.0;
        view_.fire(c_, Ev::MouseUp, a);
        e->accept();
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override { mousePressEvent(e); }

private:
    FormView& view_;
    Control& c_;
};

} // namespace

QWidget* FormView::makeTextArea(Control& c, QWidget* parent) { return new TextArea(*this, c, parent); }

QWidget* FormView::makeMarkList(Control& c, QWidget* parent) { return new MarkList(*this, c, parent); }

bool FormView::applyTextArea(Item& item, uint32_t bits) {
    auto* a = dynamic_cast<TextArea*>(item.widget);
    if (!a) return false;
    const Control& c = *item.control;
    if (bits & forms::DText) {
        const QString text = shown(c.text());
        if (a->toPlainText() != text) a->setPlainText(text);
    }
    if (bits & forms::DLocked) a->setReadOnly(c.locked());
    if (bits & (forms::DSelection | forms::DText)) {
        QTextCursor cur = a->textCursor();
        cur.setPosition(shownOffset(c.text(), c.selStart()));
        cur.setPosition(shownOffset(c.text(), c.selStart() + c.selLength()), QTextCursor::KeepAnchor);
        a->setTextCursor(cur);
    }
    return true;
}

void FormView::applyMarks(Item& item) {
    auto* l = dynamic_cast<MarkList*>(item.widget);
    if (!l) return;
    const Control& c = *item.control;
    l->setCurrentRow(c.listIndex(), QItemSelectionModel::NoUpdate);
    for (int r = 0; r < l->count(); ++r) l->item(r)->setSelected(c.selected(r));
}

void FormView::applyFocusRequest() {
    // A window still being loaded keeps the request until it shows (see showEvent).
    if (!isVisible()) return;
    Control* c = form_.focusRequest;
    form_.focusRequest = nullptr;
    if (!c) return;
    if (QWidget* w = widgetOf(*c); w && w->isVisible()) w->setFocus(Qt::OtherFocusReason);
}

} // namespace zqt
