// Speed of the qualifying panel as the user meets it: one score typed in a six-team
// group up to its recoloured standings, the overall run over nine complete groups,
// and the calendar listed whole.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <vector>
#include <fstream>
#include <string>

#include "main/marlix.h"
#include "platform/fake_platform.h"
#include "platform/text.h"

namespace {

using zentrafo::Marlix;

// A program folder holding the starting qualifiers file with every group played.
struct Folder {
    std::string path;
    Folder() {
        char tmpl[] = "/tmp/zentrafo-bench-XXXXXX";
        path = ::mkdtemp(tmpl);
        // The nine groups' names, as the calendar spells them.
        std::map<char, std::vector<std::string>> teams;
        for (std::string_view rec : zentrafo::kMatchsElim) {
            const auto f = platform::split(rec, '|');
            auto& t = teams[f[3][0]];
            if (std::find(t.begin(), t.end(), f[1]) == t.end()) t.emplace_back(f[1]);
        }
        std::ofstream out(path + "/Kestrava.ini");
        for (auto& [g, t] : teams) {
            out << "[Equip" << g << "]\n";
            for (size_t i = 0; i < t.size(); ++i) out << i << "=" << t[i] << "\n";
        }
    }
    ~Folder() { std::filesystem::remove_all(path); }
};

void fillGroups(Marlix& w) {
    auto& q = w.qualifiers;
    for (int g = 0; g < 9; ++g) {
        q.bTNgrp_Click(g);
        for (size_t k = 0; k < 60; ++k)
            if (!q.EquiElim[k]->text().empty()) q.ButElim[k]->setText(std::to_string((k * 7 + g) % 4));
        q.Command23_Click();
    }
}

struct Window {
    Folder folder;
    platform::FakePlatform fake;
    std::unique_ptr<Marlix> w;
    Window() {
        fake.folder = folder.path;
        w = std::make_unique<Marlix>(fake);
        w->Form_Load();
        w->qualifiers.ChargeElim();
        fillGroups(*w);
    }
};

void BM_QualifierKeystroke(benchmark::State& state) {
    Window win;
    auto& q = win.w->qualifiers;
    q.bTNgrp_Click(3);
    bool flip = false;
    for (auto _ : state) {
        q.ButElim[14]->setText(flip ? "1" : "3");
        flip = !flip;
    }
}
BENCHMARK(BM_QualifierKeystroke);

void BM_QualifiersOverallRun(benchmark::State& state) {
    Window win;
    for (auto _ : state) win.w->qualifiers.Command25_Click();
}
BENCHMARK(BM_QualifiersOverallRun)->Unit(benchmark::kMillisecond);

void BM_QualifiersCalendarList(benchmark::State& state) {
    Window win;
    for (auto _ : state) win.w->qualifiers.Command27_Click();
}
BENCHMARK(BM_QualifiersCalendarList)->Unit(benchmark::kMicrosecond);

} // namespace
