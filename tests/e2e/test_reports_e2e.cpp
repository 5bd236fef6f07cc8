// The statistics window and the bracket sheet on the desktop: a tournament typed into
// the real window, "Stats" and the printer button clicked, the sheet hovered and printed.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTimer>

#include "main/module_setting.h"

#include "e2e_support.h"
#include "qt/printing.h"
#include "qt/qt_platform.h"
#include "qt/secondary_window.h"

namespace {

// The real desktop, on the tests' private program folder.
struct TestDesktop : zqt::QtPlatform {
    std::string programFolder() override { return "."; }
};

QStringList rows(QWidget* list) {
    QStringList out;
    auto* l = qobject_cast<QListWidget*>(list);
    for (int i = 0; l && i < l->count(); ++i) out << l->item(i)->text();
    return out;
}

// The pictures a PDF file's pages are made of, decoded: a window prints as pictures of
// itself, which Qt stores as JPEG.
QList<QImage> pdfPictures(const QByteArray& pdf) {
    QList<QImage> pictures;
    static const QRegularExpression image(R"(<<[^>]*/Subtype\s*/Image[^>]*/DCTDecode[^>]*>>\s*stream\r?\n)");
    for (auto it = image.globalMatch(QString::fromLatin1(pdf)); it.hasNext();) {
        const qsizetype from = it.next().capturedEnd();
        pictures << QImage::fromData(pdf.mid(from, pdf.indexOf("endstream", from) - from), "JPG");
    }
    return pictures;
}

// The same colour, but for a lossy picture's strays.
bool near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 40;
}

// Pixels of the pictures in a selection's colour.
int selectionPixels(const QList<QImage>& pictures, const QColor& selection) {
    int found = 0;
    for (const QImage& picture : pictures)
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) found += near(picture.pixelColor(x, y), selection);
    return found;
}

struct ReportsE2E : ::testing::Test {
    TestDesktop desktop;
    zentrafo::Marlix w{desktop};
    std::unique_ptr<zqt::MainWindow> window;

    void SetUp() override {
        window = e2e::startWindow(w, false, &desktop);
        window->onClose = [this] {
            w.closeWindow();
            return true;
        };
    }
    void TearDown() override { zqt::printRoute() = {}; }
    QWidget* widget(const forms::Control* c) { return window->view().widgetOf(*c); }
    void enter(const forms::Control* box, const char* text) { e2e::type(widget(box), QString::fromLatin1(text)); }
    // The same tournament as the model tests: A2 champion, C1 runner-up, A1 third.
    void typeTournament() {
        static const char* const scores[12] = {"1", "0", "2", "0", "1", "1", "0", "3", "0", "2", "1", "0"};
        for (auto& g : w.groups.groups)
            for (size_t k = 0; k < 12; ++k) enter(g.score[k], scores[k]);
        e2e::click(widget(w.views.Command1));
        auto& ko = w.knockout;
        auto leftWins = [&](const auto& goals) {
            for (size_t i = 0; i < goals.size(); ++i) enter(goals[i], i % 2 == 0 ? "1" : "0");
        };
        leftWins(ko.Buthui);
        leftWins(ko.ButQua);
        leftWins(ko.ButDem);
        enter(ko.ButFIN[0], "2");
        enter(ko.ButFIN[1], "1");
        enter(ko.Butpetfin[0], "1");
        enter(ko.Butpetfin[1], "0");
    }
};

TEST_F(ReportsE2E, StatisticsShowPlacingsGoalsAndPodium) {
    typeTournament();
    e2e::click(widget(w.reports.Command21));
    QWidget* stats = e2e::topLevelTitled("Statistiques Dravello 2019");
    ASSERT_NE(stats, nullptr);
    auto* view = stats->findChild<zqt::FormView*>();
    const zentrafo::Stats& s = *w.reports.stats.loaded();
    const QStringList placing = rows(view->widgetOf(*s.List2));
    ASSERT_EQ(placing.size(), 24);
    EXPECT_EQ(placing.mid(0, 4), (QStringList{"A2 1er", "C1 2eme", "A1 3eme", "B1 4eme"}));
    // Quarter-final losers: group winners before runners-up, the later name first.
    EXPECT_EQ(placing.mid(4, 4), (QStringList{"5 E1 1/4", "6 D1 1/4", "7 F2 1/4", "8 B2 1/4"}));
    const QStringList goals = rows(view->widgetOf(*s.List1));
    ASSERT_EQ(goals.size(), 24);
    EXPECT_EQ(goals[0], " A2 (9)");
    EXPECT_EQ(qobject_cast<QLabel*>(view->widgetOf(*s.Label1))->text(), "buts : 84");
    EXPECT_EQ(qobject_cast<QLabel*>(view->widgetOf(*s.Vainq[0]))->text(), "1: A2");
    EXPECT_TRUE(view->widgetOf(*s.Frame2)->isVisible());
    EXPECT_FALSE(view->widgetOf(*s.Image2)->isVisible());
    EXPECT_EQ(stats->focusWidget(), view->widgetOf(*s.Command1));
    e2e::shot(view, "reports_stats.png");

    // A second click refreshes the same window in place.
    e2e::click(widget(w.reports.Command21));
    EXPECT_EQ(rows(view->widgetOf(*s.List2)), placing);
}

// Every row of a list and every line of the best thirds' box can be read whole: no
// scroll bar hides a part of them.
TEST_F(ReportsE2E, TheRealTeamsReadWholeInTheThreeLanguages) {
    const platform::IniFile teams = platform::IniFile::load(ZENTRAFO_SOURCE_DIR "/resources/initial/Zentrafo.ini");
    for (auto& g : w.groups.groups)
        for (size_t s = 1; s <= 4; ++s)
            g.team[s]->setText(zentrafo::LireIni(teams, std::string("Equip") + g.letter, std::to_string(s)));
    auto whole = [](QWidget* box, const std::string& what) {
        auto* area = qobject_cast<QAbstractScrollArea*>(box);
        ASSERT_NE(area, nullptr) << what;
        box->grab(); // laid out as shown
        EXPECT_EQ(area->horizontalScrollBar()->maximum(), 0) << what;
        EXPECT_EQ(area->verticalScrollBar()->maximum(), 0) << what;
    };
    for (int language : {1, 2, 0}) { // French last: the language stays stored for the next start
        w.langage.lang_Click(language);
        w.groups.RecalculeTout(); // nothing played: every team leaves in the group stage
        e2e::click(widget(w.reports.Command21));
        zentrafo::Stats& s = *w.reports.stats.loaded();
        auto* view = e2e::topLevelTitled(QString::fromStdString(s.form.caption))->findChild<zqt::FormView*>();
        const QStringList placing = rows(view->widgetOf(*s.List2));
        ASSERT_EQ(placing.size(), 24);
        EXPECT_TRUE(placing.join('|').contains(QString::fromUtf8("Nouvelle-Zélande") + " " +
                                                QString::fromStdString(w.MSG[14])));
        whole(view->widgetOf(*s.List2), "placings, language " + std::to_string(language));
        whole(view->widgetOf(*s.List1), "goals, language " + std::to_string(language));
        e2e::shot(view, ("reports_stats_language" + std::to_string(language) + ".png").c_str());
        w.reports.unloadStats();
    }
    typeTournament(); // every group's slot 3 third, on equal keys: the later groups' go through
    ASSERT_EQ(w.groups.TexMeillTrois->text(), "Chili / Nouvelle-Zélande / Argentine / Brésil");
    whole(widget(w.groups.TexMeillTrois), "best thirds");
}

TEST_F(ReportsE2E, SheetDrawsConnectorsUnderTheBoxesLightsARoadAndPrintsOneLandscapePage) {
    typeTournament();
    e2e::click(widget(w.reports.Command13));
    QWidget* sheet = e2e::topLevelTitled("Impression");
    ASSERT_NE(sheet, nullptr);
    auto* view = sheet->findChild<zqt::FormView*>();
    zentrafo::Impress& s = *w.reports.impress.loaded();
    auto box = [&](const forms::Control* c) { return qobject_cast<QLineEdit*>(view->widgetOf(*c)); };
    EXPECT_EQ(box(s.T8[0])->text(), "A2");
    EXPECT_EQ(box(s.TF[1])->text(), "C1");
    EXPECT_EQ(box(s.RESULT[2])->text(), "A1");

    // Hovering the champion's name lights every box of its road.
    e2e::moveOver(box(s.T8[0]), QPointF(5, 5));
    const QColor yellow(255, 255, 0);
    for (const forms::Control* c : {s.T8[0], s.T4[0], s.T2[0], s.TF[0], s.RESULT[0]})
        EXPECT_EQ(box(c)->palette().color(QPalette::Base), yellow) << c->name() << c->index();
    EXPECT_EQ(box(s.T8[1])->palette().color(QPalette::Base), QColor(Qt::white));

    // The connectors are dark blue beside the boxes and hidden beneath them: the stub of
    // the first tie right of its boxes, the first quarter-final line left of and under
    // its boxes.
    const QImage shot = view->grab().toImage();
    const QColor line(0, 0, 0x40);
    EXPECT_EQ(shot.pixelColor(view->px(2700), view->px(720)), line);
    EXPECT_EQ(shot.pixelColor(view->px(3000), view->px(1140)), line);
    EXPECT_NE(shot.pixelColor(view->px(4400), view->px(1140)), line);
    EXPECT_EQ(shot.pixelColor(view->px(8295), view->px(3000)), line);
    shot.save(e2e::outputPath("reports_sheet.png"));

    // No printer on this desktop: the page goes to the PDF file the user names.
    const QString pdf = e2e::outputPath("reports_sheet.pdf");
    QFile::remove(pdf);
    zqt::printRoute().hasPrinter = [] { return false; };
    QString suggested;
    zqt::printRoute().askPdfFile = [&](QWidget*, const QString&, const QString& name) {
        suggested = name;
        QApplication::setActiveWindow(window.get()); // the dialog takes the keyboard while it asks
        return pdf;
    };
    QApplication::setActiveWindow(sheet);
    QWidget* keyboard = sheet->focusWidget();
    // Printing leaves the keyboard where it was, with Enter pressing that button, not the
    // window's first one.
    auto keyboardKept = [&] {
        EXPECT_EQ(sheet->focusWidget(), keyboard);
        EXPECT_TRUE(qobject_cast<QPushButton*>(keyboard)->isDefault());
    };
    e2e::click(view->widgetOf(*s.Command5));
    EXPECT_TRUE(suggested.endsWith("/Impression.pdf")) << suggested.toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    const QString bytes = QString::fromLatin1(written);
    // The page shows the sheet, not where the keyboard is: no box selected (hiding the
    // buttons must not put the keyboard into the first box); the window is as it was.
    const QList<QImage> page = pdfPictures(written);
    ASSERT_FALSE(page.isEmpty());
    for (auto group : {QPalette::Active, QPalette::Inactive})
        EXPECT_EQ(selectionPixels(page, box(s.T8[0])->palette().color(group, QPalette::Highlight)), 0) << group;
    keyboardKept();
    // The page ends where the window does: no seam down a dot the window only partly covers.
    const QImage& picture = page.first();
    int seam = 0;
    for (int y = 0; y < picture.height(); ++y)
        seam += !near(picture.pixelColor(picture.width() - 1, y), shot.pixelColor(shot.width() - 1, y * shot.height() / picture.height()));
    EXPECT_EQ(seam, 0);
    for (const QLineEdit* e : view->findChildren<QLineEdit*>()) EXPECT_FALSE(e->hasSelectedText()) << e->text().toStdString();
    EXPECT_EQ(bytes.count(QRegularExpression("/Type\\s*/Page[^s]")), 1);
    const auto box_ = QRegularExpression("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)").match(bytes);
    ASSERT_TRUE(box_.hasMatch());
    EXPECT_GT(box_.captured(1).toDouble(), box_.captured(2).toDouble()); // landscape
    EXPECT_TRUE(view->widgetOf(*s.Frame1)->isVisible());

    // Otherwise the file dialog asks, in the language of the flag clicked last: its title,
    // its own buttons and the sheet's name. Cancelling it prints nothing; the buttons
    // and the keyboard still come back.
    zqt::printRoute().askPdfFile = {};
    const QDateTime modified = QFileInfo(pdf).lastModified();
    const struct {
        int flag;
        const char *title, *save;
    } languages[] = {{1, "Print to a PDF file", "&Save"},
                     {2, "Imprimir en un archivo PDF", "&Guardar"},
                     {0, "Imprimer dans un fichier PDF", "&Enregistrer"}};
    for (const auto& language : languages) {
        e2e::click(widget(w.langage.lang[static_cast<size_t>(language.flag)]));
        QString asked, save, name;
        QTimer answer; // the print first lets the window repaint, then asks
        answer.callOnTimeout([&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            answer.stop();
            if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
                e2e::shot(files, ("reports_pdf_dialog" + std::to_string(language.flag) + ".png").c_str());
                asked = files->windowTitle();
                save = files->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->text();
                name = files->findChild<QLineEdit*>("fileNameEdit")->text();
            }
            dialog->reject();
        });
        answer.start(10);
        e2e::click(view->widgetOf(*s.Command5));
        EXPECT_EQ(asked, language.title);
        EXPECT_EQ(save, language.save);
        EXPECT_EQ(name, "Impression.pdf");
        EXPECT_EQ(QFileInfo(pdf).lastModified(), modified);
        EXPECT_TRUE(view->widgetOf(*s.Frame1)->isVisible());
        keyboardKept();
    }

    // Closed with its own button and opened again: the same picture, the main window in front.
    e2e::click(view->widgetOf(*w.reports.impress.loaded()->Command1));
    EXPECT_EQ(e2e::topLevelTitled("Impression"), nullptr);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), window.get());
    e2e::click(widget(w.reports.Command13));
    sheet = e2e::topLevelTitled("Impression");
    ASSERT_NE(sheet, nullptr);
    view = sheet->findChild<zqt::FormView*>();
    EXPECT_EQ(view->grab().toImage().pixelColor(view->px(2700), view->px(720)), line);
    // The keyboard is on the close button, not in a box: Space closes the sheet.
    QWidget* focused = sheet->focusWidget();
    ASSERT_EQ(focused, view->widgetOf(*w.reports.impress.loaded()->Command1));
    e2e::key(focused, ' ');
    EXPECT_EQ(e2e::topLevelTitled("Impression"), nullptr);
    e2e::click(widget(w.reports.Command13));

    // The main window's close box takes the sheet with it.
    window->close();
    EXPECT_EQ(e2e::topLevelTitled("Impression"), nullptr);
    EXPECT_EQ(w.reports.impress.loaded(), nullptr);
}

} // namespace
