#pragma once
// Start-up work that needs no window, done on another thread while the model loads and
// the first window's widgets are made, so the first paint does not wait for it.
#include <thread>

namespace zqt {

class StartupWarmUp {
public:
    // Needs the application object; waits for its thread when it goes away.
    StartupWarmUp();
    ~StartupWarmUp();
    StartupWarmUp(const StartupWarmUp&) = delete;
    StartupWarmUp& operator=(const StartupWarmUp&) = delete;

private:
    std::thread thread_;
};

} // namespace zqt
