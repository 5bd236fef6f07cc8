// The qualifying panel's controls, its one-time set-up and the buttons that open,
// close and arrange it.
#include "forms/form.h"
#include "main/marlix.h"
#include "main/module_setting.h"
#include "qualifiers/qualifiers_stage.h"

namespace zentrafo {

using forms::Control;
using forms::onClick;
using forms::Ev;
using forms::EventArgs;
using forms::Kind;

namespace {

constexpr int kRowStep = 265;
// Standings columns: left edge and width (twips), title.
struct Column {
    int left, width;
    const char* title;
};
constexpr int kTableLeft = 5280, kTableTop = 420, kCellHeight = 285;
constexpr std::array<Column, 10> kColumns{{{0, 540, "Rang"},
                                           {540, 1740, "Equipe"},
                                           {2280, 600, "Points"},
                                           {2880, 570, "Joués"},
                                           {3450, 690, "Gagnés"},
                                           {4140, 510, "Nuls"},
                                           {4650, 690, "Perdus"},
                                           {5340, 660, "Buts P"},
                                           {6000, 660, "Buts C"},
                                           {6660, 510, "Diff"}}};
constexpr int kTableWidth = 7170;
// The candidates' column (their list over the drawing-of-lots frame) stands right of the
// qualified list's third column and ends before the fixture list.
constexpr int kCandidatesLeft = 10260, kCandidatesWidth = 2280;

} // namespace

void QualifiersStage::design() {
    forms::Form& f = w_.form;
    // Parked outside the client area until start-up places it.
    FraElim = &f.add(Kind::Frame, "FraElim", -1, nullptr, 20000, 930, 17560, 9885, "Qualifications");
    FraElim->setVisible(false);
    FraElim->on(Ev::MouseMove, [this](Control&, EventArgs&) { FraElim_MouseMove(); });

    for (int k = 0; k < 9; ++k) {
        Control& b = f.add(Kind::Button, "bTNgrp", k, FraElim, 240 + 495 * k, 300, 495, 375,
                           std::string(1, static_cast<char>('A' + k)));
        b.setFontBold(true);
        b.on(Ev::Click, [this](Control& c, EventArgs&) { bTNgrp_Click(c.index()); });
        bTNgrp[static_cast<size_t>(k)] = &b;
    }
    ELIMGRP = &f.add(Kind::TextBox, "ELIMGRP", -1, FraElim, 4800, 300, 375, 375);
    ELIMGRP->setLocked(true);
    ELIMGRP->setFontBold(true);
    ELIMGRP->setAlignment(forms::Align::Center);

    designGrid(f);
    designTable(f);
    designPlayOffs(f);

    // Fixture list and its tools, on the right.
    Check1 = &f.add(Kind::CheckBox, "Check1", -1, FraElim, 12600, 300, 3000, 285, "Masquer matches passés");
    List7 = &f.add(Kind::ListBox, "List7", -1, FraElim, 12600, 660, 4800, 6900);
    List7->setMultiSelect(true);
    List7->setBackColor(kListOn);
    List7->setVisible(false);
    onClick(List7, [this] { List7_Click(); });
    List7->on(Ev::MouseUp, [this](Control&, EventArgs&) { List7_MouseUp(); });
    static constexpr const char* kCounters[4] = {"Matches joués", "Matches joués", "", "Qualifications :"};
    static constexpr std::array<std::array<int, 3>, 4> kCounterBox{
        {{5280, 7920, 4200}, {5280, 120, 4800}, {12600, 7620, 4800}, {5280, 4680, 2400}}};
    for (size_t i = 0; i < 4; ++i) {
        Label24[i] = &f.add(Kind::Label, "Label24", static_cast<int>(i), FraElim, kCounterBox[i][0], kCounterBox[i][1],
                            kCounterBox[i][2], 255, kCounters[i]);
    }
    Label24[3]->setFontBold(true);
    Label24[2]->setVisible(false);
    Command27 = &f.add(Kind::Button, "Command27", -1, FraElim, 12600, 7920, 1245, 915, "Calendrier");
    Command27->setPicture("calendar");
    onClick(Command27, [this] { Command27_Click(); });
    Command25 = &f.add(Kind::Button, "Command25", -1, FraElim, 8580, 6600, 990, 915, "Re-Calcul");
    Command25->setPicture("recalc");
    onClick(Command25, [this] { Command25_Click(); });
    Command22_5 = &f.add(Kind::Button, "Command22", 5, FraElim, 14000, 7920, 1245, 915, "Trim");
    Command22_5->setVisible(false);
    Command22_5->on(Ev::Click, [this](Control& c, EventArgs&) { Command22_Click(c.index()); });
    Command23 = &f.add(Kind::Button, "Command23", -1, FraElim, 15360, 7920, 1020, 915, "Sauver");
    Command23->setPicture("save");
    onClick(Command23, [this] { Command23_Click(); });
    Command24 = &f.add(Kind::Button, "Command24", -1, FraElim, 16440, 7920, 1020, 915, "Fermer");
    Command24->setPicture("qualif");
    onClick(Command24, [this] { Command24_Click(); });

    // Drawing-of-lots frame: the team names, shown once the names are unlocked. The hint
    // takes three lines at this width, in every language.
    FraTrim = &f.add(Kind::Frame, "FraTrim", -1, FraElim, kCandidatesLeft, 5640, kCandidatesWidth, 2850);
    FraTrim->setVisible(false);
    constexpr int kNameWidth = kCandidatesWidth - 180;
    Label16 = &f.add(Kind::Label, "Label16", -1, FraTrim, 90, 210, kNameWidth, 690,
                     "Cliquer dans une equipe pour lui donner l'avantage en cas d'égalité");
    for (int i = 0; i < 6; ++i) {
        Control& n = f.add(Kind::TextBox, "NEElim", i, FraTrim, 90, 930 + i * 285, kNameWidth, 285);
        n.setVisible(false);
        n.on(Ev::DblClick, [this](Control& c, EventArgs&) { NEElim_DblClick(c.index()); });
        NEElim[static_cast<size_t>(i)] = &n;
    }

    // Working lists, outside the visible area.
    Control* work = &f.add(Kind::Frame, "FraCalcul", -1, FraElim, 30000, 0, 6000, 3000);
    auto list = [&](const char* name, bool sorted) {
        Control& l = f.add(Kind::ListBox, name, -1, work, 0, 0, 1500, 1000);
        l.setSorted(sorted);
        l.setVisible(false);
        return &l;
    };
    List5 = list("List5", true);
    List6 = list("List6", true);
    List8 = list("List8", true);
    ListPremiers = list("ListPremiers", false);
    ListSeconds = list("ListSeconds", false);
    ListMeilleurB = list("ListMeilleurB", true);
    Text5 = &f.add(Kind::TextBox, "Text5", -1, work, 0, 1000, 3000, 1500, "Text5");
    Text5->setMultiLine(true);

    // The button of the window's bar that opens the panel.
    Command26 = &f.add(Kind::Button, "Command26", -1, nullptr, 4350, 15, 1245, 915, "Qualifications");
    Command26->setPicture("qualif");
    onClick(Command26, [this] { Command26_Click(); });
}

void QualifiersStage::designGrid(forms::Form& f) {
    // A borderless box holds the rows, so that the grid's own coordinates start at 0. It
    // starts below the group buttons: over them it would take the presses on their edge.
    Control* grid = &f.add(Kind::Frame, "FraGrille", -1, FraElim, 0, 675, 5100, 8220);
    grid->setValue(1);
    for (int i = 0; i < 2; ++i) {
        Control& team = f.add(Kind::TextBox, "EquiElim", i, grid, i == 0 ? 120 : 3060, 180, 1845, 280);
        team.setLocked(true);
        team.setAlignment(i == 0 ? forms::Align::Right : forms::Align::Left);
        team.on(Ev::MouseMove, [this](Control& c, EventArgs&) { EquiElim_MouseMove(c.index()); });
        Control& goals = f.add(Kind::TextBox, "ButElim", i, grid, i == 0 ? 1980 : 2610, 180, 435, 280, "-");
        goals.setAlignment(forms::Align::Center);
        goals.on(Ev::Change, [this](Control& c, EventArgs&) { ButElim_Change(c.index()); });
        goals.on(Ev::GotFocus, [](Control& c, EventArgs&) { c.select(0, static_cast<int>(c.text().size())); });
        EquiElim[static_cast<size_t>(i)] = &team;
        ButElim[static_cast<size_t>(i)] = &goals;
    }
}

void QualifiersStage::designTable(forms::Form& f) {
    using Cells = std::array<Control*, 7>;
    const std::array<Cells*, 10> cols{nullptr, &SortEQU, &SortPTS, &SortJ, &SortG, &SortN, &SortP, &SortBP,
                                      &SortBC, &SortDiff};
    static constexpr const char* kNames[10] = {"SortRang", "SortEQU", "SortPTS", "SortJ",  "SortG",
                                               "SortN",    "SortP",   "SortBP",  "SortBC", "SortDiff"};
    for (size_t c = 0; c < cols.size(); ++c) {
        for (int r = 0; r <= 6; ++r) {
            Control& cell = f.add(Kind::TextBox, kNames[c], r, FraElim, kTableLeft + kColumns[c].left,
                                  kTableTop + r * kCellHeight, kColumns[c].width, kCellHeight);
            cell.setLocked(true);
            cell.setAlignment(c == 1 ? forms::Align::Left : forms::Align::Center);
            if (r == 0) {
                cell.setText(kColumns[c].title);
                cell.setForeColor(kWhite);
                cell.setBackColor(0x404040);
                cell.setFontBold(true);
            } else if (r >= 3) {
                cell.setBackColor(kUndecided);
            }
            if (c == 0 && r > 0) cell.setText(std::to_string(r));
            if (c == 1 || c == 2) cell.setFontBold(r > 0);
            // Every cell of a row tells the status of its team.
            cell.on(Ev::MouseMove, [this](Control& me, EventArgs&) { SortEQU_MouseMove(me.index()); });
            if (c == 0)
                SortRang[static_cast<size_t>(r)] = &cell;
            else
                (*cols[c])[static_cast<size_t>(r)] = &cell;
        }
    }
    Control& popup = f.add(Kind::TextBox, "SortRang", 7, FraElim, kTableLeft, kTableTop + 7 * kCellHeight, kTableWidth,
                           kCellHeight);
    popup.setLocked(true);
    popup.setForeColor(kWhite);
    popup.setBackColor(0xC00000);
    popup.setFontBold(true);
    popup.setVisible(false);
    popup.on(Ev::MouseMove, [this](Control& me, EventArgs&) { SortEQU_MouseMove(me.index()); });
    SortRang[7] = &popup;
}

void QualifiersStage::designPlayOffs(forms::Form& f) {
    Frame22 = &f.add(Kind::Frame, "Frame22", -1, FraElim, kTableLeft, 2820, 4140, 1560, "Matches de barrages");
    Frame22->setTag("charge");
    for (int t = 0; t < 4; ++t) {
        const int top = 270 + 300 * t;
        for (int side = 0; side < 2; ++side) {
            const int k = 2 * t + side;
            Control& team = f.add(Kind::TextBox, "BAR", k, Frame22, side == 0 ? 60 : 2340, top, 1605, 285);
            team.setBackColor(kWhite);
            Control& goals = f.add(Kind::TextBox, "ButBAR", k, Frame22, side == 0 ? 1680 : 2010, top, 315, 285, "-");
            goals.setAlignment(forms::Align::Center);
            goals.on(Ev::Change, [this](Control& c, EventArgs&) { ButBAR_Change(c.index()); });
            goals.on(Ev::GotFocus, [](Control& c, EventArgs&) { c.select(0, static_cast<int>(c.text().size())); });
            BAR[static_cast<size_t>(k)] = &team;
            ButBAR[static_cast<size_t>(k)] = &goals;
        }
    }

    // Candidates of the play-offs, seated by a double-click.
    Label17_5 = &f.add(Kind::Label, "Label17", 5, FraElim, kCandidatesLeft, 2820, kCandidatesWidth, 255,
                       "Qualifiés pour les barrages:");
    Label17_5->setFontBold(true);
    QuaBar = &f.add(Kind::TextBox, "QuaBar", -1, FraElim, kCandidatesLeft, 3090, kCandidatesWidth, 2460);
    QuaBar->setMultiLine(true);
    QuaBar->on(Ev::DblClick, [this](Control&, EventArgs&) { QuaBar_DblClick(); });

    // The qualified: the host, winners, runners-up, best third, then play-off winners.
    static constexpr uint32_t kBack[4] = {0xC0FFFF, 0x80FFFF, 0x80FF80, 0x80C0FF};
    for (int i = 0; i < 24; ++i) {
        int left, top;
        if (i < 10) {
            left = kTableLeft, top = 4980 + i * 285;
        } else if (i < 20) {
            left = kTableLeft + 1650, top = 4980 + (i - 10) * 285;
        } else {
            left = kTableLeft + 3300, top = 5265 + (i - 20) * 285;
        }
        Control& q = f.add(Kind::TextBox, "QUALIF", i, FraElim, left, top, 1605, 285, i == 0 ? "France" : "");
        if (i >= 1) q.setBackColor(i <= 9 ? kBack[0] : i <= 18 ? kBack[1] : i == 19 ? kBack[2] : kBack[3]);
        QUALIF[static_cast<size_t>(i)] = &q;
    }
    Label17_3 = &f.add(Kind::Label, "Label17", 3, FraElim, kTableLeft + 3300, 4980, 1605, 255, "Barrages :");
    Label17_3->setFontBold(true);
}

bool QualifiersStage::grilleCreee() const { return Command26->tag() == "CH"; }

void QualifiersStage::ChargeElim() {
    if (grilleCreee()) return;
    forms::Form& f = w_.form;
    for (int i = 2; i < 60; ++i) {
        const auto add = [&](const char* name, std::array<Control*, 60>& arr) {
            // Each column copies its own first element, so home names stay aligned one
            // way and away names the other.
            Control* c = f.loadElement(name, i, arr[static_cast<size_t>(i % 2)]);
            const Control* above = arr[static_cast<size_t>(i - 2)];
            c->setVisible(true);
            c->setLeft(above->left());
            c->setTop(above->top() + kRowStep);
            arr[static_cast<size_t>(i)] = c;
        };
        add("EquiElim", EquiElim);
        add("ButElim", ButElim);
    }
    Command26->setTag("CH");
    w_.calendrier.ChargeCalendrier();
    // The first look at the qualifiers file: one that cannot be read is named now.
    const platform::IniFile doc = LitFichierAffiche(w_.platform, w_.LangueCourante, kFichier);
    w_.langage.AfficheMessage(LireIni(doc, "Mess", std::to_string(w_.LangueCourante)));
}

void QualifiersStage::Command26_Click() {
    ChargeElim();
    Command27_Click();
    FraElim->setVisible(true);
    FraElim->bringToFront();
    w_.knockout.Frame9->setVisible(false);
    w_.views.Fraide->setVisible(false);
    w_.views.Frame18->setVisible(false);
}

void QualifiersStage::Command24_Click() { FraElim->setVisible(false); }

void QualifiersStage::Command22_Click(int index) {
    if (index == 5) FraTrim->setVisible(!FraTrim->visible());
}

} // namespace zentrafo
