// Speed of the group stage as the user meets it: one keystroke in a group score box,
// and the full recalculation of a complete tournament.
#include <benchmark/benchmark.h>

#include "main/marlix.h"
#include "platform/fake_platform.h"

namespace {

using zentrafo::Marlix;

void fillTournament(Marlix& w) {
    static const char* scores[12] = {"2", "1", "0", "0", "3", "1", "1", "2", "0", "1", "2", "2"};
    for (auto& g : w.groups.groups)
        for (int k = 0; k < 12; ++k) g.score[static_cast<size_t>(k)]->setText(scores[k]);
    auto setAll = [](auto& arr, const char* a, const char* b) {
        for (size_t i = 0; i < arr.size(); ++i)
            if (arr[i]) arr[i]->setText(i % 2 == 0 ? a : b);
    };
    setAll(w.knockout.Buthui, "2", "1");
    setAll(w.knockout.ButQua, "1", "0");
    setAll(w.knockout.ButDem, "3", "2");
    setAll(w.knockout.ButFIN, "1", "2");
    setAll(w.knockout.Butpetfin, "4", "0");
}

void BM_GroupKeystroke(benchmark::State& state) {
    platform::FakePlatform fake;
    Marlix w{fake};
    w.Form_Load();
    fillTournament(w);
    auto* box = w.groups.group('C').score[4];
    bool flip = false;
    for (auto _ : state) {
        box->setText(flip ? "1" : "3");
        flip = !flip;
    }
}
BENCHMARK(BM_GroupKeystroke);

void BM_RecalculeTout(benchmark::State& state) {
    platform::FakePlatform fake;
    Marlix w{fake};
    w.Form_Load();
    fillTournament(w);
    for (auto _ : state) w.groups.RecalculeTout();
}
BENCHMARK(BM_RecalculeTout);

} // namespace
