#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <optional>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "main/module_setting.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "kill_during_saves.h"
#include "window_fixture.h"

using testwin::WindowTest;
using zentrafo::Group;
using zentrafo::Marlix;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream ss(text);
    for (std::string l; std::getline(ss, l);) out.push_back(l);
    return out;
}

// Every forecast box of the window with its text, and the marks, in one comparable list.
std::vector<std::string> forecastOf(Marlix& w) {
    std::vector<std::string> out;
    for (const Group& g : w.groups.groups) {
        for (auto* b : g.score) out.push_back(b->text());
        for (int s = 1; s <= 4; ++s) out.push_back(g.team[static_cast<size_t>(s)]->text() + "|" + g.team[static_cast<size_t>(s)]->tag());
    }
    auto& ko = w.knockout;
    for (auto* arr : {&ko.Buthui, &ko.ButPen}) for (auto* b : *arr) out.push_back(b->text());
    for (auto* arr : {&ko.ButQua, &ko.ButPen4}) for (auto* b : *arr) out.push_back(b->text());
    for (auto* arr : {&ko.ButDem, &ko.ButPen2}) for (auto* b : *arr) out.push_back(b->text());
    for (auto* arr : {&ko.ButFIN, &ko.ButPenFIN, &ko.Butpetfin, &ko.ButPenpetfin}) for (auto* b : *arr) out.push_back(b->text());
    return out;
}

// Types a whole forecast whose every value depends on `seed`.
void typeForecast(Marlix& w, int seed) {
    for (Group& g : w.groups.groups) {
        for (size_t k = 0; k < 12; ++k) g.score[k]->setText(std::to_string((seed + k + g.letter) % 5));
        for (size_t s = 1; s <= 4; ++s) g.team[s]->setTag((seed + s) % 2 ? "1" : "");
    }
    auto& ko = w.knockout;
    for (size_t k = 0; k < 16; ++k) ko.Buthui[k]->setText(std::to_string((seed + k) % 4));
    for (size_t k = 0; k < 8; ++k) ko.ButQua[k]->setText(std::to_string((seed * 3 + k) % 4));
    ko.ButFIN[0]->setText(std::to_string(seed % 7));
}

TEST_F(WindowTest, StemsNameFilesInTheProgramFolderOnly) {
    using zentrafo::EcrireIni;
    using zentrafo::LireIni;
    EXPECT_EQ(zentrafo::CheminIni(fake, "Kestrava"), program + "/Kestrava.ini");
    fake.folder = program + "//";
    EXPECT_EQ(zentrafo::CheminIni(fake, "Zentrafo"), program + "/Zentrafo.ini");

    EXPECT_EQ(LireIni(fake, "Zentrafo", "ButA", "0", "-"), "-");
    EXPECT_EQ(LireIni(fake, "Zentrafo", "ButA", "0"), "");
    ASSERT_TRUE(EcrireIni(fake, "Zentrafo", "ButBAR", "1", "3"));
    ASSERT_TRUE(EcrireIni(fake, "Zentrafo", "ButBAR", "2", ""));
    EXPECT_EQ(folder.read("Zentrafo.ini"), "[ButBAR]\n1=3\n2=\n");
    EXPECT_EQ(LireIni(fake, "Zentrafo", "butBAR", "1", "-"), "3");
    EXPECT_EQ(LireIni(fake, "Zentrafo", "ButBAR", "2", "-"), ""); // stored empty is not missing

    // A stem that would leave the folder names nothing: defaults, failed writes, no file,
    // though the folders they point at are writable.
    fs::create_directory(program + "/sub");
    for (const char* bad : {"", ".", "..", "../Zentrafo", "sub/Zentrafo", "/tmp/Zentrafo"}) {
        EXPECT_EQ(LireIni(fake, bad, "ButBAR", "1", "d"), "d") << bad;
        EXPECT_FALSE(EcrireIni(fake, bad, "S", "k", "v")) << bad;
    }
    EXPECT_FALSE(fs::exists(root + "/Zentrafo.ini"));
    EXPECT_FALSE(fs::exists(program + "/sub/Zentrafo.ini"));
    EXPECT_FALSE(fs::exists(program + "/.ini"));
}

TEST_F(WindowTest, MissingFileLoadsAFreshForecast) {
    Marlix& w = start();
    EXPECT_EQ(w.fichier.Text1->text(), "Zentrafo");
    for (const Group& g : w.groups.groups) {
        for (auto* b : g.score) EXPECT_EQ(b->text(), "-");
        for (size_t s = 1; s <= 4; ++s) {
            EXPECT_EQ(g.team[s]->text(), std::string(1, g.letter) + std::to_string(s));
            EXPECT_EQ(g.team[s]->tag(), "");
        }
    }
    for (auto* b : w.knockout.ButPenpetfin) EXPECT_EQ(b->text(), "-");
    EXPECT_EQ(w.online.Lablien->caption(), "");
    EXPECT_EQ(w.online.Lablien->tag(), "");
    EXPECT_EQ(w.langage.Label10->caption(), "");
    EXPECT_FALSE(w.langage.Shape3->visible());
    EXPECT_EQ(w.fichier.List1->listCount(), 52);
    EXPECT_TRUE(fake.boxes.empty()); // no version question, no failure
    EXPECT_FALSE(fs::exists(iniPath())); // loading writes nothing
}

TEST_F(WindowTest, SaveWritesTheWholeForecastInFileOrder) {
    Marlix& w = start();
    w.groups.group('B').score[3]->setText("4");
    w.knockout.ButPenFIN[1]->setText("5");
    w.groups.group('F').team[2]->setTag("1");
    w.fichier.Command3->click();
    ASSERT_TRUE(fake.boxes.empty());

    std::vector<std::string> sections;
    int entries = 0;
    for (const std::string& l : linesOf(folder.read("Zentrafo.ini"))) {
        if (l.front() == '[') sections.push_back(l);
        else ++entries;
    }
    const std::vector<std::string> expected{
        "[ButA]", "[EquipA]", "[ButB]", "[EquipB]", "[ButC]", "[EquipC]", "[ButD]", "[EquipD]", "[ButE]", "[EquipE]",
        "[ButF]", "[EquipF]", "[But8]", "[Pen8]", "[But4]", "[Pen4]", "[ButDEM]", "[PenDEM]", "[PenFIN]", "[BUTFIN]",
        "[PenPetFIN]", "[BUTPetFIN]", "[TSA]", "[TSB]", "[TSC]", "[TSD]", "[TSE]", "[TSF]"};
    EXPECT_EQ(sections, expected);
    EXPECT_EQ(entries, 184);
    const std::string text = folder.read("Zentrafo.ini");
    EXPECT_NE(text.find("[ButB]\n0=-\n1=-\n2=-\n3=4\n"), std::string::npos);
    EXPECT_NE(text.find("[EquipA]\n1=A1\n2=A2\n3=A3\n4=A4\n"), std::string::npos);
    EXPECT_NE(text.find("[PenFIN]\n0=-\n1=5\n"), std::string::npos);
    EXPECT_NE(text.find("[TSF]\n1=\n2=1\n3=\n4=\n"), std::string::npos);
}

TEST_F(WindowTest, ForecastComesBackAtTheNextStart) {
    Marlix& w = start();
    typeForecast(w, 0);
    Group& a = w.groups.group('A');
    const char* scores[12] = {"3", "0", "1", "1", "2", "0", "0", "2", "1", "0", "2", "2"};
    for (size_t k = 0; k < 12; ++k) a.score[k]->setText(scores[k]);
    a.team[1]->setText("Équateur");
    a.team[2]->setText("Côte d'Ivoire\nligne deux"); // a line break cannot split the file
    w.groups.group('E').team[4]->setTag("1");
    w.groups.group('C').score[5]->setText(""); // an emptied box
    w.knockout.ButPen2[3]->setText("4");
    w.fichier.Command3->click();
    const std::vector<std::string> before = forecastOf(w);
    std::vector<int> tops;
    std::vector<std::string> points;
    for (size_t s = 1; s <= 4; ++s) {
        tops.push_back(a.team[s]->top());
        points.push_back(a.points[s]->caption());
    }

    Marlix& next = start();
    std::vector<std::string> after = forecastOf(next);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        if (before[i].rfind("Côte d'Ivoire", 0) == 0) {
            EXPECT_EQ(after[i], "Côte d'Ivoire ligne deux|" + before[i].substr(before[i].find('|') + 1));
        } else {
            EXPECT_EQ(after[i], before[i]) << "value " << i;
        }
    }
    Group& a2 = next.groups.group('A');
    for (size_t s = 1; s <= 4; ++s) {
        EXPECT_EQ(a2.team[s]->top(), tops[s - 1]) << "slot " << s;
        EXPECT_EQ(a2.points[s]->caption(), points[s - 1]) << "slot " << s;
    }
    EXPECT_EQ(next.groups.group('C').score[5]->text(), "");
    EXPECT_EQ(next.groups.group('E').team[4]->tag(), "1");
    EXPECT_EQ(next.knockout.ButPen2[3]->text(), "4");
    EXPECT_EQ(linesOf(folder.read("Zentrafo.ini")).size(), 184u + 28u);
}

TEST_F(WindowTest, SavingLeavesThePublishedSectionsAndOtherLinesAlone) {
    const std::string published =
        "; fichier publié\n"
        "[CV]\n0=1.1\n"
        "[Lien]\n0=Le site\n1=https://example.org/page\n"
        "[Mess]\n0=Bonjour\n1=Hello\n"
        "[Match]\n0=PDP(TF1 C+) 07/06/19 21:00\n500=LYS(TF1) 07/07/19 17:00\n"
        "[Divers]\nautre=garde\n";
    folder.put("Zentrafo.ini", published + "[buta]\n0=2\n");
    Marlix& w = start();
    EXPECT_EQ(w.online.Lablien->caption(), "Le site");
    EXPECT_EQ(w.online.Lablien->tag(), "https://example.org/page");
    EXPECT_EQ(w.langage.Label10->caption(), "Bonjour");
    EXPECT_TRUE(w.langage.Shape3->visible());
    EXPECT_EQ(w.groups.group('A').score[0]->text(), "2");

    w.groups.group('A').score[0]->setText("5");
    w.fichier.Command3->click();
    const std::string now = folder.read("Zentrafo.ini");
    EXPECT_EQ(now.rfind(published + "[buta]\n0=5\n1=-\n", 0), 0u) << now.substr(0, 400);
    EXPECT_EQ(zentrafo::LireIni(fake, "Zentrafo", "Match", "500"), "LYS(TF1) 07/07/19 17:00");
}

TEST_F(WindowTest, MarksAreInPlaceBeforeAnyScoreIsWritten) {
    folder.put("Zentrafo.ini", "[TSA]\n1=1\n3=1\n[ButA]\n0=1\n");
    Marlix& w = start();
    EXPECT_EQ(w.groups.group('A').team[1]->tag(), "1");
    EXPECT_EQ(w.groups.group('A').team[3]->tag(), "1");

    // Results-download reload: the window is ready, so every written box recomputes.
    std::vector<std::string> seen;
    Group& a = w.groups.group('A');
    a.score[0]->on(forms::Ev::Change, [&](forms::Control&, forms::EventArgs&) {
        seen.push_back(a.team[1]->tag() + a.team[2]->tag() + a.team[3]->tag());
    });
    folder.put("Zentrafo.ini", "[ButA]\n0=3\n[TSA]\n1=\n2=1\n3=\n");
    w.fichier.ChargeFichier("Zentrafo");
    EXPECT_EQ(seen, std::vector<std::string>{"1"});
    EXPECT_EQ(a.team[2]->tag(), "1");
}

struct VersionCase {
    const char* cv;
    bool asks;
};

TEST_F(WindowTest, NewerVersionQuestion) {
    Marlix& w = start();
    ASSERT_FALSE(w.MSG[15].empty());
    const VersionCase cases[] = {{"1.2", true},  {"1,2", true},  {"2.0", true},  {"1.1", false}, {"1.0", false},
                                 {"1.10", false}, {"-", false},  {"", false},    {"x.9", false}, {"9", false}};
    for (const VersionCase& c : cases) {
        fake.boxes.clear();
        fake.nextAnswer = platform::AnsNo;
        folder.put("Zentrafo.ini", std::string("[CV]\n0=") + c.cv + "\n[ButA]\n0=7\n");
        w.fichier.ChargeFichier("Zentrafo");
        EXPECT_EQ(fake.boxes.size(), c.asks ? 1u : 0u) << c.cv;
        EXPECT_EQ(w.groups.group('A').score[0]->text(), "7") << c.cv; // No goes on loading
        w.groups.group('A').score[0]->setText("-");
    }
    folder.put("Zentrafo.ini", "[ButA]\n0=7\n");
    fake.boxes.clear();
    w.fichier.ChargeFichier("Zentrafo");
    EXPECT_TRUE(fake.boxes.empty()); // no section "CV" at all

    folder.put("Zentrafo.ini", "[CV]\n0=1.2\n");
    fake.boxes.clear();
    w.fichier.ChargeFichier("Zentrafo");
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, w.MSG[15]);
    EXPECT_EQ(fake.boxes[0].style, platform::MbYesNo);
    EXPECT_EQ(fake.boxes[0].title, "Dravello...");
}

TEST_F(WindowTest, YesToTheNewVersionOpensThePageAndEndsAtOnce) {
    const char* old = std::getenv("ZENTRAFO_SERVER");
    const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("ZENTRAFO_SERVER", "http://127.0.0.1:8765/", 1);
    folder.put("Zentrafo.ini", "[CV]\n0=1.2\n[ButA]\n0=4\n[EquipA]\n1=Brésil\n");
    fake.nextAnswer = platform::AnsYes;
    open();
    EXPECT_THROW(w->Form_Load(), platform::ProcessEnded);
    saved ? ::setenv("ZENTRAFO_SERVER", saved->c_str(), 1) : ::unsetenv("ZENTRAFO_SERVER");

    EXPECT_TRUE(fake.ended);
    EXPECT_EQ(fake.opened, std::vector<std::string>{"http://127.0.0.1:8765/foot.php"});
    // Nothing of the forecast was loaded and the window never became ready.
    EXPECT_EQ(w->groups.group('A').score[0]->text(), "-");
    EXPECT_EQ(w->groups.group('A').team[1]->text(), "A1");
    EXPECT_FALSE(w->ChargementFini);
    // Without the variable, the built-in server.
    if (!saved) {
        EXPECT_EQ(zentrafo::AdresseServeur().rfind("https://", 0), 0u);
    }
}

TEST_F(WindowTest, FailedSaveTellsTheUserAndKeepsEverything) {
    Marlix& w = start();
    w.ResultatsRecus = true;
    folder.put("Zentrafo.ini", "[CV]\n0=1.1\n");
    const std::string previous = folder.read("Zentrafo.ini");
    Group& b = w.groups.group('B');
    b.score[0]->setText("2");
    b.score[1]->setText("1");
    const std::vector<std::string> forecast = forecastOf(w);

    // The folder went away (an unplugged drive), then a folder stands where the file was.
    const std::string kept = program;
    fake.folder = root + "/gone";
    w.fichier.Command3->click();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_NE(fake.boxes[0].text.find("n'a pas pu être enregistré"), std::string::npos);
    EXPECT_NE(fake.boxes[0].text.find(root + "/gone/Zentrafo.ini"), std::string::npos);
    EXPECT_EQ(fake.boxes[0].title, "Dravello 2019");
    EXPECT_EQ(forecastOf(w), forecast);
    EXPECT_NE(w.online.Shape9->backColor(), 0x00FF00u); // nothing unlocked by a failure
    EXPECT_FALSE(w.online.Command16->enabled());
    EXPECT_TRUE(w.online.Label17_6->visible());
    EXPECT_FALSE(fs::exists(root + "/gone"));

    fake.folder = kept;
    fs::remove(iniPath());
    fs::create_directory(iniPath());
    EXPECT_FALSE(w.fichier.SauveFichier());
    EXPECT_EQ(fake.boxes.size(), 2u);
    EXPECT_TRUE(fs::is_directory(iniPath()));

    // The user fixes it and presses the button again: the same forecast is saved.
    fs::remove(iniPath());
    folder.put("Zentrafo.ini", previous);
    w.fichier.Command3->click();
    EXPECT_EQ(fake.boxes.size(), 2u);
    EXPECT_EQ(zentrafo::LireIni(fake, "Zentrafo", "ButB", "0"), "2");
    EXPECT_EQ(zentrafo::LireIni(fake, "Zentrafo", "CV", "0"), "1.1");
    EXPECT_EQ(w.online.Shape9->backColor(), 0x00FF00u);

    // A forecast linked into a folder that went away: the message names that folder.
    fs::remove(iniPath());
    fs::create_symlink(root + "/unplugged/Zentrafo.ini", iniPath());
    w.fichier.Command3->click();
    ASSERT_EQ(fake.boxes.size(), 3u);
    EXPECT_NE(fake.boxes[2].text.find("\n" + root + "/unplugged\n"), std::string::npos) << fake.boxes[2].text;
}

// The failed save speaks the window's language, names the file and its folder, and calls
// the button by the caption the window shows.
TEST_F(WindowTest, FailedSaveSpeaksTheWindowsLanguage) {
    const struct {
        int language;
        const char *said, *button;
    } rows[] = {{0, "Le pronostic n'a pas pu être enregistré dans le fichier\u00A0:\n", "«\u00A0Sauve\u00A0»"},
                {1, "The forecast could not be saved to the file:\n", "“Save”"},
                {2, "El pronóstico no se pudo guardar en el archivo:\n", "«Guardar»"}};
    Marlix& w = start();
    const std::string kept = program, gone = root + "/gone";
    for (const auto& r : rows) {
        SCOPED_TRACE(r.language);
        fake.folder = kept; // where the language files are
        w.langage.lang_Click(r.language);
        fake.folder = gone;
        fake.boxes.clear();
        w.fichier.Command3->click();
        ASSERT_EQ(fake.boxes.size(), 1u);
        const std::string& told = fake.boxes[0].text;
        EXPECT_NE(told.find(r.said + gone + "/Zentrafo.ini\n"), std::string::npos) << told;
        EXPECT_NE(told.find("\n" + gone + "\n"), std::string::npos) << told;
        EXPECT_NE(told.find(r.button), std::string::npos) << told;
        EXPECT_TRUE(r.language == 0 || told.find("pas pu") == std::string::npos) << told;
        EXPECT_EQ(fake.boxes[0].title, "Dravello 2019");
    }

    // Where the folder takes no new file the save is a rewrite in place: while another
    // program reading the forecast holds its lock, the save says who holds the file once
    // its bounded wait is over; where its old content cannot be kept meanwhile, it names
    // the settings folder.
    const char* inUse[] = {"Un autre programme utilise ce fichier\u00A0: fermez-le",
                           "Another program is using that file: close it", "Otro programa está usando ese archivo"};
    const std::string settings = settingsStore().folder();
    this->w.reset();
    fake.folder = kept;
    folder.put("Zentrafo.ini", "[CV]\n0=1.1\n");
    fs::create_directories(settings);
    for (const auto& e : fs::recursive_directory_iterator(root)) ASSERT_TRUE(testing_support::giveToOrdinaryUser(e.path()));
    ASSERT_TRUE(testing_support::giveToOrdinaryUser(root));
    fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);
    const pid_t reader = testing_support::holdLock(iniPath(), LOCK_SH);
    ASSERT_NE(reader, -1);
    // The cause is the one the system gave: a settings folder that refuses the copy is
    // write-protected, one whose disk takes no more is full; a save that then cannot even
    // read its file names its own folder, not that earlier cause.
    enum Meets { InUse, CopyRefused, CopyTooBig };
    const char* cause[] = {"", "L'écriture est refusée dans le dossier", "Le disque du dossier est plein"};
    for (const Meets meets : {InUse, CopyRefused, CopyTooBig})
        for (const auto& r : rows) {
            if (meets != InUse && r.language != 0) continue;
            SCOPED_TRACE(std::to_string(r.language) + " " + std::to_string(meets));
            if (meets == CopyRefused) testing_support::endChild(reader);
            fs::permissions(settings, meets == CopyRefused ? fs::perms::owner_read | fs::perms::owner_exec : fs::perms::owner_all);
            EXPECT_EQ(testing_support::statusAsOrdinaryUser([&] {
                          Marlix& m = start();
                          m.langage.lang_Click(r.language);
                          fake.boxes.clear();
                          const rlimit small{200, 200};
                          if (meets == CopyTooBig) ::setrlimit(RLIMIT_FSIZE, &small);
                          m.fichier.Command3->click();
                          const std::string told = fake.boxes.size() == 1 ? fake.boxes[0].text : "";
                          auto says = [&told](const std::string& part) { return told.find(part) != std::string::npos; };
                          bool right = says(r.said + iniPath() + "\n") && says(r.button) &&
                                       (meets != InUse ? says("\n" + settings + "\n") && !says("\n" + program + "\n") && says(cause[meets])
                                                       : says(inUse[r.language]));
                          if (!right) std::cerr << told << "\n";
                          if (meets == CopyRefused) {
                              fs::permissions(iniPath(), fs::perms::none);
                              m.fichier.Command3->click();
                              const std::string& then = fake.boxes.back().text;
                              right = right && fake.boxes.size() == 2 &&
                                      then.find("protégé en lecture\u00A0:\n" + iniPath() + "\n") != std::string::npos &&
                                      then.find(settings) == std::string::npos;
                              fs::permissions(iniPath(), fs::perms::owner_read | fs::perms::owner_write);
                          }
                          return right ? 0 : 1;
                      }),
                      0);
        }
    fs::permissions(program, fs::perms::owner_all);
    fs::permissions(settings, fs::perms::owner_all);
    EXPECT_EQ(folder.read("Zentrafo.ini"), "[CV]\n0=1.1\n");
}

TEST_F(WindowTest, OneStrayByteLeavesTheOtherLinesAlone) {
    folder.put("Zentrafo.ini", "[EquipA]\n1=Cor\xC3\xA9" "e du Sud\n2=C\xC3\xB4te d'Ivoire\n"
                               "[Mess]\n0=Message \x93quoted\x94\n");
    Marlix& w = start();
    EXPECT_EQ(w.groups.group('A').team[1]->text(), "Corée du Sud");
    EXPECT_EQ(w.groups.group('A').team[2]->text(), "Côte d'Ivoire");
    EXPECT_EQ(w.langage.Label10->caption(), "Message “quoted”");
    w.fichier.Command3->click();
    const std::string saved = folder.read("Zentrafo.ini");
    EXPECT_NE(saved.find("[EquipA]\n1=Corée du Sud\n2=Côte d'Ivoire\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("[Mess]\n0=Message “quoted”\n"), std::string::npos);
}

TEST_F(WindowTest, FilesThatCannotBeReadAreNamedAndLeftAsTheyAre) {
    // Neither a pipe nor a device holds the start or fills the memory; the forecast is
    // never written into one, nor over a file too large to be the program's. The start says
    // that the forecast could not be read, naming what stands there and why; a save says the same.
    const std::string settings = settingsStore().filePath(), forecast = iniPath();
    fs::create_directories(settingsStore().folder());
    const std::string huge = "[ButA]\n0=3\n;" + std::string(platform::kMaxFileBytes, 'x') + "\n";
    const struct {
        const char* what;
        const std::string& path;
        int kind; // 0 a pipe, 1 a link to a device, 2 a huge file
        std::string cause = ""; // what the boxes say of the forecast, naming what stands there
    } cases[] = {{"pipe as the forecast", forecast, 0, "périphérique)\u00A0:\n" + forecast}, {"pipe as the settings", settings, 0},
                 {"/dev/zero as the forecast", forecast, 1, "périphérique)\u00A0:\n/dev/zero"}, {"/dev/zero as the settings", settings, 1},
                 {"huge forecast", forecast, 2, "les 4\u00A0Mo que lit le programme\u00A0:\n" + forecast}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const bool isForecast = &c.path == &forecast;
        if (!isForecast) folder.put("Zentrafo.ini", "[ButA]\n0=3\n");
        if (c.kind == 0) {
            ASSERT_EQ(::mkfifo(c.path.c_str(), 0600), 0);
        }
        if (c.kind == 1) fs::create_symlink("/dev/zero", c.path);
        if (c.kind == 2) folder.put("Zentrafo.ini", huge);
        fake.boxes.clear();

        Marlix& w = start();
        EXPECT_EQ(w.groups.group('A').score[0]->text(), isForecast ? "-" : "3");
        EXPECT_EQ(w.fichier.Command3->caption(), "Sauve");
        ASSERT_EQ(fake.boxes.size(), 1u); // the forecast unread, or the language that cannot be kept
        EXPECT_EQ(fake.boxes[0].text.find("Le fichier n'a pas pu être lu\u00A0:\n" + forecast + "\n"),
                  isForecast ? 0 : std::string::npos);
        w.fichier.Command3->click();
        ASSERT_EQ(fake.boxes.size(), isForecast ? 2u : 1u);
        for (const auto& box : fake.boxes) EXPECT_NE(box.text.find(c.cause), std::string::npos) << box.text;
        EXPECT_EQ(fs::is_fifo(c.path), c.kind == 0);
        EXPECT_EQ(fs::is_symlink(c.path), c.kind == 1);
        EXPECT_TRUE(fs::is_character_file("/dev/zero"));
        if (c.kind == 2) {
            EXPECT_EQ(folder.read("Zentrafo.ini"), huge);
        }
        for (const std::string& path : {settings, forecast}) fs::remove(path);
    }
}

TEST_F(WindowTest, SaveButtonUnlocksSendingOnlyAfterDownloadedResults) {
    Marlix& w = start();
    const uint32_t before = w.online.Shape9->backColor();
    w.fichier.Command3->click();
    EXPECT_EQ(w.online.Shape9->backColor(), before);
    EXPECT_FALSE(w.online.Command16->enabled());
    EXPECT_TRUE(w.online.Label17_6->visible());

    w.ResultatsRecus = true;
    for (int i = 0; i < 2; ++i) {
        w.fichier.Command3->click();
        EXPECT_EQ(w.online.Shape9->backColor(), 0x00FF00u);
        EXPECT_FALSE(w.online.Label17_6->visible());
        EXPECT_TRUE(w.online.Command16->enabled());
    }
    EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(WindowTest, MatchInformationFillsTheListAndTheTooltips) {
    std::string match = "[Match]\n";
    auto keyed = [](int k) { return "M" + std::to_string(k) + "(TF1) 07/06/19 21:00"; };
    std::vector<std::string> expected;
    for (int i = 0; i <= 10; i += 2)
        for (int g = 0; g < 6; ++g) expected.push_back(std::string(1, static_cast<char>('A' + g)) + std::to_string(i) + " " + keyed(12 * g + i));
    for (int i = 0; i <= 14; i += 2) expected.push_back("V" + std::to_string(i) + " " + keyed(100 + i));
    for (int i = 0; i <= 6; i += 2) expected.push_back("W" + std::to_string(i) + " " + keyed(200 + i));
    for (int i = 0; i <= 2; i += 2) expected.push_back("X" + std::to_string(i) + " " + keyed(300 + i));
    expected.push_back("Y0 " + keyed(400));
    expected.push_back("Z0 " + keyed(500));
    std::vector<int> keys;
    for (int g = 0; g < 6; ++g)
        for (int i = 0; i <= 10; i += 2) keys.push_back(12 * g + i);
    for (int k : {100, 102, 104, 106, 108, 110, 112, 114, 200, 202, 204, 206, 300, 302, 400, 500}) keys.push_back(k);
    for (int k : keys) match += std::to_string(k) + "=" + keyed(k) + "\n";
    folder.put("Zentrafo.ini", match);

    Marlix& w = start();
    EXPECT_EQ(w.fichier.List1->items(), expected);
    EXPECT_EQ(w.fichier.List1->list(1), "B0 " + keyed(12));
    EXPECT_EQ(w.fichier.List1->list(35), "F10 " + keyed(70));

    // The 120 controls that show a match carry its text.
    int tips = 0;
    for (const auto& c : w.form.controls())
        if (!c->toolTip().empty() && c->toolTip().front() == 'M') ++tips;
    EXPECT_EQ(tips, 120);
    EXPECT_EQ(w.groups.group('B').fixture[0]->toolTip(), keyed(12));
    EXPECT_EQ(w.groups.group('B').fixture[1]->toolTip(), keyed(12));
    EXPECT_EQ(w.groups.group('F').fixture[11]->toolTip(), keyed(70));
    for (int h : {6, 7, 22, 23}) EXPECT_EQ(w.form.find("Huit", h)->toolTip(), keyed(106)) << h;
    EXPECT_EQ(w.knockout.Qua[7]->toolTip(), keyed(206));
    EXPECT_EQ(w.knockout.DEM[3]->toolTip(), keyed(302));
    EXPECT_EQ(w.knockout.pf[1]->toolTip(), keyed(400));
    EXPECT_EQ(w.knockout.FIN[0]->toolTip(), keyed(500));

    // A second load rebuilds instead of adding; a file without the section empties all.
    w.fichier.ChargeFichier("Zentrafo");
    EXPECT_EQ(w.fichier.List1->listCount(), 52);
    folder.put("Zentrafo.ini", "[ButA]\n0=1\n");
    w.fichier.ChargeFichier("Zentrafo");
    ASSERT_EQ(w.fichier.List1->listCount(), 52);
    EXPECT_EQ(w.fichier.List1->list(0), "A0 ");
    EXPECT_EQ(w.fichier.List1->list(51), "Z0 ");
    for (const auto& c : w.form.controls())
        if (!c->toolTip().empty()) {
            EXPECT_NE(c->toolTip().front(), 'M') << c->name() << c->index();
        }
}

TEST_F(WindowTest, KilledSaveLeavesTheOldOrTheNewForecast) {
    Marlix& reader = start();
    typeForecast(reader, 1);
    const std::vector<std::string> first = forecastOf(reader);
    ASSERT_TRUE(reader.fichier.SauveFichier());
    typeForecast(reader, 2);
    const std::vector<std::string> second = forecastOf(reader);
    ASSERT_NE(first, second);

    std::mt19937 rng(2019);
    int sawFirst = 0, sawSecond = 0;
    for (int round = 0; round < 60; ++round) {
        // The child keeps saving the two forecasts in turn until it is killed.
        std::unique_ptr<Marlix> child; // made in the child process only
        ASSERT_NO_FATAL_FAILURE(testing_support::killDuringSaves(round, 8000, rng, [&](int n) {
            if (!child) {
                child = std::make_unique<Marlix>(fake, settingsStore());
                child->fichier.Text1->setText("Zentrafo");
            }
            typeForecast(*child, 1 + n % 2);
            child->fichier.SauveFichier();
        }));
        reader.fichier.ChargeFichier("Zentrafo");
        const std::vector<std::string> got = forecastOf(reader);
        ASSERT_TRUE(got == first || got == second) << "round " << round;
        (got == first ? sawFirst : sawSecond)++;
    }
    // Both forecasts were caught on disk, so the kills did land between and during saves.
    EXPECT_GT(sawFirst, 0);
    EXPECT_GT(sawSecond, 0);
}

} // namespace
