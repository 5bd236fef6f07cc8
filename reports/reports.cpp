#include "reports/reports.h"

#include <algorithm>
#include <cmath>

#include "groups/sorter_item.h"
#include "main/marlix.h"
#include "platform/text.h"

namespace zentrafo {

using forms::Control;
using forms::onClick;
using forms::Ev;
using forms::Kind;

namespace {

// The stem of the current edition's tournament file, and the year its title shows.
constexpr const char* kCurrentStem = "Zentrafo";
constexpr const char* kCurrentYear = " 2019";

// Counts above this are shown as this: whole numbers stay exact, and no sum of typed
// scores, however long, reaches infinity.
constexpr double kMaxCount = 1e15;

// A goals box: its leading number; "-" (not played) and an empty box count 0.
double boxGoals(const Control* box) { return std::clamp(platform::val(box->text()), 0.0, kMaxCount); }

// A team's group key as its placing score holds it. Every real result (about 9 to 20)
// stays as it is; keys beyond 40 or below 1, which only absurd scores reach, are drawn
// in towards 50 and 0, in their order, so that the key and a stage's addend never leave
// that stage's band (the narrowest is 50 wide).
double inItsBand(double k) {
    if (k < 1) return 1 / (2 - k);
    if (k > 40) return std::min(40 + 10 * (k - 40) / (k - 30), 49.99999);
    return k;
}

// Digits of a whole, non-negative number.
int digits(double v) {
    int n = 1;
    for (double x = std::floor(v); x >= 10; x = std::floor(x / 10)) ++n;
    return n;
}

} // namespace

Reports::Reports(Marlix& w)
    : stats(w.platform, [&w] { return std::make_unique<Stats>(w); }),
      impress(w.platform,
              [&w] {
                  auto sheet = std::make_unique<Impress>(w);
                  sheet->Form_Load();
                  return sheet;
              }),
      w_(w) {}

void Reports::design() {
    forms::Form& f = w_.form;
    // Left of the save button, the one free place of the toolbar.
    Command21 = &f.add(Kind::Button, "Command21", -1, nullptr, 6870, 15, 600, 915, "Stats");
    Command13 = &f.add(Kind::Button, "Command13", -1, nullptr, 7485, 15, 600, 915);
    Command13->setPicture("print");
    Command13->setToolTip("Impression");
    onClick(Command21, [this] { Command21_Click(); });
    onClick(Command13, [this] { Command13_Click(); });
    List4 = &f.add(Kind::ListBox, "List4", -1, nullptr, 20000, 0, 1200, 300);
    List4->setVisible(false);
    List4->setSorted(true);
}

void Reports::ChargeInfo() {
    for (size_t i = 1; i <= 4; ++i)
        for (size_t g = 0; g < 6; ++g) {
            const Control* b = w_.groups.groups[g].team[i];
            const auto rank = std::find(kRowTop.begin(), kRowTop.end(), b->top());
            if (rank != kRowTop.end()) Classement[4 * g + 1 + static_cast<size_t>(rank - kRowTop.begin())] = b->text();
        }
}

void Reports::CalculParcours() {
    List4->clear();
    for (int p = 0; p < 4; ++p)
        for (Group& g : w_.groups.groups) {
            const std::string& s = g.sorter->list(p);
            const int slot = readItem(ItemForm::Group, s).slot;
            if (slot == 0) continue;
            List4->addItem(seedItem(s, g.team[static_cast<size_t>(slot)]->text()));
        }
    std::array<double, 33> score{};
    std::array<std::string, 33> name;
    const int count = std::min(List4->listCount(), 33);
    for (int i = 0; i < count; ++i) {
        SorterItem seed = readItem(ItemForm::Seed, List4->list(i));
        score[static_cast<size_t>(i)] = inItsBand(seed.key);
        name[static_cast<size_t>(i)] = std::move(seed.name);
    }
    const auto& ko = w_.knockout;
    const uint32_t won = w_.CouleurVainqueur;
    auto winnerBonus = [&](const auto& boxes, const std::string& team, double bonus) {
        double add = 0;
        for (const Control* b : boxes)
            if (b->text() == team && b->backColor() == won) add += bonus;
        return add;
    };
    for (int t = 0; t < count; ++t) {
        const std::string& team = name[static_cast<size_t>(t)];
        double& v = score[static_cast<size_t>(t)];
        for (const Control* b : ko.Huit)
            if (b->text() == team) v += b->backColor() == won ? 150 : 50;
        v += winnerBonus(ko.Qua, team, 200);
        v += winnerBonus(ko.DEM, team, 1000);
        v += winnerBonus(ko.pf, team, 500);
        v += winnerBonus(ko.FIN, team, 2000);
    }
    List4->clear();
    for (int t = 0; t < count; ++t)
        List4->addItem(placingItem(score[static_cast<size_t>(t)], name[static_cast<size_t>(t)]));

    Control* list = stats.get().List2;
    const int n = List4->listCount();
    for (int i = n - 1; i >= 0; --i) {
        const SorterItem placing = readItem(ItemForm::Placing, List4->list(i));
        const double v = placing.key;
        const std::string& team = placing.name;
        const std::string rank = platform::numText(n - i);
        if (v > 3000)
            list->addItem(team + " 1er");
        else if (v >= 1000)
            list->addItem(team + " 2eme");
        else if (v >= 500)
            list->addItem(team + " 3eme");
        else if (v >= 200)
            list->addItem(team + " 4eme");
        else if (v < 50)
            list->addItem(rank + " " + team + " " + w_.MSG[14]);
        else if (v <= 100)
            list->addItem(rank + " " + team + " 1/8");
        else
            list->addItem(rank + " " + team + " 1/4");
    }
}

double Reports::goalsOf(const std::string& name) const {
    double goals = 0;
    for (size_t j = 0; j < 12; ++j)
        for (const Group& g : w_.groups.groups)
            if (g.fixture[j]->caption() == name) goals += boxGoals(g.score[j]);
    auto sides = [&](const auto& teams, const auto& boxes) {
        for (size_t j = 0; j < teams.size(); ++j)
            if (teams[j]->text() == name) goals += boxGoals(boxes[j]);
    };
    const auto& ko = w_.knockout;
    sides(ko.Huit, ko.Buthui);
    sides(ko.Qua, ko.ButQua);
    sides(ko.DEM, ko.ButDem);
    sides(ko.pf, ko.Butpetfin);
    sides(ko.FIN, ko.ButFIN);
    return goals;
}

void Reports::Command21_Click() {
    Stats& s = stats.get();
    s.List2->clear();
    CalculParcours();
    ChargeInfo();
    fillStats(s);
    stats.show();
    s.form.focusRequest = s.Command1;
}

void Reports::fillStats(Stats& s) {
    std::array<double, 25> goals{};
    double total = 0;
    for (size_t t = 1; t <= 24; ++t) {
        const double g = goalsOf(Classement[t]);
        total += g;
        // Shown as whole goals, as the list's number field holds them.
        goals[t] = std::min(std::round(g), kMaxCount);
    }
    // The sorter's number field is as wide as the largest count needs, so its text order
    // stays the numeric order at any count (three digits at least, as before).
    int width = 3;
    for (size_t t = 1; t <= 24; ++t) width = std::max(width, digits(goals[t]));
    Control* sorter = w_.groups.List3[0];
    sorter->clear();
    for (size_t t = 1; t <= 24; ++t) sorter->addItem(platform::formatFixed(goals[t], width, 0) + " | " + Classement[t]);
    s.List1->clear();
    for (int i = sorter->listCount() - 1; i >= 0; --i) {
        const std::string& item = sorter->list(i);
        const size_t w = static_cast<size_t>(width);
        s.List1->addItem(item.substr(std::min(item.size(), w + 2)) + " (" +
                         platform::numText(platform::val(item.substr(0, w))) + ")");
    }
    s.Label1->setCaption(w_.MSG[10] + " : " + platform::numText(total));
    s.Label2->setCaption(w_.MSG[11]);
    s.Label3->setCaption(w_.MSG[13]);
    if (w_.fichier.Text1->text() == kCurrentStem) {
        s.Image1->setPicture(w_.fichier.ImaRepLogo[0]->picture());
        s.Text1->setText(w_.MSG[9] + kCurrentYear);
    }
    s.form.caption = s.Text1->text();
    const auto& pod = w_.knockout.pod;
    auto oneLine = [](const std::string& t) { return platform::replaceAll(t, "\r\n", " / "); };
    for (size_t i = 0; i < 3; ++i) s.Vainq[i]->setCaption(std::to_string(i + 1) + ": " + oneLine(pod[i + 1]->caption()));
    const bool decided = !(pod[1]->caption() + pod[2]->caption()).empty();
    s.Frame2->setVisible(decided);
    s.Image2->setVisible(!decided);
    s.form.icon = w_.form.icon;
    s.Image8->setPicture(w_.knockout.Image8->picture());
}

void Reports::Command13_Click() { impress.show(); }

void Reports::unloadImpress() { impress.unload(); }
void Reports::unloadStats() { stats.unload(); }

} // namespace zentrafo
