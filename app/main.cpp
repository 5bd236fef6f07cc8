#include <QApplication>

#include "main/marlix.h"
#include "qt/language.h"
#include "qt/launch_probe.h"
#include "qt/main_window.h"
#include "qt/qt_platform.h"
#include "qt/startup_warmup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("zentrafo");
    zqt::prepareApplication();
    const zqt::StartupWarmUp warmUp;
    zqt::QtPlatform platform;
    zentrafo::Marlix w(platform);
    zqt::followLanguage(&w.LangueCourante);
    w.Form_Load();
    zqt::MainWindow window(w, &platform);
    // Closing the window stores the display mode and the contest identity, once: the
    // quit button runs the same unload itself and then ends the process.
    bool unloaded = false;
    window.onClose = [&w, &unloaded] {
        if (!unloaded) w.closeWindow();
        unloaded = true;
        return true;
    };
    zqt::quitWhenShownIfAsked(&window);
    window.show();
    return QApplication::exec();
}
