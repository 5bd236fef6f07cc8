// The results update as a user does it: the real window, the real dialog, libcurl
// against the loopback test server named by ZENTRAFO_SERVER.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "e2e_support.h"
#include "http_test_server.h"
#include "online/frec.h"
#include "private_folders.h"
#include "qt/main_window.h"
#include "qt/qt_platform.h"
#include "qt/secondary_window.h"

namespace {

namespace fs = std::filesystem;
using testhttp::Reply;

const std::string kUserFile = "[ButA]\n0=3\n1=1\n[EquipA]\n1=Mine\n";
const std::string kPublished = "[ButA]\n0=0\n1=2\n2=4\n3=4\n[EquipA]\n1=Norvège\n2=Japon\n3=A3\n4=A4\n"
                               "[EquipB]\n1=B1\n2=B2\n3=B3\n4=B4\n[EquipC]\n1=C1\n2=C2\n3=C3\n4=C4\n"
                               "[EquipD]\n1=D1\n2=D2\n3=D3\n4=D4\n[EquipE]\n1=E1\n2=E2\n3=E3\n4=E4\n"
                               "[EquipF]\n1=F1\n2=F2\n3=F3\n4=F4\n[Lien]\n0=Résultats du jour\n"
                               "1=https://example.org/jour\n[Mess]\n0=Bienvenue au tournoi !\n";

// The real platform in a private program folder, on a day of the group stage.
struct FolderPlatform : zqt::QtPlatform {
    std::string folder;
    std::string programFolder() override { return folder; }
    platform::DateTime now() override { return {2019, 6, 10, 12, 0, 0}; }
};

std::string slurp(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct OnlineWindow : ::testing::Test {
    testhttp::Server server;
    FolderPlatform platform;
    std::string root;
    std::unique_ptr<zentrafo::Marlix> w;
    std::unique_ptr<zqt::MainWindow> window;
    QString boxText;

    void SetUp() override {
        root = testing_support::makeTempDir("online-window");
        platform.folder = root + "/program";
        testing_support::copyRuntimeFiles(platform.folder);
        platform.totalTimeoutMs = 1500;
        platform.stallSeconds = 1;
        std::ofstream(platform.folder + "/Zentrafo.ini", std::ios::binary) << kUserFile;
        ::setenv("ZENTRAFO_SERVER", server.base().c_str(), 1);
        w = std::make_unique<zentrafo::Marlix>(platform, platform::Settings::inFolder(root + "/config"));
        w->reglages.set("FirstUse", "1"); // no welcome panel over the pictures
        w->Form_Load();
        window = std::make_unique<zqt::MainWindow>(*w, &platform);
        window->show();
    }
    void TearDown() override {
        window.reset();
        w.reset();
        ::unsetenv("ZENTRAFO_SERVER");
        fs::remove_all(root);
    }
    QWidget* widget(const forms::Control* c) { return window->view().widgetOf(*c); }

    // Presses "Mise à jour", then confirms in the dialog once it is up (saving its
    // picture), and closes any message box the update shows, keeping its text.
    void updateThroughTheDialog(const char* dialogPng) {
        QTimer::singleShot(0, [this, dialogPng] {
            zentrafo::FREC* d = w->online.frec();
            ASSERT_NE(d, nullptr);
            auto* dialog = qobject_cast<zqt::SecondaryWindow*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "Mise à jour");
            if (dialogPng) dialog->grab().save(QString(ZENTRAFO_BUILD_DIR "/") + dialogPng);
            auto* closer = new QTimer(dialog);
            QObject::connect(closer, &QTimer::timeout, [this] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    boxText = box->text();
                    box->accept();
                }
            });
            closer->start(20);
            e2e::click(dialog->view().widgetOf(*d->Command1));
        });
        e2e::click(widget(w->online.Command8));
        QApplication::processEvents();
    }
};

TEST_F(OnlineWindow, ConfirmedUpdateShowsThePublishedResults) {
    server.route("/Zentrafo.ini", Reply::ok(kPublished));
    // The contest image in use is fetched again after the results, and drawn.
    QImage picture(72, 48, QImage::Format_RGB32);
    picture.fill(QColor(35, 170, 215));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    server.route("/imvosk.php", Reply::ok(png.toStdString(), "image/png"));
    w->online.Image14->setVisible(true);
    updateThroughTheDialog("online_dialog.png");
    const QPixmap drawn = qobject_cast<QLabel*>(widget(w->online.Image14))->pixmap();
    EXPECT_EQ(drawn.size(), QSize(72, 48));
    EXPECT_EQ(widget(w->online.Image14)->size(), QSize(72, 48));
    EXPECT_TRUE(boxText.isEmpty()) << boxText.toStdString();
    EXPECT_EQ(w->online.frec(), nullptr);

    const zentrafo::Group& a = w->groups.group('A');
    EXPECT_EQ(qobject_cast<QLineEdit*>(widget(a.score[1]))->text(), "2");
    EXPECT_EQ(qobject_cast<QLineEdit*>(widget(a.team[1]))->text(), "Norvège");
    EXPECT_EQ(qobject_cast<QLabel*>(widget(w->langage.Label10))->text(), "Bienvenue au tournoi !");
    EXPECT_EQ(qobject_cast<QLabel*>(widget(w->online.Lablien))->text(), "Résultats du jour");
    EXPECT_EQ(slurp(platform.folder + "/Zentrafo.ini"), kPublished);
    window->grab().save(ZENTRAFO_BUILD_DIR "/online_after_update.png");
}

TEST_F(OnlineWindow, FailingServerLeavesTheForecastAndSaysSo) {
    server.route("/Zentrafo.ini", Reply::serverError());
    updateThroughTheDialog(nullptr);
    EXPECT_EQ(boxText, "Erreur de connexion !");
    EXPECT_EQ(qobject_cast<QLineEdit*>(widget(w->groups.group('A').team[1]))->text(), "Mine");
    EXPECT_EQ(qobject_cast<QLineEdit*>(widget(w->groups.group('A').score[0]))->text(), "3");
    EXPECT_EQ(slurp(platform.folder + "/Zentrafo.ini"), kUserFile);
    EXPECT_FALSE(fs::exists(platform.folder + "/Zentrafo.BU"));
}

TEST_F(OnlineWindow, PublisherCodeIsTypedUnseenAndOpensThePanel) {
    e2e::click(widget(w->views.Command6)); // the help panel, which holds the title label and the links
    window->grab().save(ZENTRAFO_BUILD_DIR "/online_help_links.png");
    bool masked = false;
    QTimer::singleShot(0, [&masked] {
        auto* ask = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(ask, nullptr);
        masked = ask->textEchoMode() == QLineEdit::Password;
        ask->setTextValue("4vasq");
        ask->accept();
    });
    QWidget* title = widget(w->views.Label2);
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, title->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                      Qt::ShiftModifier);
    QApplication::sendEvent(title, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, title->mapToGlobal(at), Qt::RightButton, Qt::NoButton,
                        Qt::ShiftModifier);
    QApplication::sendEvent(title, &release);
    QApplication::processEvents();
    EXPECT_TRUE(masked);
    EXPECT_TRUE(widget(w->online.Frame20)->isVisible());
    EXPECT_EQ(qobject_cast<QLineEdit*>(widget(w->online.Text2[2]))->text(), "1.1");
    window->grab().save(ZENTRAFO_BUILD_DIR "/online_publisher_panel.png");
}

} // namespace
