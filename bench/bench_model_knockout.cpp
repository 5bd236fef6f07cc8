// Speed of a knockout keystroke as the user meets it: one round-of-sixteen score typed
// into a complete tournament, carried through every later round to the podium.
#include <benchmark/benchmark.h>

#include <string>

#include "main/marlix.h"
#include "platform/fake_platform.h"

namespace {

using zentrafo::Marlix;

void BM_KnockoutKeystroke(benchmark::State& state) {
    platform::FakePlatform fake;
    Marlix w{fake};
    w.Form_Load();
    static const char* scores[12] = {"2", "1", "0", "0", "3", "1", "1", "2", "0", "1", "2", "2"};
    for (auto& g : w.groups.groups)
        for (size_t k = 0; k < 12; ++k) g.score[k]->setText(scores[k]);
    auto& ko = w.knockout;
    for (size_t i = 0; i < 16; ++i) ko.Huit[i]->setText("Team " + std::to_string(i));
    auto fill = [](auto& goals, auto& pen) {
        for (size_t i = 0; i < goals.size(); ++i) {
            pen[i]->setText(i % 2 == 0 ? "4" : "3");
            goals[i]->setText("1");
        }
    };
    fill(ko.Buthui, ko.ButPen);
    fill(ko.ButQua, ko.ButPen4);
    fill(ko.ButDem, ko.ButPen2);
    fill(ko.ButFIN, ko.ButPenFIN);
    fill(ko.Butpetfin, ko.ButPenpetfin);
    ko.Buthui[1]->setText("2");
    // Against 2 + 3 on the right, 0 + 4 loses and 2 + 4 wins: every keystroke changes
    // the winner of the first tie and rewrites the path of that team up to the podium.
    bool flip = false;
    for (auto _ : state) {
        ko.Buthui[0]->setText(flip ? "0" : "2");
        flip = !flip;
    }
    if (ko.pod[1]->caption().empty()) state.SkipWithError("the bracket did not reach the podium");
}
BENCHMARK(BM_KnockoutKeystroke);

} // namespace
