#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <random>
#include <regex>
#include <set>

#include <sys/stat.h>

#include "kill_during_saves.h"
#include "main/langage.h"
#include "platform/in_place_rewrite.h"
#include "online/frec.h"
#include "window_fixture.h"

using testwin::WindowTest;
using zentrafo::AppliqueLangue;
using zentrafo::Marlix;
namespace fs = std::filesystem;

namespace {

// The scores, names and marks the user typed: a language switch must never touch them.
// The qualifiers' column titles (row 0 of the standings) are the files' to translate.
std::vector<std::string> typed(Marlix& w) {
    std::vector<std::string> out;
    for (const auto& c : w.form.controls())
        if (c->kind() == forms::Kind::TextBox && !(c->name().rfind("Sort", 0) == 0 && c->index() == 0))
            out.push_back(c->name() + std::to_string(c->index()) + "=" + c->text());
    return out;
}

struct LangueTest : WindowTest {
    void SetUp() override {
        start();
    }
    void apply(const std::string& text) { AppliqueLangue(*w, text, w->form); }
};

TEST_F(LangueTest, ShippedFilesTranslateTheWindowAndTheTable) {
    Marlix& m = *w;
    const std::vector<int> read{1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 13, 14, 15, 16, 17, 18, 19, 20, 22, 23};
    m.groups.group('D').score[4]->setText("3");
    m.groups.group('D').team[2]->setText("Brésil");
    const auto before = typed(m);

    std::array<std::array<std::string, 101>, 3> tables;
    for (int lang : {1, 2, 0}) {
        m.langage.lang[static_cast<size_t>(lang)]->click();
        EXPECT_EQ(m.LangueCourante, lang);
        for (int n = 0; n <= 100; ++n) {
            const bool listed = std::find(read.begin(), read.end(), n) != read.end();
            EXPECT_EQ(m.MSG[static_cast<size_t>(n)].empty(), !listed) << "language " << lang << " entry " << n;
        }
        tables[static_cast<size_t>(lang)] = m.MSG;
        EXPECT_EQ(m.views.Command1->caption(), m.MSG[1]);
        EXPECT_EQ(m.views.Command9->caption(), m.MSG[2]);
        EXPECT_EQ(m.views.Command10->caption(), m.MSG[1]);
        EXPECT_EQ(typed(m), before) << "language " << lang;
    }
    EXPECT_TRUE(fake.boxes.empty());
    for (int n : read) {
        EXPECT_NE(tables[0][static_cast<size_t>(n)], tables[1][static_cast<size_t>(n)]) << n;
        EXPECT_NE(tables[0][static_cast<size_t>(n)], tables[2][static_cast<size_t>(n)]) << n;
    }
    // The entries glued to numbers carry their own blanks.
    EXPECT_EQ(tables[0][18].front(), ' ');
    EXPECT_EQ(tables[1][19].front(), ' ');

    m.langage.lang[1]->click();
    EXPECT_EQ(m.fichier.Command3->caption(), "Save");
    EXPECT_EQ(m.groups.group('A').frame->caption(), "Group A");
    EXPECT_EQ(m.form.find("Label1", 7)->caption(), "GF");  // group B's goals-for column
    EXPECT_EQ(m.form.find("Label1", 26)->caption(), "GA"); // group F's goals-against column
    EXPECT_EQ(m.online.Command16->caption(), "Send the latest score  (the file's path is on the clipboard)");
    m.langage.lang[2]->click();
    EXPECT_EQ(m.fichier.Command3->caption(), "Guardar");
    EXPECT_EQ(m.views.Command1->caption(), "Fase final");
    m.langage.lang[0]->click();
    EXPECT_EQ(m.fichier.Command3->caption(), "Sauve");
    EXPECT_EQ(m.groups.group('F').frame->caption(), "Groupe F");
}

// What a user reads on a window, by control: the window's caption, every caption, text
// and tooltip. In a started window, working controls parked beyond the right edge are
// never seen.
using Texts = std::map<std::string, std::string>;
Texts readable(const forms::Form& f, bool started = true) {
    Texts out{{"caption", f.caption}};
    for (const auto& c : f.controls()) {
        int left = 0;
        for (const forms::Control* p = c.get(); p; p = p->parent()) left += p->left();
        if ((started && left >= f.clientWidth) || c->kind() == forms::Kind::ListBox) continue;
        const std::string id = c->name() + "(" + std::to_string(c->index()) + ")";
        out[id] = c->caption();
        out[id + " tip"] = c->toolTip();
    }
    return out;
}

// Texts that read the same in every language: the display mode, which is read from its
// button, names (the author, the site, the host country, group letters and the draw's
// placeholders such as A1) and texts without words.
bool sameInEveryLanguage(const std::string& text, const std::string& site) {
    static const std::set<std::string> fixed{"Passer en mode réduit", "Pellomir", "France"};
    static const std::regex name("[A-Z][0-9]?");
    return fixed.count(text) || text == site || std::regex_match(text, name) ||
           std::none_of(text.begin(), text.end(), [](unsigned char ch) { return std::isalpha(ch) || ch >= 0x80; });
}

TEST_F(LangueTest, EveryLanguageReachesEveryCaption) {
    Marlix& m = *w;
    // The design texts, French, as no language file has touched them.
    platform::FakePlatform other;
    Marlix design(other);
    const std::map<std::string, Texts> french{{"Marlix", readable(design.form, false)},
                                              {"Stats", readable(zentrafo::Stats(design).form)},
                                              {"Impress", readable(zentrafo::Impress(design).form)},
                                              {"FREC", readable(zentrafo::FREC(design).form)}};
    const std::string site = design.online.Label9->caption();
    // Words the language shares with French.
    const std::set<std::string> shared[3] = {{}, {"Pts", "Forum", "Stats"}, {"Pts"}};

    // Every window as the user opens it in the language of the flag.
    auto shownIn = [&](int lang) {
        m.langage.lang[static_cast<size_t>(lang)]->click();
        std::map<std::string, Texts> shown{{"Marlix", readable(m.form)}};
        // Set once at start-up from the title, which the files translate.
        shown["Marlix"].erase("caption");
        m.reports.Command21->click();
        shown["Stats"] = readable(m.reports.stats.loaded()->form);
        m.reports.Command13->click();
        shown["Impress"] = readable(m.reports.impress.loaded()->form);
        fake.onModal = [&](forms::Form& f) {
            shown["FREC"] = readable(f);
            m.online.frec()->Command2->click();
        };
        m.online.Command8->click();
        m.reports.unloadStats();
        m.reports.unloadImpress();

        const auto* help = m.form.array("LabAide");
        EXPECT_NE(help, nullptr);
        if (help) {
            for (const auto& [index, label] : *help)
                EXPECT_FALSE(label->caption().empty()) << "language " << lang << " help " << index;
        }
        EXPECT_EQ(m.demarrage.Command14->caption(), "Passer en mode réduit") << "language " << lang;
        return shown;
    };

    const auto startedInFrench = shownIn(0);
    for (int lang : {1, 2})
        for (const auto& [window, texts] : shownIn(lang))
            for (const auto& [id, text] : texts)
                if (french.at(window).count(id) && french.at(window).at(id) == text) {
                    EXPECT_TRUE(text.empty() || sameInEveryLanguage(text, site) || shared[lang].count(text))
                        << "language " << lang << ": " << window << " " << id << " still reads \"" << text << "\"";
                }
    // Back to French, every text is French again.
    EXPECT_EQ(shownIn(0), startedInFrench);
}

TEST_F(LangueTest, TextRecords) {
    Marlix& m = *w;
    apply("MSG\\hors\\101\r\n"
          "MSG\\hors\\-1\n"
          "MSG\\sept et demi\\7.5\r"
          "MSG\\six et demi\\6.5\r\n"
          "MSG\\ blancs \\ 1 2 \r\n"
          "msg\\minuscules\\5\r\n"
          "MSG\\premier\\4\r\nMSG\\second\\4\r\n");
    EXPECT_EQ(m.MSG[8], "sept et demi");
    EXPECT_EQ(m.MSG[6], "six et demi");
    EXPECT_EQ(m.MSG[12], " blancs ");
    EXPECT_NE(m.MSG[5], "minuscules");
    EXPECT_EQ(m.MSG[4], "second");
    for (const auto& e : m.MSG) EXPECT_NE(e, "hors");

    // A record without a number takes the last number of this load: none gives 0, an
    // out-of-range one gives nothing. A record with one field stores nothing.
    apply("MSG\\sans numéro\r\nMSG\\neuf\\9\r\nMSG\\encore neuf\r\nMSG\\loin\\300\r\nMSG\\perdu\r\nMSG\r\n");
    EXPECT_EQ(m.MSG[0], "sans numéro");
    EXPECT_EQ(m.MSG[9], "encore neuf");
    for (const auto& e : m.MSG) EXPECT_NE(e, "perdu");
    apply("MSG\\nouveau chargement\r\n");
    EXPECT_EQ(m.MSG[0], "nouveau chargement");
    // Entries no file names keep their text, and the closing steps always run.
    EXPECT_EQ(m.MSG[9], "encore neuf");
    EXPECT_EQ(m.views.Command1->caption(), m.MSG[1]);
    // A line is read whole: a long text keeps its number.
    apply("MSG\\" + std::string(3000, 'x') + "\\7\r\n");
    EXPECT_EQ(m.MSG[7], std::string(3000, 'x'));
}

TEST_F(LangueTest, ControlRecords) {
    Marlix& m = *w;
    forms::Control& l3 = *m.qualifiers.Label17_3;
    forms::Control& credit = *m.online.Label6[4];
    l3.setToolTip("ancien");
    auto& t2 = m.online.Text2;
    t2[0]->setText("secret");
    int changes = 0;
    t2[1]->on(forms::Ev::Change, [&](forms::Control&, forms::EventArgs&) { ++changes; });

    apply("Label17\\Play-offs:\\\\\\3\r\n"
          "Command3\\Trois\\\\\\3\r\n"      // an index on a control outside an array
          "Text2\\légende\\Zizou\\astuce\\1\r\n"
          "command3\\casse\\\\\\\r\n"
          " Command3\\blanc\\\\\\\r\n"
          "\r\n"
          "Lablien\\Lien\\\\bulle\\\r\n"
          "Lablien\\Lien court\r\n"         // short record after an empty index field
          "Label6\\Autre\\\\\\4\r\n");      // the author's name stays
    EXPECT_EQ(l3.caption(), "Play-offs:");
    EXPECT_EQ(l3.toolTip(), ""); // an empty field empties
    EXPECT_EQ(m.online.Label17_6->caption().rfind("Il faut", 0), 0u);
    EXPECT_EQ(m.fichier.Command3->caption(), "Sauve");
    EXPECT_EQ(t2[1]->text(), "Zizou");
    EXPECT_EQ(t2[1]->toolTip(), "astuce");
    EXPECT_EQ(changes, 1); // a text set by a record counts as typed
    EXPECT_EQ(t2[0]->text(), "secret");
    EXPECT_EQ(m.online.Lablien->caption(), "Lien court");
    EXPECT_EQ(m.online.Lablien->toolTip(), "bulle");
    EXPECT_EQ(credit.caption(), "Pellomir");

    // A record longer than an INI value still reaches only the element it names.
    const std::string longCaption(1500, 'p');
    apply("Label17\\" + longCaption + "\\\\\\3\r\n");
    EXPECT_EQ(l3.caption(), longCaption);
    EXPECT_EQ(m.online.Label17_6->caption().rfind("Il faut", 0), 0u);

    // After a record with an index, a short record changes nothing.
    apply("Label17\\x\\\\\\3\r\nLablien\\perdu\r\n");
    EXPECT_EQ(m.online.Lablien->caption(), "Lien court");
    // An empty index field reaches every element of the array.
    apply("Text2\\\\même\\\\\r\n");
    EXPECT_EQ(t2[0]->text(), "même");
    EXPECT_EQ(t2[1]->text(), "même");
    // The language switch hands the play-off label's text to the play-off frame.
    m.langage.lang_Click(0);
    EXPECT_EQ(m.qualifiers.Frame22->caption(), l3.caption());
}

TEST_F(LangueTest, FilesMadeOnWindowsDesktopsKeepTheirAccents) {
    folder.put("langFr.txt", "\xEF\xBB\xBFMSG\\d\xC3\xA9j\xC3\xA0 UTF-8\\3\n");
    w->langage.lang_Click(0);
    EXPECT_EQ(w->MSG[3], "déjà UTF-8");
    folder.put("langFr.txt", "MSG\\Equipe s\xe9lectionn\xe9\x65\\3\r\nCommand3\\Enregistr\xe9\\\\\\\r\n");
    w->langage.lang_Click(0);
    EXPECT_EQ(w->MSG[3], "Equipe sélectionnée");
    EXPECT_EQ(w->fichier.Command3->caption(), "Enregistré");
}

TEST_F(LangueTest, MissingFileSaysSoAndKeepsTheTexts) {
    Marlix& m = *w;
    const auto french = m.MSG;
    fs::remove(program + "/langEn.txt");
    folder.put("Zentrafo.ini", "[Mess]\n1=Hello\n");
    m.fichier.ChargeFichier("Zentrafo");
    m.langage.lang[1]->click();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "Fichier absent.");
    EXPECT_EQ(fake.boxes[0].style, platform::MbOk);
    EXPECT_EQ(fake.boxes[0].title, "");
    EXPECT_EQ(m.MSG, french);
    EXPECT_EQ(m.fichier.Command3->caption(), "Sauve");
    // The rest of the switch happens all the same.
    EXPECT_EQ(m.LangueCourante, 1);
    EXPECT_EQ(m.langage.Label10->caption(), "Hello");
    EXPECT_EQ(settingsStore().get("data", "langue"), "1");

    fs::create_directory(program + "/langEn.txt"); // unreadable: a folder
    m.langage.lang[1]->click();
    EXPECT_EQ(fake.boxes.size(), 2u);
}

TEST_F(LangueTest, MessageOfTheDayFollowsTheLanguage) {
    Marlix& m = *w;
    folder.put("Zentrafo.ini", "[Mess]\n0=Match ce soir !\n");
    m.fichier.ChargeFichier("Zentrafo");
    EXPECT_EQ(m.langage.Label10->caption(), "Match ce soir !");
    EXPECT_TRUE(m.langage.Shape3->visible());
    m.langage.lang[1]->click();
    EXPECT_EQ(m.langage.Label10->caption(), "");
    EXPECT_FALSE(m.langage.Shape3->visible());
    EXPECT_EQ(settingsStore().get("data", "langue"), "1");
    m.langage.lang[2]->click();
    EXPECT_FALSE(m.langage.Shape3->visible());
    m.langage.lang[0]->click();
    EXPECT_EQ(m.langage.Label10->caption(), "Match ce soir !");
    EXPECT_TRUE(m.langage.Shape3->visible());
    EXPECT_EQ(settingsStore().get("data", "langue"), "0");
}

TEST_F(LangueTest, LanguageFilesWaitForNoLock) {
    // No save writes a language file: another program holding one's lock (any account that
    // may read it can) holds neither the start nor a flag's click.
    static std::set<ino_t> locked;
    locked.clear();
    platform::lockCall = [](int fd, int how) {
        struct stat st {};
        if (::fstat(fd, &st) == 0) locked.insert(st.st_ino);
        return ::flock(fd, how);
    };
    const pid_t holder = testing_support::holdLock(program + "/langEn.txt", LOCK_EX);
    ASSERT_NE(holder, -1);
    ASSERT_TRUE(settingsStore().set("data", "langue", "1"));
    Marlix& m = start();
    for (int lang : {2, 0, 1}) m.langage.lang[static_cast<size_t>(lang)]->click();
    platform::lockCall = ::flock;
    testing_support::endChild(holder);
    EXPECT_EQ(m.LangueCourante, 1);
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_FALSE(locked.empty()); // the forecast and the settings still are read under their lock
    for (const char* name : {"langFr.txt", "langEn.txt", "langSp.txt"}) {
        struct stat st {};
        ASSERT_EQ(::stat((program + "/" + name).c_str(), &st), 0);
        EXPECT_EQ(locked.count(st.st_ino), 0u) << name;
    }
}

TEST_F(LangueTest, MalformedFilesNeverBreakTheLoader) {
    Marlix& m = *w;
    const std::vector<std::string> pieces{"MSG", "msg", "\\", "\\", "\\", "\r", "\n", "\r\n", "3", "100", "101", "-1",
                                          "7.5", "1e9", "99999999999999999999", " ", "Label17", "Command3", "ButA",
                                          "Text2", "lang", "Huit", "A", "Frame1", "\xE9", "\xC3", "\xEF\xBB\xBF",
                                          std::string(1, '\0'), "x"};
    std::mt19937 rng(1106);
    for (int iter = 0; iter < 1500; ++iter) {
        std::string text;
        const int n = static_cast<int>(rng() % 40);
        for (int i = 0; i < n; ++i) text += pieces[rng() % pieces.size()];
        apply(text);
        ASSERT_EQ(m.views.Command1->caption(), m.MSG[1]) << "iteration " << iter;
        ASSERT_EQ(m.views.Command9->caption(), m.MSG[2]) << "iteration " << iter;
    }
    // A clean file afterwards puts every text back.
    m.langage.lang_Click(0);
    EXPECT_EQ(m.fichier.Command3->caption(), "Sauve");
    EXPECT_EQ(m.MSG[1], "Phase Finale");
}

} // namespace
