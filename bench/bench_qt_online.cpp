// The results update as the user waits for it: a whole update of a 10 KB published file
// from a server on this machine (download, check, swap, load, recalculation), and how
// long a server that stops answering holds the window: the configured timeout.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "private_config.h"
#include "main/marlix.h"
#include "platform/fake_platform.h"
#include "qt/qt_platform.h"
#include "tests/http_test_server.h"

namespace {

namespace fs = std::filesystem;

// A published file as the author serves it: every score, team and knockout box, the
// link, the messages and the match calendar, about 10 KB.
std::string publishedFile() {
    std::string s = "[CV]\n0=1.1\n[Lien]\n0=Site\n1=https://example.org/jour\n[Mess]\n";
    for (int k = 0; k < 3; ++k) s += std::to_string(k) + "=" + std::string(900, static_cast<char>('a' + k)) + "\n";
    for (char g = 'A'; g <= 'F'; ++g) {
        s += std::string("[But") + g + "]\n";
        for (int k = 0; k < 12; ++k) s += std::to_string(k) + "=" + std::to_string((k * 7 + g) % 4) + "\n";
        s += std::string("[Equip") + g + "]\n";
        for (int k = 1; k <= 4; ++k) s += std::to_string(k) + "=Equipe " + g + std::to_string(k) + "\n";
    }
    for (char g = 'A'; g <= 'F'; ++g) s += std::string("[TS") + g + "]\n1=\n2=1\n3=\n4=\n";
    for (const char* sec : {"But8", "Pen8", "But4", "Pen4", "ButDEM", "PenDEM", "BUTFIN", "PenFIN", "BUTPetFIN", "PenPetFIN"}) {
        s += std::string("[") + sec + "]\n";
        for (int k = 0; k < 32; ++k) s += std::to_string(k) + "=" + std::to_string(k % 3) + "\n";
    }
    s += "[Match]\n";
    for (int k = 0; k < 520; k += 2)
        if (k < 72 || (k >= 100 && k < 116) || (k >= 200 && k < 208) || k == 300 || k == 302 || k == 400 || k == 500)
            s += std::to_string(k) + "=PDP(TF1 C+ beIN) 07/06/19 21:00 Parc des Princes, Paris - billetterie en ligne ouverte\n";
    return s;
}

struct Installation {
    fs::path root;
    testhttp::Server server;
    zqt::QtPlatform net;
    platform::FakePlatform fake;
    Installation() {
        root = bench_support::programFolder("online");
        fake.folder = (root / "program").string();
        fake.onDownload = [this](const std::string& url, const std::string& file) { return net.download(url, file); };
        ::setenv("ZENTRAFO_SERVER", server.base().c_str(), 1);
    }
    ~Installation() {
        ::unsetenv("ZENTRAFO_SERVER");
        fs::remove_all(root);
    }
};

void BM_WholeUpdateOf10KB(benchmark::State& state) {
    Installation inst;
    const std::string body = publishedFile();
    inst.server.route("/Zentrafo.ini", testhttp::Reply::ok(body));
    zentrafo::Marlix w(inst.fake, platform::Settings::inFolder((inst.root / "config").string()));
    w.Form_Load();
    for (auto _ : state) {
        w.online.RECUP();
        if (!inst.fake.boxes.empty()) state.SkipWithError("the update failed");
    }
    state.counters["bytes"] = static_cast<double>(body.size());
}
BENCHMARK(BM_WholeUpdateOf10KB)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window waits this long for a server that sends a few bytes and then nothing.
void BM_StalledServerHoldsTheWindow(benchmark::State& state) {
    Installation inst;
    inst.net.totalTimeoutMs = state.range(0);
    inst.server.route("/Zentrafo.ini", testhttp::Reply::stall());
    zentrafo::Marlix w(inst.fake, platform::Settings::inFolder((inst.root / "config").string()));
    w.Form_Load();
    for (auto _ : state) w.online.RECUP();
    state.counters["timeout_ms"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_StalledServerHoldsTheWindow)
    ->Arg(500)
    ->Arg(2000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
