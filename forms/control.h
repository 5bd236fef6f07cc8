#pragma once
// One control of a window: its properties as the program's code sees them, and its
// events, raised synchronously. No Qt here; the front end mirrors what changes.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace forms {

class Form;

enum class Kind { TextBox, Label, Button, Frame, CheckBox, ComboBox, ListBox, Image, Shape, Line, Timer };

enum class Ev { Change, Click, DblClick, GotFocus, KeyPress, MouseDown, MouseMove, MouseUp, Timer, Count };

struct EventArgs {
    int button = 0;
    int shift = 0;
    double x = 0;
    double y = 0;
    int keyAscii = 0;
};

class Control;
using Handler = std::function<void(Control&, EventArgs&)>;

// System colours, resolved by the front end.
constexpr uint32_t ButtonFace = 0x8000000F;
constexpr uint32_t ButtonText = 0x80000012;
constexpr uint32_t WindowBackground = 0x80000005;
constexpr uint32_t WindowText = 0x80000008;

constexpr uint32_t rgb(int r, int g, int b) {
    return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
}

// What the front end must refresh, one bit per group of properties.
enum Dirty : uint32_t {
    DGeometry = 1,
    DVisible = 2,
    DEnabled = 4,
    DColors = 8,
    DFont = 16,
    DText = 32,
    DToolTip = 64,
    DPicture = 128,
    DLocked = 256,
    DSelection = 512,
    DValue = 1024,
    DItems = 2048,
    DZOrder = 4096,
    DTimer = 8192,
    DCreated = 16384,
};

enum class Align { Left, Right, Center };

class Control {
public:
    Control(Form& form, Kind kind, std::string name, int index, Control* parent);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Form& form() const { return *form_; }
    Kind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    int index() const { return index_; } // -1 when not in an array
    Control* parent() const { return parent_; }

    // Geometry, in twips, relative to the parent frame (or the window).
    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void setLeft(int v);
    void setTop(int v);
    void setWidth(int v);
    void setHeight(int v);
    void move(int left, int top, int width, int height);

    bool visible() const { return visible_; }
    void setVisible(bool v);
    // Visible and every parent frame visible too.
    bool shown() const;
    bool enabled() const { return enabled_; }
    void setEnabled(bool v);

    uint32_t foreColor() const { return fore_; }
    uint32_t backColor() const { return back_; }
    void setForeColor(uint32_t c);
    void setBackColor(uint32_t c);

    const std::string& fontName() const { return fontName_; }
    double fontSize() const { return fontSize_; }
    bool fontBold() const { return bold_; }
    void setFontName(std::string v);
    void setFontSize(double v);
    void setFontBold(bool v);
    Align alignment() const { return align_; }
    void setAlignment(Align a);

    // Text of a text box or combo, Caption of a label, button, frame or check box:
    // one property under two names. A real change raises Change.
    const std::string& text() const { return text_; }
    void setText(std::string_view v);
    const std::string& caption() const { return text_; }
    void setCaption(std::string_view v) { setText(v); }

    const std::string& tag() const { return tag_; }
    void setTag(std::string v) { tag_ = std::move(v); }
    const std::string& toolTip() const { return toolTip_; }
    void setToolTip(std::string v);
    // Picture: the name of one of the program's pictures, empty for none.
    const std::string& picture() const { return picture_; }
    void setPicture(std::string v);
    // Mouse pointer shown over the control: a pointer name ("hand"), empty for the usual one.
    const std::string& mouseIcon() const { return mouseIcon_; }
    void setMouseIcon(std::string v);
    bool stretch() const { return stretch_; }
    void setStretch(bool v);

    bool locked() const { return locked_; }
    void setLocked(bool v);
    int selStart() const { return selStart_; }
    int selLength() const { return selLength_; }
    void select(int start, int length);
    // The selected part of the text (SelText).
    std::string selText() const;
    // A text box of several lines (line ends CR LF in the text).
    bool multiLine() const { return multiLine_; }
    void setMultiLine(bool v) { multiLine_ = v; }
    // Asks the front end to move the keyboard focus here; GotFocus follows from it.
    void setFocus();

    // Check box value (0, 1, 2); shape style for shapes; border width for lines.
    int value() const { return value_; }
    void setValue(int v);

    // Lists and combos. A sorted list keeps its items in the order of compareForList.
    bool sorted() const { return sorted_; }
    void setSorted(bool v) { sorted_ = v; }
    void clear();
    void addItem(std::string item);
    int listCount() const { return static_cast<int>(items_.size()); }
    const std::string& list(int i) const;
    const std::vector<std::string>& items() const { return items_; }
    int listIndex() const { return listIndex_; }
    void setListIndex(int i);
    // A list whose rows carry marks of their own, several at once; every press on it
    // is a Click. Marks follow their rows and are dropped with them.
    bool multiSelect() const { return multiSelect_; }
    void setMultiSelect(bool v) { multiSelect_ = v; }
    bool selected(int i) const;
    void setSelected(int i, bool v);

    // Lines.
    int x1() const { return x1_; }
    int y1() const { return y1_; }
    int x2() const { return x2_; }
    int y2() const { return y2_; }
    void setLine(int x1, int y1, int x2, int y2);

    // Timers.
    int interval() const { return interval_; }
    void setInterval(int ms);
    bool timerEnabled() const { return enabled_; }

    void bringToFront();
    int zOrder() const { return z_; }

    // A new element of the same array takes this one's properties and handlers.
    void copyFrom(const Control& model);

    // Events.
    void on(Ev ev, Handler h) { handlers_[static_cast<size_t>(ev)] = std::move(h); }
    bool handles(Ev ev) const { return static_cast<bool>(handlers_[static_cast<size_t>(ev)]); }
    void raise(Ev ev, EventArgs args = {});
    void click() { raise(Ev::Click); }

    // Late-bound property access, as the language files address controls. A property
    // this kind of control lacks is refused (false).
    bool setProperty(std::string_view prop, const std::string& value);

    // The command button that Enter presses wherever the focus is in its window, unless
    // another button has the focus.
    bool isDefault() const { return default_; }
    void setDefault(bool v) {
        if (v != default_) {
            default_ = v;
            touch(DValue);
        }
    }

    uint32_t dirty() const { return dirty_; }
    void clearDirty() { dirty_ = 0; }

private:
    void touch(uint32_t bits);

    Form* form_;
    Kind kind_;
    std::string name_;
    int index_;
    Control* parent_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true, enabled_ = true;
    uint32_t fore_ = WindowText, back_ = ButtonFace;
    std::string fontName_ = "MS Sans Serif";
    double fontSize_ = 8.25;
    bool bold_ = false;
    Align align_ = Align::Left;
    std::string text_, tag_, toolTip_, picture_, mouseIcon_;
    bool stretch_ = false, locked_ = false;
    int selStart_ = 0, selLength_ = 0;
    int value_ = 0;
    bool sorted_ = false;
    bool multiLine_ = false, multiSelect_ = false, default_ = false;
    std::vector<std::string> items_;
    std::vector<char> marks_; // one per item
    int listIndex_ = -1;
    int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    int interval_ = 0;
    int z_ = 0;
    uint32_t dirty_ = 0;
    std::array<Handler, static_cast<size_t>(Ev::Count)> handlers_;
};

// Wires a handler that needs none of the event's arguments.
template <class Fn> void onClick(Control* c, Fn fn) {
    c->on(Ev::Click, [fn](Control&, EventArgs&) { fn(); });
}

} // namespace forms
