#pragma once
// The tournament file "<stem>.ini" in the program's folder: the whole forecast (group
// scores, team names, drawing-of-lots marks, knockout goals and penalties) and the
// sections that only the published results file brings: "CV" (the publisher's program
// version), "Lien" (a link), "Mess" (a message of the day per language) and "Match"
// (the information of every match, shown as tooltips and listed in the match list).
#include <array>
#include <string>
#include <string_view>

#include "forms/control.h"
#include "platform/ini.h"

namespace zentrafo {

class Marlix;

class TournamentFile {
public:
    explicit TournamentFile(Marlix& w) : w_(w) {}

    // Creates Text1 (the stem loaded last, above the visible area), the save button
    // Command3, the match list List1 (in the day's panel, outside its visible part) and
    // the edition's logos (hidden).
    void design();

    // Loads the file into the window, ending with the full recalculation. A missing
    // file is a fresh forecast. When the file announces a newer program version and the
    // user accepts to fetch it, the download page is opened and the process ends here.
    void ChargeFichier(const std::string& stem);

    // Writes the forecast (184 values) to the file named by Text1 in one atomic
    // rewrite that keeps every other line. When it cannot be written the user is told
    // and false is returned; the file and the window are then as they were.
    bool SauveFichier();

    // The save button: saves, and once published results were downloaded, unlocks
    // the send panel; a save that failed unlocks nothing.
    void Command3_Click();

    // The match list and the match tooltips from section "Match".
    void ChargeMatchs(const std::string& stem);
    void ChargeMatchs(const platform::IniFile& doc);

    // Version of a "CV" value: 0 unless it is three characters, then the first digit
    // plus the last digit / 10 (a non-digit counts 0).
    static double VersionFichier(std::string_view cv);
    double VersionProgramme() const;

    forms::Control* Text1 = nullptr;
    forms::Control* Command3 = nullptr;
    forms::Control* List1 = nullptr;
    // The loaded edition's logo (element 0; element 1 is never given one): a picture
    // store the statistics and the update dialog take their logo from.
    std::array<forms::Control*, 2> ImaRepLogo{};

    static constexpr std::string_view kTitreVersion = "Dravello...";

private:
    void VerifieVersion(const platform::IniFile& doc);

    Marlix& w_;
};

} // namespace zentrafo
