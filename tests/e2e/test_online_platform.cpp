// The results update and sending over real HTTP: libcurl against the loopback test
// server, dialogs answered by the fake platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>

#include <sys/resource.h>

#include <QBuffer>
#include <QImage>

#include "e2e_support.h"
#include "kill_during_saves.h"
#include "http_test_server.h"
#include "online/frec.h"
#include "qt/qt_platform.h"

namespace {

namespace fs = std::filesystem;
using testhttp::Reply;

using e2e::kUserFile;
// As the author publishes it: a forecast saved by the program, then the message of the day.
const std::string kPublished =
    "[ButA]\n0=0\n1=2\n[EquipA]\n1=Published\n2=A2\n3=A3\n4=A4\n" + e2e::kGroupsBToF + "[Mess]\n0=Bonjour\n";

struct OnlineOverHttp : ::testing::Test {
    testing_support::ProgramFolder folder;
    testhttp::Server server;
    zqt::QtPlatform net;
    platform::FakePlatform fake;
    std::unique_ptr<zentrafo::Marlix> w;

    void SetUp() override {
        fake.folder = folder.program;
        net.totalTimeoutMs = 1500;
        net.stallSeconds = 1;
        fake.onDownload = [this](const std::string& url, const std::string& file) { return net.download(url, file); };
        fake.onPictureReadable = [this](const std::string& file, int* width, int* height) {
            return net.pictureReadable(file, width, height);
        };
        ::setenv("ZENTRAFO_SERVER", server.base().c_str(), 1);
        folder.put("Zentrafo.ini", kUserFile);
        w = std::make_unique<zentrafo::Marlix>(fake, platform::Settings::inFolder(folder.config));
        w->Form_Load();
    }
    void TearDown() override {
        w.reset();
        ::unsetenv("ZENTRAFO_SERVER");
    }
    void confirmUpdate() {
        fake.onModal = [this](forms::Form&) { w->online.frec()->Command1->click(); };
        w->online.Command8->click();
    }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder.program)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(OnlineOverHttp, PublishedFileReplacesTheForecastAfterARedirectInChunksOrWithoutALastLineEnd) {
    server.route("/Zentrafo.ini", Reply::redirect("/results/latest.ini"));
    server.route("/results/latest.ini", Reply::chunked(kPublished));
    confirmUpdate();
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_EQ(folder.read("Zentrafo.ini"), kPublished);
    EXPECT_EQ(w->groups.group('A').team[1]->text(), "Published");
    EXPECT_EQ(w->langage.Label10->caption(), "Bonjour");
    EXPECT_EQ(files(), (std::vector<std::string>{"Zentrafo.ini", "langEn.txt", "langFr.txt", "langSp.txt"}));
    EXPECT_EQ(server.hits("/imvosk.php"), 0u) << "the contest image is not in use";
    // A fresh copy is asked for, not one a cache on the way kept.
    const auto log = server.log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0].header("cache-control"), "no-cache");
    EXPECT_EQ(log[0].header("pragma"), "no-cache");
    // Edited by hand in an editor that ends no line: whole all the same, by its length.
    server.route("/results/latest.ini", Reply::ok(kPublished.substr(0, kPublished.size() - 1)));
    confirmUpdate();
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_EQ(folder.read("Zentrafo.ini"), kPublished.substr(0, kPublished.size() - 1));
}

TEST_F(OnlineOverHttp, EveryServerFaultLeavesTheForecastByteForByte) {
    // Whether the transfer itself fails; the others are complete answers that are not
    // results, or results that this machine's disk cuts short.
    enum class Disk { Fine, SizeLimit, Full };
    struct Fault {
        const char* what;
        Reply reply;
        bool transferFails;
        Disk disk = Disk::Fine;
        int language = 0;
    };
    // What the message of a download the disk did not take opens with, and the update
    // button as it calls it, in each language.
    const struct {
        const char *said, *button, *full;
    } kNotStored[] = {{"n'ont pas pu être enregistrés dans le dossier\u00A0:\n", "«\u00A0Mise\u00A0à\u00A0jour\u00A0»",
                       "Le disque du dossier est plein"},
                      {"could not be saved in the folder:\n", "“Update”", "The folder's disk is full"},
                      {"no se pudieron guardar en la carpeta:\n", "«Actualizar»", "El disco de la carpeta está lleno"}};
    const std::string large = kPublished + std::string(12000, ';') + "\n";
    const std::vector<Fault> faults{
        {"404", Reply::notFound(), true},
        {"500", Reply::serverError(), true},
        {"HTML page with 200", Reply::htmlPage(), false},
        {"empty body", Reply::empty(), false},
        {"text without sections", Reply::ok("Service indisponible\n"), false},
        {"HTML page after blank lines", Reply::ok("\r\n\r\n<html><pre>\n" + kPublished + "</pre></html>\n"), false},
        {"one known section alone", Reply::ok("[CV]\n0=9.9\n"), false},
        {"206 partial answer", Reply::withStatus(206, kPublished), true},
        {"truncated body", Reply::truncated(kPublished + std::string(4000, ';')), true},
        {"cut off, no length", Reply::unmarked(kPublished.substr(0, kPublished.size() / 2)), true},
        {"whole, but no length", Reply::unmarked(kPublished), true},
        {"redirect loop", Reply::redirect("/Zentrafo.ini"), true},
        {"stall", Reply::stall(), true},
        {"oversized body", Reply::oversized(2 << 20), true},
        {"endless body", Reply::endless(), true},
        {"a file size limit below the file's", Reply::ok(large), false, Disk::SizeLimit},
        {"a nearly full disk", Reply::ok(large), false, Disk::Full},
        {"a file size limit, in English", Reply::ok(large), false, Disk::SizeLimit, 1},
        {"a nearly full disk, in Spanish", Reply::ok(large), false, Disk::Full, 2},
    };
    for (const auto& [what, reply, transferFails, disk, language] : faults) {
        server.route("/Zentrafo.ini", reply);
        EXPECT_EQ(net.download(server.url("/Zentrafo.ini"), folder.root + "/probe") == platform::Download::Stored,
                  !transferFails)
            << what;
        fs::remove(folder.root + "/probe");
        fake.boxes.clear();
        // A disk that cuts it short (the download lands in the settings folder, which takes
        // 3000 bytes or 8 KB of it) changes nothing, and the message, in the window's
        // language, sends the user to that folder rather than the program's.
        const rlimit limit{3000, RLIM_INFINITY};
        const auto start = std::chrono::steady_clock::now();
        const int cut = disk == Disk::Fine ? (confirmUpdate(), 0) : testing_support::statusOfChild([&] {
            if (disk == Disk::SizeLimit ? ::setrlimit(RLIMIT_FSIZE, &limit) != 0
                                        : !e2e::mountNearlyFullDisk(folder.config, 64 << 10, 8 << 10))
                return 2;
            // Started once the disk is there: a run keeps to the settings folder its start judged.
            if (disk == Disk::Full)
                (w = std::make_unique<zentrafo::Marlix>(fake, platform::Settings::inFolder(folder.config)))->Form_Load();
            w->langage.lang_Click(language);
            confirmUpdate();
            if (fake.boxes.size() != 1) return 1;
            const std::string& told = fake.boxes[0].text;
            auto says = [&told](const std::string& part) { return told.find(part) != std::string::npos; };
            const auto& expected = kNotStored[language];
            const bool right = says(expected.said + folder.config + "\n") && !says(folder.program) &&
                               says(expected.button) && says(expected.full) && (language == 0 || !says("pas pu"));
            if (!right) std::cerr << told << "\n";
            return right && w->online.Command8->fontBold() && !w->ResultatsRecus && w->reglages.get("FirstUse") != "1"
                       ? 0
                       : 1;
        });
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_TRUE(folder.read("Zentrafo.ini") == kUserFile) << what;
        EXPECT_EQ(files(), (std::vector<std::string>{"Zentrafo.ini", "langEn.txt", "langFr.txt", "langSp.txt"})) << what;
        if (cut == 2) std::cout << "[ SKIPPED  ] " << what << ": not on this machine\n";
        else EXPECT_EQ(cut, 0) << what;
        if (disk != Disk::Fine) continue;
        ASSERT_EQ(fake.boxes.size(), 1u) << what;
        EXPECT_EQ(fake.boxes[0].text, "Erreur de connexion !");
        EXPECT_EQ(w->groups.group('A').team[1]->text(), "Mine") << what;
        EXPECT_TRUE(w->online.Command8->fontBold()) << what;
        EXPECT_FALSE(w->ResultatsRecus);
        EXPECT_FALSE(fake.busy.back());
        // Not a measure of speed: a hang would be caught here rather than by the suite's timeout.
        EXPECT_LT(took, std::chrono::seconds(10)) << what;
    }
    EXPECT_EQ(platform::Settings::inFolder(folder.config).get("data", "FirstUse", "unset"), "unset");
}

TEST_F(OnlineOverHttp, ClosedPortIsAConnectionError) {
    ::setenv("ZENTRAFO_SERVER", testhttp::Server::closedPortBase().c_str(), 1);
    confirmUpdate();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "Erreur de connexion !");
    EXPECT_EQ(folder.read("Zentrafo.ini"), kUserFile);
}

TEST_F(OnlineOverHttp, CredentialsArriveExactlyAsTyped) {
    server.route("/EXPZentrafo.php", Reply::ok("merci"));
    const std::vector<std::pair<std::string, std::string>> typed{
        {"a&b=c", "p#ss+w rd"}, {"Zoé ñ €", "%20%41"}, {"  blanks  ", "?x=1&y=2/3"}, {"x", ""},
    };
    for (const auto& [pseudo, mdp] : typed) {
        w->online.Text2[1]->setText(pseudo);
        w->online.Text2[0]->setText(mdp);
        w->online.Command16->click();
        server.clearLog();
        // What the browser would send.
        ASSERT_EQ(net.download(fake.opened.back(), folder.root + "/page.html"), platform::Download::Stored)
            << fake.opened.back();
        const auto log = server.log();
        ASSERT_EQ(log.size(), 1u);
        const auto params = log[0].params();
        EXPECT_EQ(params.size(), 2u) << pseudo;
        EXPECT_EQ(params.at("pseudo"), pseudo);
        EXPECT_EQ(params.at("mdp"), mdp);
    }
}

// A GIF of w x h pixels in stripes of its 128 colours, its codes written plainly.
std::string gifOf(int w, int h) {
    std::string s = "GIF89a";
    auto word = [&s](int v) { s += {static_cast<char>(v & 255), static_cast<char>(v >> 8)}; };
    word(w);
    word(h);
    s += {'\xF6', 0, 0};
    for (int i = 0; i < 128; ++i) s += {static_cast<char>(2 * i), static_cast<char>(255 - 2 * i), static_cast<char>(i)};
    s += ',';
    for (int v : {0, 0, w, h}) word(v);
    s += {0, 7};
    std::string codes; // a clear code before the table would need wider codes
    for (int i = 0; i < w * h; ++i) codes += i % 126 ? "" : "\x80", codes += static_cast<char>(i / 7 % 128);
    codes += '\x81';
    for (size_t at = 0; at < codes.size(); at += 255) s += static_cast<char>(codes.substr(at, 255).size()) + codes.substr(at, 255);
    return s + std::string("\0;", 2);
}

std::string jpegOf(int w, int h) {
    QImage picture(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG");
    return bytes.toStdString();
}

TEST_F(OnlineOverHttp, ContestImageFromTheServer) {
    const std::string gif = gifOf(120, 90);
    server.route("/imvosk.php", Reply::ok(gif, "image/gif"));
    w->online.ChargeImage();
    const std::string shown = w->online.Image14->picture();
    EXPECT_EQ(shown, fs::absolute(folder.path("imgtmp.gif")).string());
    EXPECT_EQ(w->online.Image14->width(), 120 * 15);
    // Only GIF, JPEG and PNG, whatever the name: a drawing can name local files, and
    // the other formats are no contest picture. Nor is a picture cut on its way (its
    // reader would draw the rest grey), or one larger than the main window.
    const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" height=\"4\"><rect width=\"4\" "
                            "height=\"4\"/></svg>";
    const std::string jpeg = jpegOf(300, 200);
    for (Reply bad : {Reply::ok("GIF89a garbage", "image/gif"), Reply::ok(svg, "image/gif"),
                      Reply::ok("P1\n1 1\n1\n", "image/gif"), Reply::notFound(), Reply::stall(),
                      Reply::ok(gif.substr(0, gif.size() / 3), "image/gif"),
                      Reply::ok(jpeg.substr(0, jpeg.size() / 3), "image/jpeg"),
                      Reply::ok(jpegOf(1300, 8), "image/jpeg")}) {
        server.route("/imvosk.php", bad);
        w->online.ChargeImage();
        EXPECT_EQ(w->online.Image13->picture(), shown);
        EXPECT_TRUE(folder.read("imgtmp.gif") == gif) << "the last good picture was replaced";
        EXPECT_FALSE(fs::exists(folder.path("imgtmp.gif.part")));
    }
}

} // namespace
