#pragma once
// The qualifying competition's panel, as far as the rest of the window touches it:
// the panel itself, the qualifying group's team-name boxes and the play-off frame.
#include <array>

#include "forms/control.h"

namespace zentrafo {

class Marlix;

class QualifiersStage {
public:
    explicit QualifiersStage(Marlix& w) : w_(w) {}
    void design();

    // Creates the fixture grid and loads the calendar, once per run of the program.
    void ChargeElim();
    // Lists the qualifiers' fixtures and their count.
    void Command27_Click();

    forms::Control* FraElim = nullptr;
    std::array<forms::Control*, 6> NEElim{};
    forms::Control* Frame22 = nullptr;
    std::array<forms::Control*, 4> Label24{}; // counters; 2 is the fixture count
    forms::Control* Command22_5 = nullptr;    // "Trim"
    forms::Control* Command23 = nullptr;      // "Sauver"
    forms::Control* Command24 = nullptr;      // "Fermer"
    forms::Control* Command26 = nullptr;      // "Qualifications"; its Tag guards ChargeElim

private:
    Marlix& w_;
};

} // namespace zentrafo
