#pragma once
// The window's top bar and the large panels laid over the group view: the switch
// between the group view and the knockout view, the help panel, the day's panel.
#include <array>
#include <cstddef>

#include "forms/control.h"

namespace zentrafo {

class Marlix;

class Views {
public:
    explicit Views(Marlix& w) : w_(w) {}
    void design();

    void Command1_Click();
    void Command6_Click();
    void Command2_Click();
    void Image11_Click();

    forms::Control* Command1 = nullptr; // group view <-> knockout view
    forms::Control* Command6 = nullptr; // help
    forms::Control* Fraide = nullptr;
    forms::Control* Label2 = nullptr; // help title; also the window's caption
    forms::Control* Command2 = nullptr;
    forms::Control* Command9 = nullptr;
    forms::Control* Command10 = nullptr;
    std::array<forms::Control*, 2> ico{};
    // The help's example goals and penalty boxes, elements 16 and 17 of the bracket's arrays.
    std::array<forms::Control*, 2> Buthui{}, ButPen{};
    // The help texts: score entry, ranking and lots, bracket and penalties, the view
    // button, save, update, statistics and printing, qualifiers, calendar, display mode.
    static constexpr size_t kAides = 10;
    std::array<forms::Control*, kAides> LabAide{};
    forms::Control* Frame18 = nullptr;
    forms::Control* Image11 = nullptr;

private:
    Marlix& w_;
};

} // namespace zentrafo
