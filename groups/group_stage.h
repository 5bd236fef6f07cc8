#pragma once
// The group stage: the six group panels, their score entry, each group's table with
// the drawing of lots, and the full recalculation of everything derived from entries.
#include <array>
#include <string>
#include <string_view>

#include "forms/control.h"

namespace zentrafo {

class Marlix;

// One group's controls. Per-team arrays are indexed by team slot 1 to 4 (0 unused).
struct Group {
    char letter = 'A';
    forms::Control* frame = nullptr;
    forms::Control* fixtures = nullptr; // borderless box holding the six fixture rows
    std::array<forms::Control*, 5> team{};
    std::array<forms::Control*, 12> score{};
    std::array<forms::Control*, 12> fixture{};
    std::array<forms::Control*, 5> played{}, points{}, goalsFor{}, goalsAgainst{}, difference{};
    std::array<forms::Control*, 5> header{}; // column captions, one per figure column
    forms::Control* sorter = nullptr;
    forms::Control* lots = nullptr;
};

// Rank places as row positions (twips), best first.
inline constexpr std::array<int, 4> kRowTop{690, 945, 1380, 1635};
inline constexpr int kPlayedOffset = 15;
// Team slot of each score box: box 2m is the first-named team of match m.
inline constexpr std::array<int, 12> kSlotOfBox{1, 2, 3, 4, 1, 3, 4, 2, 4, 1, 2, 3};

// What a score box keeps of a typed text: every "-" goes once anything else is typed
// with it (typing over the "-" of an unplayed match, or before a score); the lone "-"
// of an unplayed match stays. Shared by every score box of the program.
std::string sansTirets(const std::string& typed);

class GroupStage {
public:
    explicit GroupStage(Marlix& w) : w_(w) {}

    // Creates the six panels' controls and wires their handlers.
    void design();
    // Controls of the group stage that stand on the knockout view.
    void designOnBracket();
    // Background colour of every team-name box by its slot.
    void colourRows();

    std::array<Group, 6> groups;
    Group& group(char letter) { return groups[static_cast<size_t>(letter - 'A')]; }

    // One group's table, ranking, colours and lots notice.
    void CalculGroupe(Group& g);
    void CalculGroupeA() { CalculGroupe(groups[0]); }
    void CalculGroupeB() { CalculGroupe(groups[1]); }
    void CalculGroupeC() { CalculGroupe(groups[2]); }
    void CalculGroupeD() { CalculGroupe(groups[3]); }
    void CalculGroupeE() { CalculGroupe(groups[4]); }
    void CalculGroupeF() { CalculGroupe(groups[5]); }

    // Fixture labels copy the team names and slot colours into every match row.
    void MajLabelsMatchs();
    // Puts every group's rows back in draw order while no group score is entered.
    void ReplaceEquipes();
    // Everything derived from the entries, again; repeats while the best thirds
    // changed under it (an edit handled during the seating's yield).
    void RecalculeTout();

    // Ranks the six third-placed teams, picks the seating string of the best four.
    void ClasseMeilleursTroisiemes();
    // Seats the round of sixteen from the group tables.
    void RemplitHuitiemes();
    // Name of the third-ranked team of the group a code such as "3C" names.
    std::string NomTroisieme(const std::string& code) const;
    // Goal total of the tournament; colours the group score boxes played or not.
    void CompteButs();
    // Opens the team names of every group to editing.
    void Label12_Click();

    forms::Control* Frame11 = nullptr;        // round-of-sixteen overview; Tag = seating string
    std::array<forms::Control*, 16> overview{}; // Huit 16 to 31: seat s shown in overview[s]
    forms::Control* TexMeillTrois = nullptr;
    std::array<forms::Control*, 4> List3{};
    forms::Control* Label15 = nullptr;
    forms::Control* Label21 = nullptr; // the goal total's copy on the knockout view
    forms::Control* Label12 = nullptr;

private:
    void designGroup(Group& g, int gi);
    void designOverview();
    void onScoreChange(Group& g, forms::Control& box);
    void onTeamClick(Group& g, forms::Control& box);

    Marlix& w_;
};

} // namespace zentrafo
