#pragma once
// The printable bracket sheet: the knockout boxes and podium copied from the main
// window, joined by connector lines, with a hover highlight of one team's road.
#include <array>

#include "forms/control.h"
#include "forms/form.h"

namespace zentrafo {

class Marlix;

class Impress {
public:
    explicit Impress(Marlix& w);

    forms::Form form{"Impress"};

    void Form_Load();
    void Command2_Click(); // refresh
    void Command5_Click(); // print
    void Command1_Click(); // close
    void Label1_Click();   // the author's home page
    void CopieTableau();
    void RecupInfo();
    void Surligne(const forms::Control& box);

    std::array<forms::Control*, 16> T8{};
    std::array<forms::Control*, 8> T4{};
    std::array<forms::Control*, 4> T2{};
    std::array<forms::Control*, 2> TF{};
    std::array<forms::Control*, 3> RESULT{};
    forms::Control* Image1 = nullptr; // podium banner
    forms::Control* Label1 = nullptr; // link zone over the banner
    forms::Control* Frame1 = nullptr; // the buttons
    forms::Control* Command2 = nullptr;
    forms::Control* Command5 = nullptr;
    forms::Control* Command1 = nullptr;
    // Connectors. Line8H 0 is the template of the odd elements, which RecupInfo loads.
    std::array<forms::Control*, 16> Line8H{};
    std::array<forms::Control*, 4> Line8V{}, Line4H{};
    std::array<forms::Control*, 2> Line4V{};
    std::array<forms::Control*, 3> LineF{};
    forms::Control* LinefV = nullptr;

    static constexpr uint32_t kHighlight = 0x00FFFF;
    static constexpr uint32_t kWhite = 0xFFFFFF;
    static constexpr uint32_t kLineColour = 0x400000;

private:
    Marlix& w_;
};

} // namespace zentrafo
