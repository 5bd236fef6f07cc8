#pragma once
// The statistics window: final placings, goals per team, the tournament's goal total
// and the podium, as the main window stood when "Stats" was pressed.
#include <array>

#include "forms/control.h"
#include "forms/form.h"

namespace platform {
class Platform;
}

namespace zentrafo {

class Marlix;

// Prints the window's picture with `buttons` hidden for the printout only: they come
// back whether the print worked, failed or threw.
void printWithoutButtons(platform::Platform& platform, forms::Form& form, forms::Control& buttons);

class Stats {
public:
    explicit Stats(Marlix& w);

    forms::Form form{"Stats"};

    void Command1_Click(); // close
    void Command5_Click(); // print

    forms::Control* Text1 = nullptr;  // title, copied into the caption
    forms::Control* Image1 = nullptr; // logo of the edition
    forms::Control* Label1 = nullptr; // goal total
    forms::Control* Label2 = nullptr; // heading of the goals list
    forms::Control* Label3 = nullptr; // heading of the placings
    forms::Control* List1 = nullptr;  // goals per team, most first
    forms::Control* List2 = nullptr;  // placings
    forms::Control* Frame2 = nullptr; // the podium
    std::array<forms::Control*, 3> Vainq{};
    forms::Control* Image8 = nullptr; // trophy
    forms::Control* Image2 = nullptr; // in the podium's place while the final is open
    forms::Control* Frame1 = nullptr; // the buttons
    forms::Control* Command5 = nullptr;
    forms::Control* Command1 = nullptr;

private:
    Marlix& w_;
};

} // namespace zentrafo
