#pragma once
// The knockout stage: the bracket view from the round of sixteen to the podium, its
// score and penalty entry, and the propagation of winners round by round.
#include <array>

#include "forms/control.h"

namespace zentrafo {

class Marlix;

class KnockoutStage {
public:
    explicit KnockoutStage(Marlix& w) : w_(w) {}

    // Creates the knockout view's controls and wires their handlers.
    void design();

    void PropageHuitiemes();
    void PropageQuarts();
    void PropageDemi();

    // The knockout view and its round-of-sixteen seats 0 to 15 (16 to 31 stand on
    // the group view and are created by the group stage).
    forms::Control* Frame9 = nullptr;
    std::array<forms::Control*, 16> Huit{};
    std::array<forms::Control*, 16> Buthui{}, ButPen{};
    std::array<forms::Control*, 8> Qua{}, ButQua{}, ButPen4{};
    std::array<forms::Control*, 4> DEM{}, ButDem{}, ButPen2{};
    std::array<forms::Control*, 2> FIN{}, ButFIN{}, ButPenFIN{};
    std::array<forms::Control*, 2> pf{}, Butpetfin{}, ButPenpetfin{};

private:
    Marlix& w_;
};

} // namespace zentrafo
