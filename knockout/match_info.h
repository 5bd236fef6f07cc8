#pragma once
// Match information: the text of the match under the mouse pointer, decoded into the
// details panel (city, long date, kick-off, broadcasters, stadium) on the main window
// and inside the knockout view, and the programme of a chosen day in the day's panel.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "forms/control.h"
#include "platform/platform.h"

namespace zentrafo {

class Marlix;

// What the details panel reads from one information text; a field that cannot be read
// is empty (or absent for the date).
struct InfoMatchFields {
    std::string city;
    std::string broadcasters; // venue code and broadcaster list, before the date
    std::optional<platform::DateTime> date;
    std::string time;         // a blank, then the kick-off time
};
InfoMatchFields DecodeInfoMatch(std::string_view text);

// The logo index of the first broadcaster found: TF1 1, F2 2, TMC 3, BE 8, C+ 0, else 5.
int IndexChaine(std::string_view text);

class MatchInfo {
public:
    explicit MatchInfo(Marlix& w) : w_(w) {}
    // The main window's copy of the details, made before the knockout view so that the
    // view covers it.
    void designMainCopy();
    // The knockout view's copy and the day's programme; wires the hover handlers of
    // every control that carries a match's information.
    void design();

    void LabInfo_Change();
    void CacheDetailsMatch();
    void AfficheJour();
    void Command15_Click();
    void Timer1_Timer();

    forms::Control* LabInfo = nullptr;
    forms::Control* Frame16 = nullptr; // the knockout view's copy of the details
    forms::Control* Shape1 = nullptr;
    forms::Control* Shape2 = nullptr;
    std::array<forms::Control*, 6> LabTer{};    // 0-2 main window, 3-5 knockout view
    std::array<forms::Control*, 13> Terrain{};  // 0-8 stored stadiums; 10 and 11 shown
    std::array<forms::Control*, 10> ImChaine{}; // logos by broadcaster index
    forms::Control* Image15 = nullptr;

    // The day's programme (inside the day's panel Frame18).
    forms::Control* Label14 = nullptr;
    forms::Control* Combo3 = nullptr; // day
    forms::Control* Combo4 = nullptr; // month
    std::array<forms::Control*, 4> LabCAL{};
    std::array<forms::Control*, 4> RepIm{};
    forms::Control* List2 = nullptr;
    forms::Control* Timer1 = nullptr;
    forms::Control* Command15 = nullptr;

private:
    void designBracketCopy();
    void designLabTer(int i, forms::Control* parent);
    void designLogo(int i, forms::Control* parent);
    void designDay();
    void wireHover();
    void copyTipToLabInfo(const forms::Control& carrier);

    Marlix& w_;
};

} // namespace zentrafo
