#pragma once
// A secondary window of the program: one instance, made on first use, shown or brought
// to the front through the platform, and unloaded on demand. Unloading drops the
// instance, so the next use starts again from the window's design, as a reloaded window
// does; an instance whose handler is still running is kept until that handler returns.
#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "forms/form.h"
#include "platform/platform.h"

namespace forms {

// W has a public member `forms::Form form`.
template <class W> class Secondary {
public:
    using Factory = std::function<std::unique_ptr<W>()>;
    Secondary(platform::Platform& platform, Factory make) : platform_(platform), make_(std::move(make)) {}
    Secondary(const Secondary&) = delete;
    Secondary& operator=(const Secondary&) = delete;
    ~Secondary() {
        if (live_) platform_.unloadForm(live_->form);
    }

    // The instance, made (designed and loaded) when there is none.
    W& get() {
        reap();
        if (!live_) {
            live_ = make_();
            live_->form.closeRequested = [this] { unload(); };
        }
        return *live_;
    }
    // The instance when it is loaded; creates nothing.
    W* loaded() const { return live_.get(); }

    void show(bool modal = false) { platform_.showForm(get().form, modal); }

    void unload() {
        if (!live_) return;
        std::unique_ptr<W> gone = std::move(live_);
        platform_.unloadForm(gone->form);
        dead_.push_back(std::move(gone));
        reap();
    }

private:
    void reap() {
        dead_.erase(std::remove_if(dead_.begin(), dead_.end(), [](const std::unique_ptr<W>& d) { return d->form.eventDepth == 0; }),
                    dead_.end());
    }

    platform::Platform& platform_;
    Factory make_;
    std::unique_ptr<W> live_;
    std::vector<std::unique_ptr<W>> dead_;
};

} // namespace forms
