#include "forms/form.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace forms {

namespace {
std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}
} // namespace

Form::Form(std::string name) : name_(std::move(name)) {}

Control& Form::add(Kind kind, const std::string& name, int index, Control* parent) {
    auto& elements = byName_[name];
    if (elements.count(index)) throw std::invalid_argument(name_ + ": " + name + "(" + std::to_string(index) + ") exists");
    controls_.push_back(std::make_unique<Control>(*this, kind, name, index, parent));
    Control& c = *controls_.back();
    elements[index] = &c;
    lowerNames_.emplace(lower(name), name);
    markDirty(&c);
    return c;
}

Control& Form::add(Kind kind, const std::string& name, int index, Control* parent, int left, int top, int width,
                   int height, std::string_view text) {
    Control& c = add(kind, name, index, parent);
    c.move(left, top, width, height);
    if (!text.empty()) c.setText(text);
    return c;
}

Control* Form::find(const std::string& name, int index) const {
    auto it = byName_.find(name);
    if (it == byName_.end()) {
        auto l = lowerNames_.find(lower(name));
        if (l == lowerNames_.end()) return nullptr;
        it = byName_.find(l->second);
        if (it == byName_.end()) return nullptr;
    }
    auto e = it->second.find(index);
    return e == it->second.end() ? nullptr : e->second;
}

const std::map<int, Control*>* Form::array(const std::string& name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : &it->second;
}

Control* Form::loadElement(const std::string& name, int index, const Control* model) {
    auto it = byName_.find(name);
    if (it == byName_.end() || it->second.empty() || it->second.begin()->first < 0 || it->second.count(index))
        return nullptr;
    const Control& from = model ? *model : *it->second.begin()->second;
    Control& c = add(from.kind(), name, index, from.parent());
    c.copyFrom(from);
    c.setVisible(false);
    return &c;
}

std::vector<Control*> Form::takeDirty() {
    std::vector<Control*> out;
    out.swap(dirty_);
    return out;
}

} // namespace forms
