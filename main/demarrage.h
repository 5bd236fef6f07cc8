#pragma once
// Start-up and quit of the main window as the user meets them: the welcome panel that
// greets a first-time user, the version caption, the quit button, and the display-mode
// button that shrinks the whole window for small screens.
#include "forms/control.h"
#include "platform/platform.h"

namespace zentrafo {

class Marlix;

// The two dates that choose the first view: the end of the qualifying competition and
// the end of the group stage, at midnight.
inline constexpr platform::DateTime kDateQualifs{2019, 3, 31, 0, 0, 0};
inline constexpr platform::DateTime kDateFinGroupes{2019, 6, 20, 0, 0, 0};

inline constexpr const char* kModeReduit = "Passer en mode réduit";
inline constexpr const char* kModeNormal = "Passer en mode normal";

class Demarrage {
public:
    explicit Demarrage(Marlix& w) : w_(w) {}
    void design();

    void Timer2_Timer();
    // Quit: unloads the secondary windows that were loaded, runs the window's unload
    // handling (the settings are stored), and ends the process.
    void Command5_Click();
    // Toggles the display scale; the button's caption is the mode.
    void Command14_Click();

    // Welcome panel.
    forms::Control* Frame21 = nullptr;
    forms::Control* Label23 = nullptr;
    forms::Control* Image19 = nullptr;
    forms::Control* Shape8 = nullptr;
    forms::Control* Timer2 = nullptr;

    forms::Control* Command5 = nullptr;  // "Quitter"
    forms::Control* Command14 = nullptr; // display mode, in the help panel
    forms::Control* Label7 = nullptr;    // version

private:
    Marlix& w_;
    // Steps of the display scale away from the design: -1 reduced, 0 design, +1 enlarged.
    int scaleSteps_ = 0;
};

} // namespace zentrafo
