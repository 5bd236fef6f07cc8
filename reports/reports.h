#pragma once
// The statistics window and the printable bracket sheet, and what the main window
// holds for them: the "Stats" and printer buttons, the placings and the goals per team.
#include <array>
#include <memory>
#include <string>

#include "forms/control.h"
#include "forms/secondary.h"
#include "reports/impress.h"
#include "reports/stats.h"

namespace zentrafo {

class Marlix;

class Reports {
public:
    explicit Reports(Marlix& w);
    // The main window's buttons and work list.
    void design();

    // Fills the statistics window from the main window and shows it.
    void Command21_Click();
    // Shows the bracket sheet, loading it first when it is not loaded.
    void Command13_Click();

    // Group placings, slot 4 x group + rank (1 to 24), read back from the rows' positions.
    void ChargeInfo();
    // Appends one placing line per team, best first, to the statistics' list.
    void CalculParcours();

    // Each unloads its window when it was loaded, and creates nothing.
    void unloadImpress();
    void unloadStats();

    // The windows: loaded() is null while a window is not loaded.
    forms::Secondary<Stats> stats;
    forms::Secondary<Impress> impress;

    // Slots 1 to 24 used; a slot nobody writes keeps its text.
    std::array<std::string, 33> Classement;

    forms::Control* Command21 = nullptr; // "Stats"
    forms::Control* Command13 = nullptr; // the printer button
    forms::Control* List4 = nullptr;     // sorter of the placings

private:
    // Goals of the team named `name`: every group and knockout goals box on its side.
    double goalsOf(const std::string& name) const;
    void fillStats(Stats& s);

    Marlix& w_;
};

} // namespace zentrafo
