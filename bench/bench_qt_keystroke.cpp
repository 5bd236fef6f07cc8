// One keystroke into a group score box, through the offscreen front end, until the
// window is painted again.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>

#include "private_config.h"
#include "main/marlix.h"
#include "platform/fake_platform.h"
#include "qt/main_window.h"

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "bench_qt";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* a = [] {
        auto* made = new QApplication(argc, argv);
        zqt::prepareApplication();
        return made;
    }();
    return *a;
}

// Counts the paints a widget receives, so a run that painted nothing is caught.
class PaintCounter : public QObject {
public:
    long paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

zentrafo::Marlix& loaded(zentrafo::Marlix& w) {
    w.reglages.set("FirstUse", "1"); // the welcome panel would cover the table measured
    w.Form_Load();
    return w;
}

struct Scene {
    platform::FakePlatform fake;
    zentrafo::Marlix w{fake};
    zqt::MainWindow window{loaded(w)};
    QLineEdit* box;
    QLineEdit* other;
    Scene() {
        window.show();
        QApplication::processEvents();
        box = qobject_cast<QLineEdit*>(window.view().widgetOf(*w.groups.group('A').score[0]));
        other = qobject_cast<QLineEdit*>(window.view().widgetOf(*w.groups.group('A').score[1]));
        other->setText("1");
        w.groups.group('A').score[1]->setText("1");
        window.view().sync();
    }
    // The figure typed over the box's whole text, alternating so every stroke changes
    // the table (the winner flips between the first and the last row).
    void stroke(int i) {
        const QChar ch = i % 2 ? QLatin1Char('0') : QLatin1Char('2');
        box->selectAll();
        QKeyEvent press(QEvent::KeyPress, ch.unicode(), Qt::NoModifier, QString(ch));
        QApplication::sendEvent(box, &press);
        QKeyEvent release(QEvent::KeyRelease, ch.unicode(), Qt::NoModifier, QString(ch));
        QApplication::sendEvent(box, &release);
    }
};

// The whole window painted again after the stroke: an upper bound of what the
// desktop repaints.
void BM_KeystrokeToRepaintedWindow(benchmark::State& state) {
    app();
    Scene s;
    PaintCounter counter;
    QWidget* points = s.window.view().widgetOf(*s.w.groups.group('A').points[1]);
    points->installEventFilter(&counter);
    int i = 0;
    for (auto _ : state) {
        s.stroke(i++);
        s.window.repaint();
    }
    state.counters["paints"] = benchmark::Counter(static_cast<double>(counter.paints), benchmark::Counter::kAvgIterations);
    if (counter.paints < state.iterations()) state.SkipWithError("the table was not painted at every stroke");
}
BENCHMARK(BM_KeystrokeToRepaintedWindow)->Unit(benchmark::kMillisecond);

// Only the group panel the stroke changed, drawn into a picture.
void BM_KeystrokeToRepaintedPanel(benchmark::State& state) {
    app();
    Scene s;
    QWidget* panel = s.window.view().widgetOf(*s.w.groups.group('A').frame);
    int i = 0;
    for (auto _ : state) {
        s.stroke(i++);
        QPixmap shot = panel->grab();
        benchmark::DoNotOptimize(shot);
    }
}
BENCHMARK(BM_KeystrokeToRepaintedPanel)->Unit(benchmark::kMillisecond);

} // namespace
