#include "groups/group_stage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "forms/form.h"
#include "groups/sorter_item.h"
#include "main/marlix.h"
#include "platform/text.h"

namespace zentrafo {

using forms::Control;
using forms::Ev;
using forms::Kind;

namespace {

struct GroupNames {
    const char* frame;
    const char* team;
    const char* score;
    const char* played;
    const char* points;
    const char* goalsFor;
    const char* goalsAgainst;
    const char* difference;
    const char* sorter;
    const char* lots;
    const char* fixture;
};

constexpr std::array<GroupNames, 6> kNames{{
    {"Frame1", "A", "ButA", "MJ", "PTs", "BP", "BC", "Delta", "ListA", "LabTir", "lm"},
    {"Frame2", "B", "ButB", "MJb", "PTsB", "BPB", "BCB", "DeltaB", "ListB", "LabTIRB", "lmB"},
    {"Frame3", "C", "ButC", "MJC", "PTsC", "BPC", "BCC", "DeltaC", "ListC", "LabTirC", "lmC"},
    {"Frame4", "D", "ButD", "MJD", "PTsD", "BPD", "BCD", "DeltaD", "ListD", "LabTIRD", "lmD"},
    {"Frame6", "E", "ButE", "MJE", "PTsE", "BPE", "BCE", "DeltaE", "ListE", "LabTIRE", "lmE"},
    {"Frame7", "F", "ButF", "MJF", "PTsF", "BPF", "BCF", "DeltaF", "ListF", "LabTIRF", "lmF"},
}};

// Goals for and against of each slot, as score-box numbers.
constexpr std::array<std::array<int, 3>, 5> kFor{{{0, 0, 0}, {0, 4, 9}, {1, 7, 10}, {2, 5, 11}, {3, 6, 8}}};
constexpr std::array<std::array<int, 3>, 5> kAgainst{{{0, 0, 0}, {1, 5, 8}, {0, 6, 11}, {3, 4, 10}, {2, 7, 9}}};

constexpr std::array<uint32_t, 5> kSlotColour{0, forms::rgb(35, 170, 215), forms::rgb(101, 195, 227),
                                              forms::rgb(113, 172, 220), forms::rgb(166, 203, 233)};

// Panel geometry (twips). Three panels a row, two rows, below the window's button bar
// and left of the right-hand column.
constexpr int kPanelWidth = 4300;
constexpr int kPanelHeight = 4300;
constexpr std::array<int, 3> kPanelLeft{120, 4520, 8920};
constexpr std::array<int, 2> kPanelTop{960, 5320};
// Table columns inside a panel.
constexpr int kTeamLeft = 120, kTeamWidth = 1545, kRowHeight = 255;
constexpr int kPlayedLeft = 1720, kPointsLeft = 2080, kForLeft = 2520, kAgainstLeft = 2960, kDiffLeft = 3400;
// Fixture rows: even labels left, odd labels right, the two score boxes between.
constexpr std::array<int, 12> kFixtureTop{600, 600, 852, 852, 1104, 1095, 1356, 1350, 1608, 1608, 1860, 1860};
constexpr int kFixturesTop = 2150;

double goals(const Control* box) { return platform::val(box->text()); }

// The number a figure's caption shows, read back exponent included.
double shownValue(double v) {
    const double shown = std::strtod(platform::numText(v).c_str(), nullptr);
    return std::isfinite(shown) ? shown : v;
}

} // namespace

void GroupStage::design() {
    for (int gi = 0; gi < 6; ++gi) designGroup(groups[static_cast<size_t>(gi)], gi);
    designOverview();
}

void GroupStage::designGroup(Group& g, int gi) {
    forms::Form& f = w_.form;
    const GroupNames& n = kNames[static_cast<size_t>(gi)];
    g.letter = static_cast<char>('A' + gi);
    g.frame = &f.add(Kind::Frame, n.frame, -1, nullptr, kPanelLeft[static_cast<size_t>(gi % 3)],
                     kPanelTop[static_cast<size_t>(gi / 3)], kPanelWidth, kPanelHeight,
                     std::string("Groupe ") + g.letter);
    g.frame->setFontBold(true);
    g.frame->setFontSize(9.75);

    // Column captions. Group A's are Label1 1 to 4; the others follow in steps of five,
    // numbered from the right, as the column alignment at start-up expects.
    static const char* const kHeads[5] = {"J", "Pts", "BP", "BC", "Diff"};
    const int heads[5] = {kPlayedLeft, kPointsLeft, kForLeft, kAgainstLeft, kDiffLeft};
    for (int i = 0; i < 5; ++i) {
        int idx = i == 0 ? gi : (gi == 0 ? i : 5 * gi + 4 - i);
        g.header[static_cast<size_t>(i)] =
            &f.add(Kind::Label, i == 0 ? "LabJ" : "Label1", idx, g.frame, heads[i], 420, 420, 240,
                   kHeads[i]);
        g.header[static_cast<size_t>(i)]->setAlignment(forms::Align::Center);
        g.header[static_cast<size_t>(i)]->setFontBold(true);
    }

    for (int s = 1; s <= 4; ++s) {
        const int top = kRowTop[static_cast<size_t>(s - 1)];
        Control& t = f.add(Kind::TextBox, n.team, s, g.frame, kTeamLeft, top, kTeamWidth, kRowHeight,
                           std::string(1, g.letter) + std::to_string(s));
        t.setLocked(g.letter != 'C');
        t.setForeColor(0);
        g.team[static_cast<size_t>(s)] = &t;
        auto label = [&](const char* name, int left, int width, int dy) {
            Control& c = f.add(Kind::Label, name, s, g.frame, left, top + dy, width, kRowHeight - 15);
            c.setAlignment(forms::Align::Center);
            return &c;
        };
        g.played[static_cast<size_t>(s)] = label(n.played, kPlayedLeft, 300, kPlayedOffset);
        g.points[static_cast<size_t>(s)] = label(n.points, kPointsLeft, 400, 0);
        g.goalsFor[static_cast<size_t>(s)] = label(n.goalsFor, kForLeft, 400, 0);
        g.goalsAgainst[static_cast<size_t>(s)] = label(n.goalsAgainst, kAgainstLeft, 400, 0);
        g.difference[static_cast<size_t>(s)] = label(n.difference, kDiffLeft, 450, 0);
        g.points[static_cast<size_t>(s)]->setFontBold(true);
    }

    g.sorter = &f.add(Kind::ListBox, n.sorter, -1, g.frame, 3000, 120, 1200, 300);
    g.sorter->setSorted(true);
    g.sorter->setVisible(false);
    g.lots = &f.add(Kind::Label, n.lots, -1, g.frame, kTeamLeft, 1900, 4000, 240);
    g.lots->setForeColor(forms::rgb(255, 0, 0));
    g.lots->setFontBold(true);

    g.fixtures = &f.add(Kind::Frame, "FraMatchs", gi, g.frame, 0, kFixturesTop, kPanelWidth - 60, 2100);
    g.fixtures->setValue(1); // drawn without a border
    for (int j = 0; j < 12; ++j) {
        const bool first = j % 2 == 0;
        const int top = kFixtureTop[static_cast<size_t>(j)];
        Control& l = f.add(Kind::Label, n.fixture, j, g.fixtures, first ? 120 : 2100, top, 1065, 195);
        l.setAlignment(first ? forms::Align::Right : forms::Align::Left);
        g.fixture[static_cast<size_t>(j)] = &l;
        const int rowTop = kFixtureTop[static_cast<size_t>(j & ~1)];
        Control& b = f.add(Kind::TextBox, n.score, j, g.fixtures, first ? 1230 : 1665, rowTop - 30, 390, 255, "-");
        b.setAlignment(forms::Align::Center);
        b.setBackColor(forms::ButtonFace);
        g.score[static_cast<size_t>(j)] = &b;
    }

    // Handlers: one body for every group, bound to its own controls.
    for (Control* b : g.score) {
        b->on(Ev::Change, [this, &g](Control& c, forms::EventArgs&) { onScoreChange(g, c); });
        b->on(Ev::MouseDown, [](Control& c, forms::EventArgs&) { c.select(0, 2); });
    }
    for (int s = 1; s <= 4; ++s) {
        Control* t = g.team[static_cast<size_t>(s)];
        t->on(Ev::Click, [this, &g](Control& c, forms::EventArgs&) { onTeamClick(g, c); });
        t->on(Ev::Change, [this](Control&, forms::EventArgs&) {
            if (w_.ChargementFini) MajLabelsMatchs();
        });
    }
}

void GroupStage::colourRows() {
    for (Group& g : groups)
        for (int s = 1; s <= 4; ++s) g.team[static_cast<size_t>(s)]->setBackColor(kSlotColour[static_cast<size_t>(s)]);
}

std::string sansTirets(const std::string& typed) {
    return typed.size() > 1 ? platform::replaceAll(typed, "-", "") : typed;
}

void GroupStage::onScoreChange(Group& g, Control& box) {
    box.setText(sansTirets(box.text())); // a change raises Change again: that run finds nothing to clean
    if (w_.ChargementFini) CalculGroupe(g);
}

void GroupStage::onTeamClick(Group& g, Control& box) {
    if (!g.lots->caption().empty()) box.setTag("1");
    CalculGroupe(g);
}

void GroupStage::CalculGroupe(Group& g) {
    std::array<int, 5> pts{}, played{};
    for (int m = 0; m < 6; ++m) {
        const Control* a = g.score[static_cast<size_t>(2 * m)];
        const Control* b = g.score[static_cast<size_t>(2 * m + 1)];
        if (a->text() == "-" || b->text() == "-") continue;
        const int s1 = kSlotOfBox[static_cast<size_t>(2 * m)], s2 = kSlotOfBox[static_cast<size_t>(2 * m + 1)];
        ++played[static_cast<size_t>(s1)];
        ++played[static_cast<size_t>(s2)];
        const double ga = goals(a), gb = goals(b);
        if (ga > gb) {
            pts[static_cast<size_t>(s1)] += 3;
        } else if (gb > ga) {
            pts[static_cast<size_t>(s2)] += 3;
        } else {
            pts[static_cast<size_t>(s1)] += 1;
            pts[static_cast<size_t>(s2)] += 1;
        }
    }

    std::array<double, 5> key{};
    g.sorter->clear();
    for (int s = 1; s <= 4; ++s) {
        const auto i = static_cast<size_t>(s);
        double gf = 0, ga = 0;
        for (int k : kFor[i]) gf = platform::finiteSum(gf, goals(g.score[static_cast<size_t>(k)]));
        for (int k : kAgainst[i]) ga = platform::finiteSum(ga, goals(g.score[static_cast<size_t>(k)]));
        g.goalsFor[i]->setCaption(platform::numText(gf));
        g.goalsAgainst[i]->setCaption(platform::numText(ga));
        g.difference[i]->setCaption(platform::numText(gf - ga));
        g.played[i]->setCaption(played[i] ? std::to_string(played[i]) : std::string());
        g.points[i]->setCaption(std::to_string(pts[i]));
        // The key is built from the figures as shown, so what the user reads is what ranks.
        key[i] = pts[i] + shownValue(gf - ga) / 100.0 + shownValue(gf) / 1000.0 +
                 platform::val(g.team[i]->tag()) / 10000.0;
        g.sorter->addItem(groupItem(key[i] + 10, s));
    }

    bool complete = true;
    for (const Control* b : g.score)
        if (b->text() == "-") complete = false;

    for (int r = 3; r >= 0; --r) {
        const int s = readItem(ItemForm::Group, g.sorter->list(r)).slot;
        if (s == 0) continue;
        const auto i = static_cast<size_t>(s);
        const int top = kRowTop[static_cast<size_t>(3 - r)];
        const bool qualifying = r >= 2;
        Control* t = g.team[i];
        if (complete) {
            t->setFontBold(qualifying);
            t->setForeColor(qualifying ? forms::rgb(255, 0, 0) : w_.CouleurNonQualifie);
        } else {
            t->setForeColor(0);
            t->setFontBold(false);
        }
        t->setTop(top);
        g.goalsFor[i]->setTop(top);
        g.goalsAgainst[i]->setTop(top);
        g.points[i]->setTop(top);
        g.difference[i]->setTop(top);
        g.played[i]->setTop(top + kPlayedOffset);
    }

    bool tie = false;
    if (complete) {
        tie = key[1] == key[2] || key[2] == key[3] || key[1] == key[3] || key[1] == key[4] || key[3] == key[4] ||
              key[2] == key[4];
    }
    g.lots->setCaption(tie ? w_.MSG[3] : std::string());
    if (w_.ChargementFini) RemplitHuitiemes();
}

void GroupStage::MajLabelsMatchs() {
    for (Group& g : groups) {
        for (int j = 0; j < 12; ++j)
            g.fixture[static_cast<size_t>(j)]->setCaption(g.team[static_cast<size_t>(kSlotOfBox[static_cast<size_t>(j)])]->text());
        for (int j = 0; j < 12; ++j)
            g.fixture[static_cast<size_t>(j)]->setBackColor(
                g.team[static_cast<size_t>(kSlotOfBox[static_cast<size_t>(j)])]->backColor());
    }
    for (Control* seat : w_.knockout.Huit)
        if (seat) seat->setText("");
}

void GroupStage::ReplaceEquipes() {
    for (int k = 0; k < 12; ++k)
        for (const Group& g : groups)
            if (g.score[static_cast<size_t>(k)]->text() != "-") return;
    for (Group& g : groups)
        for (int s = 1; s <= 4; ++s) g.team[static_cast<size_t>(s)]->setTop(kRowTop[static_cast<size_t>(s - 1)]);
}

} // namespace zentrafo
