#include "forms/control.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>

#include "forms/form.h"
#include "platform/text.h"

namespace forms {

Control::Control(Form& form, Kind kind, std::string name, int index, Control* parent)
    : form_(&form), kind_(kind), name_(std::move(name)), index_(index), parent_(parent) {
    if (kind == Kind::TextBox || kind == Kind::ListBox || kind == Kind::ComboBox) back_ = WindowBackground;
    if (kind == Kind::Button) fore_ = ButtonText;
    if (kind == Kind::Timer) enabled_ = false;
    dirty_ = DCreated; // the form lists every new control once
}

void Control::touch(uint32_t bits) {
    if (dirty_ == 0) form_->markDirty(this);
    dirty_ |= bits;
}

void Control::setLeft(int v) {
    if (v != left_) { left_ = v; touch(DGeometry); }
}
void Control::setTop(int v) {
    if (v != top_) { top_ = v; touch(DGeometry); }
}
void Control::setWidth(int v) {
    if (v != width_) { width_ = v; touch(DGeometry); }
}
void Control::setHeight(int v) {
    if (v != height_) { height_ = v; touch(DGeometry); }
}
void Control::move(int l, int t, int w, int h) {
    setLeft(l);
    setTop(t);
    setWidth(w);
    setHeight(h);
}

void Control::setVisible(bool v) {
    if (v != visible_) { visible_ = v; touch(DVisible); }
}
bool Control::shown() const {
    for (const Control* c = this; c; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}
void Control::setEnabled(bool v) {
    if (v != enabled_) { enabled_ = v; touch(kind_ == Kind::Timer ? DTimer : DEnabled); }
}

void Control::setForeColor(uint32_t c) {
    if (c != fore_) { fore_ = c; touch(DColors); }
}
void Control::setBackColor(uint32_t c) {
    if (c != back_) { back_ = c; touch(DColors); }
}
void Control::setFontName(std::string v) {
    if (v != fontName_) { fontName_ = std::move(v); touch(DFont); }
}
void Control::setFontSize(double v) {
    if (v != fontSize_) { fontSize_ = v; touch(DFont); }
}
void Control::setFontBold(bool v) {
    if (v != bold_) { bold_ = v; touch(DFont); }
}
void Control::setAlignment(Align a) {
    if (a != align_) { align_ = a; touch(DFont); }
}

void Control::setText(std::string_view v) {
    if (v == text_) return;
    text_.assign(v.data(), v.size());
    if (selStart_ > static_cast<int>(text_.size())) selStart_ = static_cast<int>(text_.size());
    selLength_ = std::min(selLength_, static_cast<int>(text_.size()) - selStart_);
    touch(DText);
    raise(Ev::Change);
}

void Control::setToolTip(std::string v) {
    if (v != toolTip_) { toolTip_ = std::move(v); touch(DToolTip); }
}
void Control::setPicture(std::string v) {
    if (v != picture_) { picture_ = std::move(v); touch(DPicture); }
}
void Control::setMouseIcon(std::string v) {
    if (v != mouseIcon_) { mouseIcon_ = std::move(v); touch(DPicture); }
}
void Control::setStretch(bool v) {
    if (v != stretch_) { stretch_ = v; touch(DPicture); }
}
void Control::setLocked(bool v) {
    if (v != locked_) { locked_ = v; touch(DLocked); }
}
void Control::select(int start, int length) {
    int n = static_cast<int>(text_.size());
    start = std::clamp(start, 0, n);
    length = std::clamp(length, 0, n - start);
    selStart_ = start;
    selLength_ = length;
    touch(DSelection);
}
std::string Control::selText() const {
    return text_.substr(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_));
}
void Control::setFocus() { form_->focusRequest = this; }

void Control::setValue(int v) {
    if (v != value_) {
        value_ = v;
        touch(DValue);
        if (kind_ == Kind::CheckBox) raise(Ev::Click);
    }
}

void Control::clear() {
    items_.clear();
    marks_.clear();
    listIndex_ = -1;
    touch(DItems);
}
void Control::addItem(std::string item) {
    if (sorted_) {
        auto pos = std::upper_bound(items_.begin(), items_.end(), item, [](const std::string& a, const std::string& b) {
            return platform::compareForList(a, b) < 0;
        });
        marks_.insert(marks_.begin() + (pos - items_.begin()), 0);
        items_.insert(pos, std::move(item));
    } else {
        items_.push_back(std::move(item));
        marks_.push_back(0);
    }
    touch(DItems);
}
const std::string& Control::list(int i) const {
    static const std::string empty;
    if (i < 0 || i >= static_cast<int>(items_.size())) return empty;
    return items_[static_cast<size_t>(i)];
}
void Control::setListIndex(int i) {
    if (i < -1 || i >= static_cast<int>(items_.size())) i = -1;
    if (i != listIndex_) {
        listIndex_ = i;
        touch(DItems);
        if (kind_ == Kind::ComboBox && i >= 0) setText(items_[static_cast<size_t>(i)]);
    }
}

bool Control::selected(int i) const {
    return i >= 0 && i < static_cast<int>(marks_.size()) && marks_[static_cast<size_t>(i)] != 0;
}
void Control::setSelected(int i, bool v) {
    if (i < 0 || i >= static_cast<int>(marks_.size()) || (marks_[static_cast<size_t>(i)] != 0) == v) return;
    marks_[static_cast<size_t>(i)] = v ? 1 : 0;
    touch(DItems);
}

void Control::copyFrom(const Control& m) {
    // A new element starts as its model was designed or left: nothing has changed for
    // it, so nothing raises Change or Click; the front end draws it whole.
    left_ = m.left_, top_ = m.top_, width_ = m.width_, height_ = m.height_;
    visible_ = m.visible_, enabled_ = m.enabled_;
    fore_ = m.fore_, back_ = m.back_;
    fontName_ = m.fontName_, fontSize_ = m.fontSize_, bold_ = m.bold_, align_ = m.align_;
    text_ = m.text_, tag_ = m.tag_, toolTip_ = m.toolTip_, picture_ = m.picture_;
    stretch_ = m.stretch_, locked_ = m.locked_;
    value_ = m.value_, sorted_ = m.sorted_, items_ = m.items_, marks_ = m.marks_;
    multiLine_ = m.multiLine_, multiSelect_ = m.multiSelect_;
    x1_ = m.x1_, y1_ = m.y1_, x2_ = m.x2_, y2_ = m.y2_;
    interval_ = m.interval_;
    handlers_ = m.handlers_;
    touch(DCreated);
}

void Control::setLine(int a, int b, int c, int d) {
    if (a != x1_ || b != y1_ || c != x2_ || d != y2_) {
        x1_ = a; y1_ = b; x2_ = c; y2_ = d;
        touch(DGeometry);
    }
}
void Control::setInterval(int ms) {
    if (ms != interval_) { interval_ = ms; touch(DTimer); }
}
void Control::bringToFront() {
    z_ = form_->nextZ();
    touch(DZOrder);
}

void Control::raise(Ev ev, EventArgs args) {
    auto& h = handlers_[static_cast<size_t>(ev)];
    if (!h) return;
    ++form_->eventDepth;
    // Copy so a handler may replace itself while it runs.
    Handler run = h;
    try {
        run(*this, args);
    } catch (...) {
        --form_->eventDepth;
        throw;
    }
    --form_->eventDepth;
}

namespace {
bool iequals(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}
bool truthy(const std::string& v) {
    return iequals(v, "true") || iequals(v, "vrai") || platform::val(v) != 0;
}
// A number from a text, as a 32-bit integer: toward zero, and out of range the nearest
// end of it (converting a double the type cannot hold is undefined).
int32_t saturated(const std::string& v) {
    const double d = platform::val(v);
    if (std::isnan(d)) return 0;
    if (d <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (d >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(d);
}
// A colour is a 32-bit value whose negative numbers name system colours (&H8000000F).
uint32_t colour(const std::string& v) { return static_cast<uint32_t>(saturated(v)); }
} // namespace

bool Control::setProperty(std::string_view prop, const std::string& v) {
    const bool hasCaption = kind_ == Kind::Label || kind_ == Kind::Button || kind_ == Kind::Frame ||
                            kind_ == Kind::CheckBox;
    const bool hasText = kind_ == Kind::TextBox || kind_ == Kind::ComboBox;
    const bool visual = kind_ != Kind::Timer;
    if (iequals(prop, "Caption")) {
        if (!hasCaption) return false;
        setText(v);
    } else if (iequals(prop, "Text")) {
        if (!hasText) return false;
        setText(v);
    } else if (iequals(prop, "ToolTipText")) {
        if (!visual || kind_ == Kind::Line || kind_ == Kind::Shape) return false;
        setToolTip(v);
    } else if (iequals(prop, "Tag")) {
        setTag(v);
    } else if (iequals(prop, "Visible")) {
        if (!visual) return false;
        setVisible(truthy(v));
    } else if (iequals(prop, "Enabled")) {
        setEnabled(truthy(v));
    } else if (iequals(prop, "Left")) {
        if (!visual || kind_ == Kind::Line) return false;
        setLeft(saturated(v));
    } else if (iequals(prop, "Top")) {
        if (!visual || kind_ == Kind::Line) return false;
        setTop(saturated(v));
    } else if (iequals(prop, "Width")) {
        if (!visual || kind_ == Kind::Line) return false;
        setWidth(saturated(v));
    } else if (iequals(prop, "Height")) {
        if (!visual || kind_ == Kind::Line) return false;
        setHeight(saturated(v));
    } else if (iequals(prop, "FontSize")) {
        if (!visual || kind_ == Kind::Line || kind_ == Kind::Shape || kind_ == Kind::Image) return false;
        setFontSize(platform::val(v));
    } else if (iequals(prop, "FontBold")) {
        if (!visual || kind_ == Kind::Line || kind_ == Kind::Shape || kind_ == Kind::Image) return false;
        setFontBold(truthy(v));
    } else if (iequals(prop, "FontName")) {
        if (!visual || kind_ == Kind::Line || kind_ == Kind::Shape || kind_ == Kind::Image) return false;
        setFontName(v);
    } else if (iequals(prop, "ForeColor")) {
        if (!visual || kind_ == Kind::Line || kind_ == Kind::Image) return false;
        setForeColor(colour(v));
    } else if (iequals(prop, "BackColor")) {
        if (!visual || kind_ == Kind::Line || kind_ == Kind::Image) return false;
        setBackColor(colour(v));
    } else {
        return false;
    }
    return true;
}

} // namespace forms
