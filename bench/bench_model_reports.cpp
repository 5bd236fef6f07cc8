// Speed of the reports on a complete tournament: the "Stats" click, the bracket sheet's
// refresh, and one hover highlight on the sheet.
#include <benchmark/benchmark.h>

#include <array>

#include "main/marlix.h"
#include "platform/fake_platform.h"

namespace {

using zentrafo::Marlix;

// Every group and every tie played; the left side of each tie wins.
void playTournament(Marlix& w) {
    static const char* const scores[12] = {"1", "0", "2", "0", "1", "1", "0", "3", "0", "2", "1", "0"};
    for (auto& g : w.groups.groups)
        for (size_t k = 0; k < 12; ++k) g.score[k]->setText(scores[k]);
    auto& ko = w.knockout;
    auto leftWins = [](const auto& goals) {
        for (size_t i = 0; i < goals.size(); ++i) goals[i]->setText(i % 2 == 0 ? "1" : "0");
    };
    leftWins(ko.Buthui);
    leftWins(ko.ButQua);
    leftWins(ko.ButDem);
    leftWins(ko.ButFIN);
    leftWins(ko.Butpetfin);
}

void BM_StatsClick(benchmark::State& state) {
    platform::FakePlatform fake;
    Marlix w{fake};
    w.Form_Load();
    playTournament(w);
    for (auto _ : state) w.reports.Command21_Click();
    if (w.reports.stats.loaded()->List2->listCount() != 24) state.SkipWithError("the placings are incomplete");
}
BENCHMARK(BM_StatsClick);

void BM_SheetRefresh(benchmark::State& state) {
    platform::FakePlatform fake;
    Marlix w{fake};
    w.Form_Load();
    playTournament(w);
    w.reports.Command13_Click();
    zentrafo::Impress& sheet = *w.reports.impress.loaded();
    for (auto _ : state) sheet.Command2_Click();
    if (sheet.RESULT[0]->text().empty()) state.SkipWithError("the podium was not copied");
}
BENCHMARK(BM_SheetRefresh);

void BM_HoverHighlight(benchmark::State& state) {
    platform::FakePlatform fake;
    Marlix w{fake};
    w.Form_Load();
    playTournament(w);
    w.reports.Command13_Click();
    zentrafo::Impress& sheet = *w.reports.impress.loaded();
    // Two names in turn, so every hover repaints the boxes of two roads.
    const std::array<forms::Control*, 2> boxes{sheet.T8[0], sheet.T8[15]};
    forms::EventArgs none;
    size_t i = 0;
    for (auto _ : state) boxes[i++ % 2]->raise(forms::Ev::MouseMove, none);
    if (sheet.TF[0]->backColor() != zentrafo::Impress::kHighlight && sheet.T8[15]->backColor() != zentrafo::Impress::kHighlight)
        state.SkipWithError("nothing was highlighted");
}
BENCHMARK(BM_HoverHighlight);

} // namespace
