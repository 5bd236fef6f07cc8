#pragma once
// A secondary window of the program: one instance, made on first use, unloaded on
// request; a later use makes a fresh one, as a reloaded window starts from its design.
#include <functional>
#include <memory>

#include "forms/form.h"
#include "platform/platform.h"

namespace forms {

template <class W>
class Secondary {
public:
    Secondary(platform::Platform& platform, std::function<std::unique_ptr<W>()> make)
        : platform_(platform), make_(std::move(make)) {}

    W& get() {
        if (!w_) {
            w_ = make_();
            w_->form.closeRequested = [this] { unload(); };
        }
        return *w_;
    }
    W* loaded() { return w_.get(); }
    void show(bool modal = false) { platform_.showForm(get().form, modal); }
    void unload() {
        if (!w_) return;
        platform_.unloadForm(w_->form);
        // A handler of the window may still be running: it goes once that returned.
        if (w_->form.eventDepth > 0)
            dying_ = std::move(w_);
        else
            w_.reset();
    }

private:
    platform::Platform& platform_;
    std::function<std::unique_ptr<W>()> make_;
    std::unique_ptr<W> w_, dying_;
};

} // namespace forms
