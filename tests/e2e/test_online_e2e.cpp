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
#include <QPushButton>
#include <QTimer>

#include <filesystem>

#include "e2e_support.h"
#include "http_test_server.h"
#include "online/frec.h"
#include "qt/qt_platform.h"
#include "qt/secondary_window.h"

namespace {

namespace fs = std::filesystem;
using testhttp::Reply;

using e2e::kUserFile;
const std::string kPublished = "[ButA]\n0=0\n1=2\n2=4\n3=4\n[EquipA]\n1=Norvège\n2=Japon\n3=A3\n4=A4\n" +
                               e2e::kGroupsBToF +
                               "[Lien]\n0=Résultats du jour\n1=https://example.org/jour\n[Mess]\n0=Bienvenue au tournoi !\n";

// The real platform in a private program folder, on a day of the group stage.
struct FolderPlatform : zqt::QtPlatform {
    std::string folder;
    std::string programFolder() override { return folder; }
    platform::DateTime now() override { return {2019, 6, 10, 12, 0, 0}; }
};

struct OnlineWindow : ::testing::Test {
    testing_support::ProgramFolder folder;
    testhttp::Server server;
    FolderPlatform platform;
    e2e::Started run;
    std::unique_ptr<zentrafo::Marlix>& w = run.w;
    std::unique_ptr<zqt::MainWindow>& window = run.window;
    QString boxText;

    void SetUp() override {
        platform.folder = folder.program;
        platform.totalTimeoutMs = 1500;
        platform.stallSeconds = 1;
        folder.put("Zentrafo.ini", kUserFile);
        ::setenv("ZENTRAFO_SERVER", server.base().c_str(), 1);
        run.start(platform, folder.config, true, &platform); // no welcome panel over the pictures
    }
    void TearDown() override { ::unsetenv("ZENTRAFO_SERVER"); }
    QWidget* widget(const forms::Control* c) { return run.widget(c); }

    // Presses "Mise à jour", then confirms in the dialog once it is up (saving its
    // picture), and closes any message box the update shows, keeping its text.
    void updateThroughTheDialog(const char* dialogPng) {
        QTimer::singleShot(0, [this, dialogPng] {
            zentrafo::FREC* d = w->online.frec();
            ASSERT_NE(d, nullptr);
            auto* dialog = qobject_cast<zqt::SecondaryWindow*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "Mise à jour");
            if (dialogPng) e2e::shot(dialog, dialogPng);
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
    EXPECT_EQ(folder.read("Zentrafo.ini"), kPublished);
    e2e::shot(window.get(), "online_after_update.png");
}

TEST_F(OnlineWindow, FailingServerLeavesTheForecastAndSaysSo) {
    server.route("/Zentrafo.ini", Reply::serverError());
    updateThroughTheDialog(nullptr);
    EXPECT_EQ(boxText, "Erreur de connexion !");
    EXPECT_EQ(qobject_cast<QLineEdit*>(widget(w->groups.group('A').team[1]))->text(), "Mine");
    EXPECT_EQ(qobject_cast<QLineEdit*>(widget(w->groups.group('A').score[0]))->text(), "3");
    EXPECT_EQ(folder.read("Zentrafo.ini"), kUserFile);
    EXPECT_FALSE(fs::exists(folder.path("Zentrafo.BU")));
}

TEST_F(OnlineWindow, StrayKeysInTheDialogCancelTheUpdate) {
    server.route("/Zentrafo.ini", Reply::ok(kPublished));
    QTimer::singleShot(0, [this] {
        auto* dialog = qobject_cast<zqt::SecondaryWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QApplication::setActiveWindow(dialog);
        QWidget* cancel = dialog->view().widgetOf(*w->online.frec()->Command2);
        EXPECT_EQ(QApplication::focusWidget(), cancel); // Space presses it
        EXPECT_TRUE(qobject_cast<QPushButton*>(cancel)->isDefault());
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(dialog, &enter); // pressed anywhere in the dialog
        if (QApplication::activeModalWidget() == dialog) dialog->close(); // the key did nothing: end the test
    });
    e2e::click(widget(w->online.Command8));
    QApplication::processEvents();
    EXPECT_EQ(w->online.frec(), nullptr);
    EXPECT_EQ(server.hits("/Zentrafo.ini"), 0u);
    EXPECT_EQ(folder.read("Zentrafo.ini"), kUserFile);
    EXPECT_EQ(qobject_cast<QLineEdit*>(widget(w->groups.group('A').team[1]))->text(), "Mine");
}

TEST_F(OnlineWindow, PublisherCodeIsTypedUnseenAndOpensThePanel) {
    e2e::click(widget(w->views.Command6)); // the help panel, which holds the title label and the links
    e2e::shot(window.get(), "online_help_links.png");
    bool masked = false;
    QTimer::singleShot(0, [&masked] {
        auto* ask = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(ask, nullptr);
        masked = ask->textEchoMode() == QLineEdit::Password;
        ask->setTextValue("4vasq");
        ask->accept();
    });
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        e2e::mouse(widget(w->views.Label2), t, QPointF(5, 5), Qt::RightButton, Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_TRUE(masked);
    EXPECT_TRUE(widget(w->online.Frame20)->isVisible());
    EXPECT_EQ(qobject_cast<QLineEdit*>(widget(w->online.Text2[2]))->text(), "1.1");
    e2e::shot(window.get(), "online_publisher_panel.png");
}

} // namespace
