// Speed of start-up and of the match information as the user meets them: the whole
// Form_Load on a complete forecast with the published calendar, one hover to an updated
// details panel, and a change of day to a rebuilt programme. Run from the build folder,
// which holds the language files.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "private_config.h"
#include "main/marlix.h"
#include "platform/fake_platform.h"

namespace {

namespace fs = std::filesystem;
using zentrafo::Marlix;

// A program folder holding a complete forecast: every score typed, every knockout tie
// decided, and the 52 match texts spread over the tournament's days.
struct Forecast {
    fs::path root;
    platform::FakePlatform fake;
    Forecast() {
        root = bench_support::programFolder("startup");
        std::ofstream out(root / "program" / "Zentrafo.ini");
        for (const char* g : {"A", "B", "C", "D", "E", "F"}) {
            out << "[But" << g << "]\n";
            for (int k = 0; k < 12; ++k) out << k << "=" << (k * 7 + g[0]) % 4 << "\n";
        }
        const char* ko[] = {"Buthui", "ButQua", "ButDem", "ButFIN", "Butpetfin"};
        const int sides[] = {16, 8, 4, 2, 2};
        for (int r = 0; r < 5; ++r) {
            out << "[" << ko[r] << "]\n";
            for (int i = 0; i < sides[r]; ++i) out << i << "=" << (i % 2 == 0 ? 2 : 1) << "\n";
        }
        out << "[Match]\n";
        const char* venues[] = {"PDP(TF1 C+)", "LHA(F2)", "REN(C+)", "NCE(TF1)", "GRE(BE)", "MON(TMC)", "VAL(F2)"};
        int n = 0;
        auto match = [&](int key) {
            const int day = 7 + n / 4; // four matches a day
            out << key << "=" << venues[n % 7] << " " << (day < 10 ? "0" : "") << day << "/06/19 "
                << (n % 4 == 0 ? "21:00" : n % 4 == 1 ? "18:00" : n % 4 == 2 ? "15:00" : "12:00") << "\n";
            ++n;
        };
        for (int k = 0; k <= 70; k += 2) match(k);
        for (int k = 100; k <= 114; k += 2) match(k);
        for (int k = 200; k <= 206; k += 2) match(k);
        for (int k : {300, 302, 400, 500}) match(k);
        fake.folder = (root / "program").string();
        fake.clock = {2019, 6, 8, 12, 0, 0};
    }
    ~Forecast() { fs::remove_all(root); }
    platform::Settings settings() const { return platform::Settings::inFolder((root / "config").string()); }
};

void BM_FormLoadCompleteForecast(benchmark::State& state) {
    Forecast f;
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<Marlix>(f.fake, f.settings());
        state.ResumeTiming();
        w->Form_Load();
        state.PauseTiming();
        if (w->infos.List2->listCount() != 4) state.SkipWithError("the day's programme was not built");
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FormLoadCompleteForecast)->Unit(benchmark::kMillisecond);

// Alternating between two matches, so every move rebuilds the panel from a new text.
void BM_HoverToDetailsPanel(benchmark::State& state) {
    Forecast f;
    Marlix w(f.fake, f.settings());
    w.Form_Load();
    forms::Control* labels[] = {w.groups.group('A').fixture[0], w.knockout.Huit[3]};
    int i = 0;
    for (auto _ : state) {
        labels[i++ % 2]->raise(forms::Ev::MouseMove);
        benchmark::DoNotOptimize(w.infos.LabTer[1]->caption().data());
    }
    if (w.infos.LabTer[0]->caption().empty()) state.SkipWithError("the panel shows no city");
}
BENCHMARK(BM_HoverToDetailsPanel)->Unit(benchmark::kMicrosecond);

void BM_ChangeOfDayToProgramme(benchmark::State& state) {
    Forecast f;
    Marlix w(f.fake, f.settings());
    w.Form_Load();
    int day = 0;
    for (auto _ : state) {
        day = (day + 1) % 4;
        const int d = 7 + day;
        w.infos.Combo3->setText((d < 10 ? "0" : "") + std::to_string(d));
    }
    if (w.infos.List2->listCount() != 4) state.SkipWithError("the day's programme is not four matches");
}
BENCHMARK(BM_ChangeOfDayToProgramme)->Unit(benchmark::kMicrosecond);

} // namespace
