// Pointing at a match in the offscreen front end: the mouse move goes in as a Qt event
// and the details panel's widgets are brought up to date (city, date, time, logos,
// stadium picture), alternating between two matches so that every move changes them.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>

#include "private_config.h"
#include "main/marlix.h"
#include "platform/fake_platform.h"
#include "qt/main_window.h"

namespace {

QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "bench_qt";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* a = [] {
        if (auto* running = qobject_cast<QApplication*>(QCoreApplication::instance())) return running;
        auto* made = new QApplication(argc, argv);
        zqt::prepareApplication();
        return made;
    }();
    return *a;
}

void BM_HoverToDrawnDetailsPanel(benchmark::State& state) {
    qtApp();
    platform::FakePlatform fake;
    zentrafo::Marlix w(fake);
    w.Form_Load();
    // Two matches with different cities, dates, channels and stadiums.
    auto& a = w.groups.group('A');
    a.fixture[0]->setToolTip("PDP(TF1 C+) 07/06/19 21:00");
    a.fixture[2]->setToolTip("LYS(F2) 08/06/19 18:00");
    zqt::MainWindow window(w);
    window.show();
    QApplication::processEvents();
    QWidget* labels[] = {window.view().widgetOf(*a.fixture[0]), window.view().widgetOf(*a.fixture[2])};
    auto* city = qobject_cast<QLabel*>(window.view().widgetOf(*w.infos.LabTer[0]));
    int i = 0;
    for (auto _ : state) {
        QWidget* target = labels[i++ % 2];
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QMouseEvent move(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
    }
    if (city->text().isEmpty()) state.SkipWithError("the details panel shows no city");
}
BENCHMARK(BM_HoverToDrawnDetailsPanel)->Unit(benchmark::kMicrosecond);

} // namespace
