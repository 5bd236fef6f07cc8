#pragma once
// The knockout stage: the bracket view from the round of sixteen to the podium, its
// score and penalty entry, and the propagation of winners round by round.
#include <array>
#include <string>

#include "forms/control.h"

namespace zentrafo {

class Marlix;

class KnockoutStage {
public:
    // The stage a goals or penalty box belongs to; it decides where an entry starts
    // the propagation chain.
    enum class Stage { RoundOf16, QuarterFinal, SemiFinal, Final, ThirdPlace };

    explicit KnockoutStage(Marlix& w) : w_(w) {}

    // Creates the knockout view's controls and wires the entry boxes' handlers, the
    // help panel's examples included.
    void design();

    void PropageHuitiemes();
    void PropageQuarts();
    void PropageDemi();
    void PropageFinale();
    void PropagePetiteFinale();

    // The knockout view and its five stage frames.
    forms::Control* Frame9 = nullptr;
    forms::Control* Frame10 = nullptr; // round of sixteen
    forms::Control* Frame12 = nullptr; // quarter-finals
    forms::Control* Frame13 = nullptr; // semi-finals
    forms::Control* Frame14 = nullptr; // third-place match
    forms::Control* Frame15 = nullptr; // final

    // Team, goals and penalty boxes; one index per side, ties are (2k, 2k+1).
    // Huit 16 to 31 stand on the group view and belong to the group stage.
    std::array<forms::Control*, 16> Huit{}, Buthui{}, ButPen{};
    std::array<forms::Control*, 8> Qua{}, ButQua{}, ButPen4{};
    std::array<forms::Control*, 4> DEM{}, ButDem{}, ButPen2{};
    std::array<forms::Control*, 2> FIN{}, ButFIN{}, ButPenFIN{};
    std::array<forms::Control*, 2> pf{}, Butpetfin{}, ButPenpetfin{};
    // Podium: 1 champion, 2 runner-up, 3 third, 4 fourth; element 0 unused.
    std::array<forms::Control*, 5> pod{};
    forms::Control* Image8 = nullptr; // the trophy

private:
    // The Change and MouseDown handling of a goals or penalty box.
    void wireEntryBox(forms::Control& box, Stage stage);
    void onEntryChange(forms::Control& box, Stage stage);
    void paint(forms::Control* team, bool goesThrough) const;
    // Final and third-place match: one tie, no "both played" test, result to the podium.
    void decideLastTie(const std::array<forms::Control*, 2>& team, const std::array<forms::Control*, 2>& goals,
                       const std::array<forms::Control*, 2>& pen, forms::Control* first, forms::Control* second);

    Marlix& w_;
};

} // namespace zentrafo
