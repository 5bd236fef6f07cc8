#include "qt/form_view.h"
#include "qt/language.h"
#include "qt/picture_file.h"
#include "qt/plain_text.h"
#include "qt/svg_pictures.h"
#include "qt/widget_kinds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QSvgRenderer>
#include <QTimer>

// Resources of a static library are registered by hand, from the global namespace.
static void registerPictures() {
    static const bool once = [] {
        Q_INIT_RESOURCE(pictures);
        return true;
    }();
    (void)once;
}

namespace zqt {

using forms::Control;
using forms::Ev;
using forms::EventArgs;
using forms::Kind;

namespace {
constexpr uint32_t kAllBits = 0x7FFF;

bool drawnOnFace(Kind k) { return k == Kind::Image || k == Kind::Label || k == Kind::Shape || k == Kind::Line; }
} // namespace

namespace {
// Every live view, so that an event in one window brings the others up to date too.
std::vector<FormView*>& liveViews() {
    static std::vector<FormView*> views;
    return views;
}
void forget(FormView* v) {
    auto& all = liveViews();
    all.erase(std::remove(all.begin(), all.end(), v), all.end());
}
} // namespace

FormView::FormView(forms::Form& form, QWidget* parent) : QWidget(parent), form_(form) {
    registerPictures();
    liveViews().push_back(this);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colour(form.backColor));
    setPalette(pal);
    zoom_ = form.zoom;
    fontStep_ = form.fontStep;
    client_ = clientSize();
    setFixedSize(client_);
    setMouseTracking(true);
    caption_ = form.caption;
    setWindowTitle(plainTitle(caption_));
    // Sized once for every control the window starts with, instead of growing step by step.
    items_.reserve(form.controls().size());
    byWidget_.reserve(static_cast<qsizetype>(form.controls().size()));
    // The drawings take a good part of start-up: another thread draws them meanwhile,
    // and the widgets get them once all are made.
    PicturePrefetch prefetch(pictureRequests(), zoom_, devicePixelRatioF());
    deferPictures_ = true;
    sync();
    deferPictures_ = false;
    prefetch.collect();
    for (const Control* c : std::exchange(picturesDue_, {})) {
        auto it = items_.find(c);
        if (it != items_.end()) applyPicture(it->second);
    }
}

std::vector<PictureRequest> FormView::pictureRequests() const {
    std::vector<PictureRequest> requests;
    for (const auto& owned : form_.controls()) {
        const Control& c = *owned;
        if (c.picture().empty() || c.picture().front() == '/' || !c.visible() || inHiddenPanel(c)) continue;
        if (c.kind() == Kind::Button) {
            requests.push_back({":/pictures/" + q(c.picture()), {}, false});
        } else if (c.kind() == Kind::Image) {
            // The size applyGeometry gives the image.
            const int x = px(c.left()), y = px(c.top());
            requests.push_back({":/pictures/" + q(c.picture()),
                                QSize(px(c.left() + c.width()) - x, px(c.top() + c.height()) - y), c.stretch()});
        }
    }
    return requests;
}

FormView::~FormView() { detach(); }

void FormView::detach() {
    if (detached_) return;
    detached_ = true;
    forget(this);
    for (auto& [c, item] : items_) {
        if (item.timer) item.timer->stop();
        if (item.widget) item.widget->removeEventFilter(this);
    }
    byWidget_.clear();
    items_.clear();
    pressed_ = nullptr;
}

int FormView::px(double twips) const { return static_cast<int>(std::lround(twips * zoom_ / 15.0)); }

// The display scale draws the controls smaller, never the window.
QSize FormView::clientSize() const {
    return QSize(static_cast<int>(std::lround(form_.clientWidth / 15.0)), static_cast<int>(std::lround(form_.clientHeight / 15.0)));
}

void FormView::mouseMoveEvent(QMouseEvent* event) {
    // Only the window's bare surface: controls keep their own moves (see routeMouse).
    if (form_.mouseMove) {
        EventArgs a = mouseArgs(event);
        try {
            form_.mouseMove(a);
        } catch (...) {
            report("window mouse move");
        }
        sync();
    }
    QWidget::mouseMoveEvent(event);
}

void FormView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!detached_ && form_.focusRequest) applyFocusRequest();
}

QWidget* FormView::widgetOf(const Control& c) const {
    auto it = items_.find(&c);
    return it == items_.end() ? nullptr : it->second.widget;
}

Control* FormView::controlOf(const QObject* widget) const { return byWidget_.value(widget, nullptr); }

void FormView::sync() {
    syncOwn();
    const std::vector<FormView*> others = liveViews();
    for (FormView* v : others)
        if (v != this) v->syncOwn();
    // A click on a flag switches Qt's own texts too.
    speakChosenLanguage();
}

void FormView::syncOwn() {
    if (syncing_ || detached_) return;
    syncing_ = true;
    if (form_.zoom != zoom_ || form_.fontStep != fontStep_ || clientSize() != client_) rescale();
    if (form_.caption != caption_) {
        caption_ = form_.caption;
        setWindowTitle(plainTitle(caption_));
        emit captionChanged(plainTitle(caption_));
    }
    std::vector<Control*> raised;
    bool opened = false;
    for (Control* c : form_.takeDirty()) {
        uint32_t bits = c->dirty();
        if (bits == 0) continue;
        auto it = items_.find(c);
        if (it == items_.end() && inHiddenPanel(*c)) {
            // Drawn the first time its panel opens; its dirty bits stay set until then,
            // so the form does not list it again meanwhile.
            deferred_.push_back(c);
            continue;
        }
        if (it == items_.end() && c->kind() == Kind::ListBox && !c->visible()) {
            // A hidden list is only the program's memory, and a list is the costliest
            // widget to make: it gets one the first time it shows (see createShownLists).
            hiddenLists_.push_back(c);
            continue;
        }
        c->clearDirty();
        if (it == items_.end()) {
            create(*c);
            if (c->zOrder() > 0) raised.push_back(c);
            continue;
        }
        apply(it->second, bits);
        if (bits & forms::DZOrder) raised.push_back(c);
        if ((bits & forms::DVisible) && c->visible()) opened = true;
    }
    if (opened && !deferred_.empty()) createOpened(raised);
    if (!hiddenLists_.empty()) createShownLists(raised);
    std::stable_sort(raised.begin(), raised.end(), [](const Control* a, const Control* b) { return a->zOrder() < b->zOrder(); });
    for (Control* c : raised)
        if (QWidget* w = widgetOf(*c)) stackOnTop(*c, w);
    syncing_ = false;
    if (form_.focusRequest) {
        applyFocusRequest();
        if (form_.anyDirty()) syncOwn();
    }
}

void FormView::rescale() {
    zoom_ = form_.zoom;
    fontStep_ = form_.fontStep;
    client_ = clientSize();
    setFixedSize(client_);
    for (auto& [c, item] : items_) {
        if (!item.widget) continue; // timers
        applyFont(item);
        applyGeometry(item);
        fitText(item);
        applyPicture(item);
    }
    emit clientSizeChanged(client_);
}

bool FormView::inHiddenPanel(const Control& c) {
    // Timers run whether their panel shows or not.
    if (c.kind() == Kind::Timer) return false;
    for (const Control* p = c.parent(); p; p = p->parent())
        if (!p->visible()) return true;
    return false;
}

void FormView::createOpened(std::vector<Control*>& raised) {
    std::vector<Control*> still;
    for (Control* c : deferred_) {
        if (items_.count(c)) continue; // made already as the parent of another
        if (inHiddenPanel(*c)) {
            still.push_back(c);
            continue;
        }
        c->clearDirty();
        create(*c);
        if (c->zOrder() > 0) raised.push_back(c);
    }
    deferred_.swap(still);
}

void FormView::createShownLists(std::vector<Control*>& raised) {
    std::vector<Control*> still;
    for (Control* c : hiddenLists_) {
        if (!c->visible() || inHiddenPanel(*c)) {
            still.push_back(c);
            continue;
        }
        c->clearDirty();
        QWidget* w = create(*c).widget;
        if (c->zOrder() > 0) raised.push_back(c);
        // Stacked where it would have been, made with the others: under the sibling of
        // its layer made after it.
        const auto& all = form_.controls();
        auto at = std::find_if(all.begin(), all.end(), [c](const auto& owned) { return owned.get() == c; });
        for (auto next = at == all.end() ? at : std::next(at); next != all.end(); ++next) {
            if ((*next)->parent() != c->parent() || drawnOnFace((*next)->kind())) continue;
            QWidget* sibling = widgetOf(**next);
            if (w && sibling && sibling->parentWidget() == w->parentWidget()) {
                w->stackUnder(sibling);
                lowestBox_.remove(w->parentWidget());
                break;
            }
        }
    }
    hiddenLists_.swap(still);
}

QWidget* FormView::parentWidgetOf(const Control& c) {
    if (!c.parent()) return this;
    auto it = items_.find(c.parent());
    if (it == items_.end()) {
        // Parents are created first; a parent still unseen is created now.
        c.parent()->clearDirty();
        QWidget* made = create(*c.parent()).widget;
        return made ? made : this;
    }
    return it->second.widget ? it->second.widget : this;
}

FormView::Item& FormView::create(Control& c) {
    QWidget* parent = parentWidgetOf(c);
    Item& item = items_[&c];
    item.control = &c;
    if (c.kind() == Kind::Timer) {
        item.timer = new QTimer(this);
        connect(item.timer, &QTimer::timeout, this, [this, &c] {
            EventArgs a;
            fire(c, Ev::Timer, a);
        });
        applyTimer(item);
        return item;
    }
    item.widget = makeWidget(c, parent);
    byWidget_.insert(item.widget, &c);
    // Every property change below sends the widget an event; the user's events are
    // routed only once it is made, so the filter comes after (hundreds of widgets).
    // Qt's own line edits already track the mouse: asking again costs another event.
    if (!item.widget->hasMouseTracking()) item.widget->setMouseTracking(true);
    apply(item, kAllBits);
    item.widget->installEventFilter(this);
    if (drawnOnFace(c.kind())) {
        if (QWidget* box = lowestBox(parent)) item.widget->stackUnder(box);
    } else if (auto known = lowestBox_.find(parent); known != lowestBox_.end() && known->none) {
        lowestBox_.erase(known); // the first of its layer
    }
    return item;
}

QWidget* FormView::lowestBox(QWidget* container) {
    Lowest& known = lowestBox_[container];
    if (!known.box && !known.none) {
        // Qt lists a widget's children bottom first.
        for (QObject* child : container->children()) {
            const Control* c = byWidget_.value(child, nullptr);
            if (c && !drawnOnFace(c->kind())) {
                known.box = static_cast<QWidget*>(child);
                break;
            }
        }
        known.none = !known.box;
    }
    return known.box;
}

void FormView::stackOnTop(const Control& c, QWidget* w) {
    QWidget* container = w->parentWidget();
    w->raise();
    if (!drawnOnFace(c.kind())) {
        if (auto known = lowestBox_.find(container); known != lowestBox_.end() && known->box == w) lowestBox_.erase(known);
    } else if (QWidget* box = lowestBox(container)) {
        w->stackUnder(box);
    }
}

QWidget* FormView::makeWidget(Control& c, QWidget* parent) {
    switch (c.kind()) {
    case Kind::TextBox: {
        if (c.multiLine()) return makeTextArea(c, parent);
        auto* e = new QLineEdit(parent);
        connect(e, &QLineEdit::textEdited, this, [this, &c, e] { onEdited(c, e); });
        return e;
    }
    case Kind::Label: {
        auto* l = new QLabel(parent);
        keepPlain(l);
        l->setWordWrap(true);
        return l;
    }
    case Kind::Button: {
        auto* b = new CaptionButton(parent);
        connect(b, &QPushButton::clicked, this, [this, &c] {
            EventArgs a;
            fire(c, Ev::Click, a);
        });
        return b;
    }
    case Kind::Frame:
        if (c.value() == 1) return new QWidget(parent);
        return new FrameBox(parent);
    case Kind::CheckBox: {
        auto* b = new QCheckBox(parent);
        connect(b, &QCheckBox::clicked, this, [this, &c](bool checked) {
            if (detached_) return;
            try {
                c.setValue(checked ? 1 : 0); // the model raises Click
            } catch (...) {
                report("check box");
            }
            sync();
        });
        return b;
    }
    case Kind::ComboBox: {
        auto* b = new QComboBox(parent);
        connect(b, &QComboBox::activated, this, [this, &c](int i) {
            if (detached_) return;
            try {
                c.setListIndex(i);
            } catch (...) {
                report("combo box");
            }
            EventArgs a;
            fire(c, Ev::Click, a);
        });
        return b;
    }
    case Kind::ListBox: {
        if (c.multiSelect()) return makeMarkList(c, parent);
        auto* l = new QListWidget(parent);
        connect(l, &QListWidget::currentRowChanged, this, [this, &c](int row) {
            if (detached_) return;
            try {
                c.setListIndex(row);
            } catch (...) {
                report("list box");
            }
            EventArgs a;
            fire(c, Ev::Click, a);
        });
        return l;
    }
    case Kind::Image: {
        auto* l = new QLabel(parent);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    }
    case Kind::Shape: return new ShapeWidget(c, parent);
    case Kind::Line: return new LineWidget(c, *this, parent);
    case Kind::Timer: break;
    }
    return new QWidget(parent);
}

void FormView::apply(Item& item, uint32_t bits) {
    if (item.timer) {
        if (bits & forms::DTimer) applyTimer(item);
        return;
    }
    Control& c = *item.control;
    QWidget* w = item.widget;
    const QSignalBlocker quiet(w);
    if (bits & forms::DFont) applyFont(item);
    if (bits & forms::DGeometry) applyGeometry(item);
    if (bits & forms::DColors) applyColors(item);
    if (bits & forms::DEnabled) w->setEnabled(c.enabled());
    if (bits & forms::DToolTip) {
        // Unchanged, it would still send an event: most controls never have a tip.
        const QString tip = plainToolTip(c.toolTip());
        if (tip != w->toolTip()) w->setToolTip(tip);
    }
    if ((bits & forms::DItems) || ((bits & forms::DVisible) && c.kind() == Kind::ListBox)) applyItems(item);
    if (c.multiLine() && applyTextArea(item, bits)) bits &= ~(forms::DText | forms::DSelection | forms::DLocked);
    if (bits & forms::DText) applyText(item);
    if (bits & (forms::DText | forms::DFont | forms::DGeometry | forms::DItems | forms::DVisible)) fitText(item);
    if (bits & forms::DLocked)
        if (auto* e = qobject_cast<QLineEdit*>(w)) e->setReadOnly(c.locked());
    if (bits & forms::DValue) {
        if (auto* b = qobject_cast<QCheckBox*>(w))
            b->setCheckState(c.value() == 1 ? Qt::Checked : c.value() == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
        else if (auto* p = qobject_cast<QPushButton*>(w))
            p->setDefault(c.isDefault());
    }
    if (bits & (forms::DPicture | forms::DGeometry | forms::DFont | forms::DText)) applyPicture(item);
    if (bits & forms::DPicture) {
        if (c.mouseIcon() == "hand")
            w->setCursor(Qt::PointingHandCursor);
        else if (w->testAttribute(Qt::WA_SetCursor)) // else there is none to unset, only an event to send
            w->unsetCursor();
    }
    if (bits & forms::DSelection) applySelection(item);
    if (c.kind() == Kind::Shape || c.kind() == Kind::Line) w->update();
    if ((bits & forms::DVisible) && item.pictureStale && c.visible()) applyPicture(item);
    if (bits & forms::DVisible) {
        if (!c.visible()) parkFocus(w);
        w->setVisible(c.visible());
        if (c.visible()) returnFocus(w);
    }
}

void FormView::giveFocus(QWidget* w) {
    const bool outer = std::exchange(quietFocus_, true);
    // As a popup's brief visit, which Qt's controls do not take for the user moving on: a
    // button that lends the keyboard stays the one Enter presses. Given back while another
    // window is active, it would never hear that it has it again, and Enter would press
    // the window's first button.
    w->setFocus(Qt::PopupFocusReason);
    quietFocus_ = outer;
}

void FormView::parkFocus(QWidget* hidden) {
    QWidget* focused = window()->focusWidget();
    if (!focused || (focused != hidden && !hidden->isAncestorOf(focused))) return;
    parked_ = focused;
    giveFocus(this);
}

void FormView::returnFocus(QWidget* shown) {
    if (!parked_ || (parked_ != shown && !shown->isAncestorOf(parked_)) || !parked_->isVisibleTo(window())) return;
    QWidget* back = std::exchange(parked_, nullptr);
    if (window()->focusWidget() == this) giveFocus(back);
}

void FormView::applyGeometry(Item& item) {
    const Control& c = *item.control;
    if (c.kind() == Kind::Line) {
        item.widget->setGeometry(static_cast<LineWidget*>(item.widget)->span());
        return;
    }
    // Edges are rounded, not sizes, so boxes that touch in twips touch on screen.
    const int x = px(c.left()), y = px(c.top());
    item.widget->setGeometry(x, y, px(c.left() + c.width()) - x, px(c.top() + c.height()) - y);
}

void FormView::applyColors(Item& item) {
    const Control& c = *item.control;
    QWidget* w = item.widget;
    const QColor fore = colour(c.foreColor()), back = colour(c.backColor());
    QPalette pal = w->palette();
    auto foreground = [&](QPalette::ColorRole role) {
        // Disabled controls keep the desktop's greyed text.
        pal.setColor(QPalette::Active, role, fore);
        pal.setColor(QPalette::Inactive, role, fore);
    };
    // Framed boxes hide what lies under them (panels are stacked in one place). Labels
    // and borderless boxes that show the window's own face let their parent show
    // through, so a borderless box laid over a panel's edge leaves the edge drawn.
    const bool framed = c.kind() == Kind::Frame && qobject_cast<QGroupBox*>(w);
    const bool opaque = framed || c.backColor() != forms::ButtonFace;
    switch (c.kind()) {
    case Kind::TextBox:
    case Kind::ComboBox:
    case Kind::ListBox:
        pal.setColor(QPalette::Base, back);
        foreground(QPalette::Text);
        break;
    case Kind::Button:
        pal.setColor(QPalette::Button, back);
        foreground(QPalette::ButtonText);
        break;
    case Kind::Label:
    case Kind::Frame:
    case Kind::CheckBox:
        pal.setColor(QPalette::Window, back);
        foreground(QPalette::WindowText);
        w->setAutoFillBackground(opaque);
        break;
    case Kind::Image:
        pal.setColor(QPalette::Window, back);
        break;
    case Kind::Shape:
    case Kind::Line:
    case Kind::Timer: return;
    }
    w->setPalette(pal);
}

void FormView::applyFont(Item& item) {
    const Control& c = *item.control;
    if (c.kind() == Kind::Shape || c.kind() == Kind::Line || c.kind() == Kind::Image) return;
    QFont f;
    f.setFamilies(families(c.fontName()));
    f.setStyleHint(QFont::SansSerif);
    // Points of the design at 96 pixels an inch, the same scale as twips / 15. The display
    // scale changes fonts by its whole-point step only, not by the zoom.
    f.setPixelSize(designPixels(c));
    f.setBold(c.fontBold());
    item.widget->setFont(f);
    const Qt::Alignment h = horizontal(c.alignment());
    if (auto* e = qobject_cast<QLineEdit*>(item.widget))
        e->setAlignment(h | Qt::AlignVCenter);
    else if (c.kind() == Kind::Label)
        static_cast<QLabel*>(item.widget)->setAlignment(h | Qt::AlignTop);
}

int FormView::designPixels(const Control& c) const {
    return std::max(1, static_cast<int>(std::lround((c.fontSize() + fontStep_) * 96.0 / 72.0)));
}

void FormView::fitFont(Item& item, const std::function<bool(const QFontMetrics&)>& fits) {
    QWidget* w = item.widget;
    const int design = designPixels(*item.control);
    const int floor = std::max(1, design * 3 / 4);
    QFont f = w->font();
    f.setPixelSize(design);
    int px = design;
    while (px > floor && !fits(QFontMetrics(f))) f.setPixelSize(--px);
    if (w->font().pixelSize() != px) w->setFont(f);
}

void FormView::fitText(Item& item) {
    const auto widest = [](const QStringList& rows, const QFontMetrics& m) {
        int most = 0;
        for (const QString& r : rows) most = std::max(most, m.horizontalAdvance(r));
        return most;
    };
    switch (item.control->kind()) {
    case Kind::Label: {
        // A label one line high would wrap a long name out of sight ("Nouvelle-" for
        // "Nouvelle-Zélande" in a fixture row).
        auto* l = static_cast<QLabel*>(item.widget);
        QFont f = l->font();
        f.setPixelSize(designPixels(*item.control));
        const bool oneLine = l->height() < 2 * QFontMetrics(f).lineSpacing();
        fitFont(item, [&](const QFontMetrics& m) { return !oneLine || m.horizontalAdvance(l->text()) <= l->width(); });
        showWholeLines(l);
        break;
    }
    case Kind::ComboBox: {
        // A narrow box (the day and month of the day's panel) must show its two digits
        // beside the arrow.
        auto* b = static_cast<QComboBox*>(item.widget);
        QStyleOptionComboBox opt;
        opt.initFrom(b);
        const int room = b->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, b).width() - 2;
        QStringList rows;
        for (int i = 0; i < b->count(); ++i) rows << b->itemText(i);
        fitFont(item, [&](const QFontMetrics& m) { return widest(rows, m) <= room; });
        break;
    }
    case Kind::ListBox: {
        // Rows read whole, without a horizontal scroll bar.
        auto* l = qobject_cast<QListWidget*>(item.widget);
        if (!l || !item.control->visible()) break;
        QStringList rows;
        for (int i = 0; i < l->count(); ++i) rows << l->item(i)->text();
        const int margins = 2 * (l->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, l) + 1);
        const QRect inside = l->contentsRect();
        fitFont(item, [&](const QFontMetrics& m) {
            const bool scrolls = rows.size() * m.height() > inside.height();
            const int bar = scrolls ? l->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, l) : 0;
            return widest(rows, m) + margins < inside.width() - bar; // the view adds a pixel
        });
        break;
    }
    default: break;
    }
}

void FormView::applyText(Item& item) {
    const Control& c = *item.control;
    const QString text = q(c.text());
    switch (c.kind()) {
    case Kind::TextBox: {
        auto* e = static_cast<QLineEdit*>(item.widget);
        if (e->text() == text) return;
        e->setText(text);
        if (editing_.edit == e) e->setCursorPosition(cursorAfterRewrite(editing_.typed, editing_.cursor, text));
        break;
    }
    case Kind::Label: static_cast<QLabel*>(item.widget)->setText(text); break;
    case Kind::Button: static_cast<QPushButton*>(item.widget)->setText(text); break;
    case Kind::CheckBox: static_cast<QCheckBox*>(item.widget)->setText(text); break;
    case Kind::Frame:
        if (auto* f = qobject_cast<QGroupBox*>(item.widget)) f->setTitle(text);
        break;
    case Kind::ComboBox: static_cast<QComboBox*>(item.widget)->setCurrentIndex(static_cast<QComboBox*>(item.widget)->findText(text)); break;
    default: break;
    }
}

void FormView::applySelection(Item& item) {
    auto* e = qobject_cast<QLineEdit*>(item.widget);
    if (!e) return;
    const Control& c = *item.control;
    const int start = toQtIndex(c.text(), c.selStart());
    const int end = toQtIndex(c.text(), c.selStart() + c.selLength());
    if (end > start)
        e->setSelection(start, end - start);
    else
        e->setCursorPosition(start);
}

void FormView::applyItems(Item& item) {
    const Control& c = *item.control;
    QStringList list;
    list.reserve(c.listCount());
    for (const std::string& s : c.items()) list.push_back(q(s));
    if (auto* l = qobject_cast<QListWidget*>(item.widget)) {
        // A hidden list is only the program's memory: nobody needs its rows drawn.
        if (c.visible() || l->count() > 0) {
            l->clear();
            if (c.visible()) l->addItems(list);
        }
        l->setCurrentRow(c.visible() ? c.listIndex() : -1);
        if (c.multiSelect()) applyMarks(item);
    } else if (auto* b = qobject_cast<QComboBox*>(item.widget)) {
        b->clear();
        b->addItems(list);
        b->setCurrentIndex(c.listIndex());
    }
}

QPixmap FormView::picture(const std::string& name, const QSize& size, bool stretch) {
    if (name.empty()) return {};
    // A downloaded picture is named by its file's absolute path, read afresh each time.
    if (name.front() == '/') {
        const QImage img = readPictureFile(q(name));
        if (img.isNull()) return {};
        const QSize target = stretch ? size : img.size() * zoom_;
        if (target.isEmpty()) return {};
        return QPixmap::fromImage(target == img.size() ? img : img.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    const QString base = ":/pictures/" + q(name);
    if (const std::shared_ptr<QSvgRenderer> svg = parsedSvg(base))
        return drawnSvg(base, *svg, size, stretch, zoom_, devicePixelRatioF());
    for (const char* ext : {".png", ""}) {
        QPixmap pm(base + ext);
        if (pm.isNull()) continue;
        const QSize target = stretch ? size : pm.size() * zoom_;
        return target == pm.size() ? pm : pm.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return {};
}

void FormView::applyPicture(Item& item) {
    const Control& c = *item.control;
    if (deferPictures_) {
        if (c.kind() == Kind::Image || c.kind() == Kind::Button)
            if (std::find(picturesDue_.begin(), picturesDue_.end(), &c) == picturesDue_.end()) picturesDue_.push_back(&c);
        return;
    }
    if (c.kind() == Kind::Image) {
        // A hidden image (the stored stadiums, for one) is drawn when it is shown.
        item.pictureStale = !c.visible();
        if (!item.pictureStale)
            static_cast<QLabel*>(item.widget)->setPixmap(picture(c.picture(), item.widget->size(), c.stretch()));
        return;
    }
    if (c.kind() != Kind::Button) return;
    auto* b = static_cast<CaptionButton*>(item.widget);
    const QPixmap natural = picture(c.picture(), {}, false);
    if (natural.isNull()) {
        b->setPicture({});
        return;
    }
    // The picture keeps its own size unless the caption under it would not fit.
    const QRect r = b->contentRect();
    const int caption = b->captionHeight(r.width());
    const int room = r.height() - (caption ? caption + 2 : 0);
    const QSize logical = natural.deviceIndependentSize().toSize();
    const QSize fit = logical.scaled(logical.boundedTo(QSize(r.width(), std::max(8, room))), Qt::KeepAspectRatio);
    b->setPicture(fit == logical ? natural : picture(c.picture(), fit, true));
}

void FormView::applyTimer(Item& item) {
    const Control& c = *item.control;
    if (c.timerEnabled() && c.interval() > 0)
        item.timer->start(c.interval());
    else
        item.timer->stop();
}

void FormView::fire(Control& c, Ev ev, EventArgs& args) {
    if (detached_) return;
    if (c.handles(ev)) {
        try {
            c.raise(ev, args);
        } catch (...) {
            report("event handler");
        }
    }
    sync();
}

void FormView::onEdited(Control& c, QLineEdit* edit) {
    if (detached_) return;
    const Editing outer = editing_;
    editing_ = {edit, edit->text(), edit->cursorPosition()};
    try {
        c.setText(edit->text().toStdString()); // raises Change
    } catch (...) {
        report("text change");
    }
    sync();
    editing_ = outer;
}

EventArgs FormView::mouseArgs(const QEvent* e) const {
    const auto* m = static_cast<const QMouseEvent*>(e);
    EventArgs a;
    a.button = buttonBits(e->type() == QEvent::MouseMove ? m->buttons() : m->button());
    a.shift = shiftBits(m->modifiers());
    a.x = m->position().x() * 15.0 / zoom_;
    a.y = m->position().y() * 15.0 / zoom_;
    return a;
}

bool FormView::routeMouse(Control& c, QWidget* w, QEvent* e) {
    const Kind k = c.kind();
    // Buttons, check boxes and lists click through their own signals.
    const bool clicks = k == Kind::TextBox || k == Kind::Label || k == Kind::Image || k == Kind::Frame;
    auto* m = static_cast<QMouseEvent*>(e);
    QObject* target = w;
    switch (e->type()) {
    case QEvent::MouseButtonPress: {
        // The widget takes the press first, so whatever the handler selects is what stays.
        target->event(e);
        e->accept(); // the press belongs to this control, not to its frame as well
        pressed_ = &c;
        EventArgs a = mouseArgs(e);
        fire(c, Ev::MouseDown, a);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        EventArgs a = mouseArgs(e);
        if (c.handles(Ev::MouseUp)) fire(c, Ev::MouseUp, a);
        target->event(e);
        e->accept();
        const bool inside = w->rect().contains(m->position().toPoint());
        if (clicks && pressed_ == &c && inside && m->button() == Qt::LeftButton) {
            pressed_ = nullptr;
            EventArgs none;
            fire(c, Ev::Click, none);
        }
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        target->event(e);
        e->accept();
        if (clicks) {
            EventArgs none;
            fire(c, Ev::DblClick, none);
        }
        return true;
    }
    case QEvent::MouseMove: {
        if (c.handles(Ev::MouseMove)) {
            EventArgs a = mouseArgs(e);
            fire(c, Ev::MouseMove, a);
        } else if (k == Kind::Frame && c.value() == 1) {
            return false; // a borderless box only groups controls: its frame has the move
        }
        // The move belongs to the control under the pointer alone: the frames behind it
        // must not see it too (a frame's own handler would undo what the control did).
        target->event(e);
        e->accept();
        return true;
    }
    default: return false;
    }
}

bool FormView::routeKey(Control& c, QWidget* w, QEvent* e) {
    if (!c.handles(Ev::KeyPress)) return false;
    auto* k = static_cast<QKeyEvent*>(e);
    const int code = keyAscii(k);
    if (code == 0) return false;
    EventArgs a;
    a.keyAscii = code;
    a.shift = shiftBits(k->modifiers());
    fire(c, Ev::KeyPress, a);
    if (a.keyAscii == code) return false;
    if (a.keyAscii > 0 && a.keyAscii < 256) {
        // The handler typed another character in place of the user's.
        const QChar ch(static_cast<char16_t>(a.keyAscii));
        int key = ch.toUpper().unicode();
        if (a.keyAscii == 8) key = Qt::Key_Backspace;
        if (a.keyAscii == 13) key = Qt::Key_Return;
        if (a.keyAscii == 27) key = Qt::Key_Escape;
        QKeyEvent replaced(QEvent::KeyPress, key, k->modifiers(), QString(ch));
        static_cast<QObject*>(w)->event(&replaced);
    }
    return true;
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
    Control* c = detached_ ? nullptr : controlOf(watched);
    if (!c) return QWidget::eventFilter(watched, event);
    auto* w = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: return routeMouse(*c, w, event);
    case QEvent::KeyPress: return routeKey(*c, w, event);
    case QEvent::FocusIn: {
        if (quietFocus_) return false;
        static_cast<QObject*>(w)->event(event);
        EventArgs none;
        fire(*c, Ev::GotFocus, none);
        return true;
    }
    default: return false;
    }
}

} // namespace zqt
