#pragma once
// The qualifying competition: its panel on the main window, the nine groups kept in
// "Kestrava.ini" and shown one at a time, the live standings with their tie rules and
// colours, the play-offs, the overall run and the fixture calendar.
#include <array>
#include <cstdint>
#include <string>

#include "forms/control.h"
#include "platform/ini.h"

namespace zentrafo {

class Marlix;

class QualifiersStage {
public:
    static constexpr const char* kFichier = "Kestrava";
    static constexpr uint32_t kWhite = 0xFFFFFF, kGreen = 0xFF00, kOrange = 0x80FF, kYellow = 0xFFFF,
                              kRed = 0xFF, kUndecided = 0xC0E0FF, kListOn = 0xE0E0E0;

    explicit QualifiersStage(Marlix& w) : w_(w) {}
    void design();

    // Creates the fixture grid and loads the calendar, once per run of the program.
    void ChargeElim();
    // Lists the qualifiers' fixtures and their count.
    void Command27_Click();
    // Opens the panel from the window's button bar.
    void Command26_Click();

    // The file and the group shown.
    void Command23_Click();
    void ChargeGroupeElim();
    // Group selection and score entry.
    void bTNgrp_Click(int index);
    void ButElim_Change(int index);
    void ButBAR_Change(int index);
    // Standings and their colours.
    void CalculGroupeElim();
    void CouleurGroupeElim(int remaining);
    // Play-offs.
    void CalculBarrages();
    void AjouteQualifieBarrage(const std::string& team);
    void QuaBar_DblClick();
    // Tools.
    void Command24_Click();
    void Command22_Click(int index);
    void NEElim_DblClick(int index);
    // Fixture list and hover pop-ups.
    void List7_Click();
    void List7_MouseUp();
    void EquiElim_MouseMove(int index);
    void FraElim_MouseMove();
    void SortEQU_MouseMove(int index);
    // The overall run over the nine groups.
    void Command25_Click();

    // True once ChargeElim has created the grid.
    bool grilleCreee() const;

    forms::Control* FraElim = nullptr;
    std::array<forms::Control*, 9> bTNgrp{};
    forms::Control* ELIMGRP = nullptr;
    std::array<forms::Control*, 6> NEElim{};
    std::array<forms::Control*, 60> EquiElim{}; // 2..59 exist once ChargeElim ran
    std::array<forms::Control*, 60> ButElim{};
    forms::Control* Frame22 = nullptr;
    std::array<forms::Control*, 8> BAR{};
    std::array<forms::Control*, 8> ButBAR{};
    std::array<forms::Control*, 24> QUALIF{};
    forms::Control* QuaBar = nullptr;
    forms::Control* List7 = nullptr;
    forms::Control* Check1 = nullptr;
    std::array<forms::Control*, 4> Label24{}; // counters; 2 is the fixture count
    forms::Control* Command22_5 = nullptr;    // "Trim"
    forms::Control* Command23 = nullptr;      // "Sauver"
    forms::Control* Command24 = nullptr;      // "Fermer"
    forms::Control* Command25 = nullptr;      // "Re-Calcul"; Tag "AUTO" during the overall run
    forms::Control* Command26 = nullptr;      // "Qualifications"; its Tag guards ChargeElim
    forms::Control* Command27 = nullptr;      // "Calendrier"
    forms::Control* FraTrim = nullptr;
    forms::Control* Label16 = nullptr;
    forms::Control* Label17_3 = nullptr; // "Barrages :", the source of Frame22's caption
    forms::Control* Label17_5 = nullptr; // heading of the play-off candidates
    // Standings: index 0 is the title, 1 to 6 the rows; SortRang 7 is the pop-up.
    std::array<forms::Control*, 8> SortRang{};
    std::array<forms::Control*, 7> SortEQU{}, SortPTS{}, SortJ{}, SortG{}, SortN{}, SortP{}, SortBP{}, SortBC{},
        SortDiff{};
    // Working lists and texts, never seen by the user.
    forms::Control* List5 = nullptr;
    forms::Control* List6 = nullptr;
    forms::Control* List8 = nullptr;
    forms::Control* Text5 = nullptr;
    forms::Control* ListPremiers = nullptr;
    forms::Control* ListSeconds = nullptr;
    forms::Control* ListMeilleurB = nullptr;

private:
    void designTable(forms::Form& f);
    void designPlayOffs(forms::Form& f);
    void designGrid(forms::Form& f);
    // Reads the group's weights, reusing the last read while the file is unchanged.
    double lots(const std::string& group, int slot);
    bool sauveGroupe();

    Marlix& w_;
    // What identifies one version of the file on disk: a save replaces the file by a
    // new one, so its inode changes even when its time stamp and size do not.
    struct FileStamp {
        unsigned long long inode = 0, size = 0;
        long long mtimeNs = 0, ctimeNs = 0;
        bool operator==(const FileStamp&) const = default;
    };
    struct LotsCache {
        std::string path;
        FileStamp stamp;
        bool valid = false;
        platform::IniFile doc;
    } lotsCache_;
};

} // namespace zentrafo
