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

    forms::Control* FraElim = nullptr;
    std::array<forms::Control*, 6> NEElim{};
    forms::Control* Frame22 = nullptr;

private:
    Marlix& w_;
};

} // namespace zentrafo
