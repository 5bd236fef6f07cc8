#pragma once
// A window of the program: its controls in creation order, lookup by name and index,
// and the list of controls whose properties changed since the front end last looked.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "forms/control.h"

namespace forms {

class Form {
public:
    explicit Form(std::string name);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return name_; }

    // Creates a control; index -1 for a control outside an array. Positions in twips.
    // A name and index already taken are refused (std::invalid_argument): a second
    // control would hide the first from every lookup.
    Control& add(Kind kind, const std::string& name, int index = -1, Control* parent = nullptr);
    Control& add(Kind kind, const std::string& name, int index, Control* parent, int left, int top, int width,
                 int height, std::string_view text = {});

    // Lookup by name (exact first, then regardless of case) and index; null when absent.
    Control* find(const std::string& name, int index = -1) const;
    // Every element of a control array, by index.
    const std::map<int, Control*>* array(const std::string& name) const;
    // Loads element `index` of an existing control array at run time: a hidden copy of
    // `model` (the array's first element when null), its handlers included. Null when
    // there is no such array or the index is taken: an element is never loaded twice.
    Control* loadElement(const std::string& name, int index, const Control* model = nullptr);

    // The window's control collection, in creation order.
    const std::deque<std::unique_ptr<Control>>& controls() const { return controls_; }

    std::string caption;
    // Picture name of the window's icon, and the colour behind its controls.
    std::string icon;
    uint32_t backColor = ButtonFace;
    int clientWidth = 17535;
    int clientHeight = 9900;
    // Display scale: zoom factor and font step, applied by the front end only.
    double zoom = 1.0;
    double fontStep = 0.0;

    // The pointer moved over the window's bare surface, where no control lies.
    std::function<void(EventArgs&)> mouseMove;

    // Controls changed since the last call, each once.
    std::vector<Control*> takeDirty();
    bool anyDirty() const { return !dirty_.empty(); }
    int nextZ() { return ++z_; }
    void markDirty(Control* c) { dirty_.push_back(c); }

    // The control the program last asked to take the keyboard focus; the front end
    // moves the focus there and clears it.
    Control* focusRequest = nullptr;

    // How many events are being handled right now (0 between events).
    int eventDepth = 0;

    // What the window's close box does; set by the owner of a secondary window.
    std::function<void()> closeRequested;

private:
    std::string name_;
    std::deque<std::unique_ptr<Control>> controls_;
    std::unordered_map<std::string, std::map<int, Control*>> byName_;
    std::unordered_map<std::string, std::string> lowerNames_;
    std::vector<Control*> dirty_;
    int z_ = 0;
};

} // namespace forms
