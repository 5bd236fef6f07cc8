// Speed of the tournament file and the languages as the user meets them: the save
// button (a durable rewrite of the whole file), the load at start-up with its full
// recalculation, the same load after a results download (every box recomputes as it is
// written), and a click on a language flag.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "private_config.h"
#include "main/marlix.h"
#include "platform/fake_platform.h"

namespace {

namespace fs = std::filesystem;
using zentrafo::Marlix;

// A program folder on the same disk as the build, with the shipped language files and a
// published file (calendar, message, link) to save into.
struct Installation {
    fs::path root;
    platform::FakePlatform fake;
    explicit Installation(const std::string& name) {
        root = bench_support::programFolder(name);
        std::ofstream out(root / "program" / "Zentrafo.ini");
        out << "[CV]\n0=1.1\n[Lien]\n0=Site\n1=https://example.org\n[Mess]\n0=Bonjour\n1=Hello\n2=Hola\n[Match]\n";
        for (int k = 0; k < 520; k += 2)
            if (k < 72 || (k >= 100 && k < 116) || (k >= 200 && k < 208) || k == 300 || k == 302 || k == 400 || k == 500)
                out << k << "=PDP(TF1 C+) 07/06/19 21:00\n";
        fake.folder = (root / "program").string();
    }
    ~Installation() { fs::remove_all(root); }
    platform::Settings settings() const { return platform::Settings::inFolder((root / "config").string()); }
};

void typeForecast(Marlix& w, int seed) {
    for (auto& g : w.groups.groups)
        for (size_t k = 0; k < 12; ++k) g.score[k]->setText(std::to_string((seed + k + g.letter) % 4));
    auto& ko = w.knockout;
    for (size_t i = 0; i < 16; ++i) ko.Buthui[i]->setText(std::to_string((seed + i) % 3));
    for (size_t i = 0; i < 8; ++i) ko.ButQua[i]->setText(std::to_string((seed + 2 * i) % 3));
    for (size_t i = 0; i < 4; ++i) ko.ButDem[i]->setText(std::to_string((seed + i) % 5));
    ko.ButFIN[0]->setText("2");
    ko.ButFIN[1]->setText(std::to_string(seed % 2));
}

void BM_SauveFichier(benchmark::State& state) {
    Installation inst("save");
    Marlix w(inst.fake, inst.settings());
    w.Form_Load();
    typeForecast(w, 1);
    for (auto _ : state) {
        if (!w.fichier.SauveFichier()) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SauveFichier)->Unit(benchmark::kMillisecond);

// The same where the program's folder takes no new file: the forecast is rewritten in
// place, its old content (and the new) first kept whole in the settings folder.
void BM_SauveFichierEnPlace(benchmark::State& state) {
    Installation inst("save-in-place");
    const fs::path program = inst.root / "program";
    fs::create_directories(inst.root / "config");
    // Root may make a file in any folder: the save runs as an ordinary account.
    constexpr unsigned kAccount = 65534;
    const bool asRoot = ::geteuid() == 0;
    if (asRoot) {
        for (const auto& e : fs::recursive_directory_iterator(inst.root))
            if (::chown(e.path().c_str(), kAccount, kAccount) != 0) state.SkipWithError("cannot give the files away");
        if (::chown(inst.root.c_str(), kAccount, kAccount) != 0) state.SkipWithError("cannot give the folder away");
    }
    fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                 fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    if (asRoot && (::setegid(kAccount) != 0 || ::seteuid(kAccount) != 0)) state.SkipWithError("cannot become an account");
    {
        Marlix w(inst.fake, inst.settings());
        w.Form_Load();
        typeForecast(w, 1);
        for (auto _ : state) {
            if (!w.fichier.SauveFichier()) state.SkipWithError("save failed");
        }
    }
    if (asRoot && (::seteuid(0) != 0 || ::setegid(0) != 0)) std::abort();
    fs::permissions(program, fs::perms::owner_all);
}
BENCHMARK(BM_SauveFichierEnPlace)->Unit(benchmark::kMillisecond);

// Two saved forecasts, loaded in turn, so that every load changes every box.
void loadBench(benchmark::State& state, bool afterDownload) {
    Installation a("load-a"), b("load-b");
    for (Installation* inst : {&a, &b}) {
        Marlix w(inst->fake, inst->settings());
        w.Form_Load();
        typeForecast(w, inst == &a ? 1 : 2);
        w.fichier.SauveFichier();
    }
    Marlix w(a.fake, a.settings());
    w.Form_Load();
    w.ChargementFini = afterDownload;
    bool flip = false;
    for (auto _ : state) {
        a.fake.folder = (flip ? a.root : b.root).string() + "/program";
        flip = !flip;
        w.fichier.ChargeFichier("Zentrafo");
    }
}
void BM_ChargeFichier(benchmark::State& state) { loadBench(state, false); }
void BM_ChargeFichierAfterDownload(benchmark::State& state) { loadBench(state, true); }
BENCHMARK(BM_ChargeFichier)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChargeFichierAfterDownload)->Unit(benchmark::kMillisecond);

void BM_LanguageSwitch(benchmark::State& state) {
    Installation inst("lang");
    Marlix w(inst.fake, inst.settings());
    w.Form_Load();
    typeForecast(w, 1);
    int lang = 0;
    for (auto _ : state) {
        lang = (lang + 1) % 3;
        w.langage.lang[static_cast<size_t>(lang)]->click();
    }
    if (w.MSG[1].empty()) state.SkipWithError("no language file in the current folder");
}
BENCHMARK(BM_LanguageSwitch)->Unit(benchmark::kMillisecond);



} // namespace
