// The widget with the 100,000- and the 1,000,000-member archives, on an X server:
//
//     xvfb-run -a -s "-screen 0 1280x1024x24" ./build/bench/quenarch_widget_bench
//     xvfb-run -a -s "-screen 0 1280x1024x24" ./build/bench/quenarch_widget_bench --benchmark_filter=/1000000
//
// - BM_WidgetOpenToFirstPaint/N: from assigning Archive to the end of the list's first paint
//   (rows built, model announced, view laid out and drawn).
// - BM_WidgetColumnSort/N: from a click on the "Size" header to the end of the repaint; the
//   direction alternates from one iteration to the next.
// N is the number of members. Both run on the desktop platform, as quenarch-view does.
// Budgets: 0.3 s and 0.15 s with 100,000 members; 1 s and 1 s with 1,000,000.

#include "quenarch/control/property_bag.h"
#include "quenarch/qt/list_model.h"
#include "quenarch/qt/quen_archive_widget.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>

#include <benchmark/benchmark.h>

namespace {

using quenarch::qt::QuenArchiveWidget;

// The benchmark archive of a number of members, written by make_big_zip.py.
QString bigArchive(const benchmark::State& state)
{
    return QStringLiteral(QUENARCH_BENCH_DATA "/big-%1.zip").arg(state.range(0));
}

// Counts the paints of a widget.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* watched) { watched->installEventFilter(this); }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }

    int paints = 0;
};

// Handles events until the counter has seen another paint; false after ten seconds without.
bool waitForPaint(const PaintCounter& counter, int paintsBefore)
{
    QElapsedTimer waited;
    waited.start();
    while (counter.paints == paintsBefore) {
        QCoreApplication::processEvents();
        if (waited.elapsed() > 10000) return false;
    }
    return true;
}

// Handles every pending event, paints included.
void settle()
{
    for (int pass = 0; pass < 5; ++pass) QCoreApplication::processEvents();
}

// A control in a window of a usual size, on show, in report view.
class ShownWidget {
public:
    ShownWidget()
    {
        quenarch::MemoryPropertyBag noSavedProperties;
        widget.readProperties(noSavedProperties);
        widget.resize(900, 600);
        widget.show();
        (void)QTest::qWaitForWindowExposed(&widget);
        settle();
    }

    QuenArchiveWidget widget;
};

void BM_WidgetOpenToFirstPaint(benchmark::State& state)
{
    ShownWidget shown;
    PaintCounter counter(shown.widget.currentView()->viewport());
    for (auto _ : state) {
        state.PauseTiming();
        shown.widget.setArchive(QString());
        settle();
        const int paintsBefore = counter.paints;
        state.ResumeTiming();

        shown.widget.setArchive(bigArchive(state));
        if (!waitForPaint(counter, paintsBefore)) state.SkipWithError("the list was not painted");
    }
    if (shown.widget.lastError().number != 0) state.SkipWithError(qPrintable(shown.widget.lastError().description));
    state.counters["rows"] = static_cast<double>(shown.widget.model()->rowCount());
}
BENCHMARK(BM_WidgetOpenToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10)->Arg(100000)->Arg(1000000);

void BM_WidgetColumnSort(benchmark::State& state)
{
    ShownWidget shown;
    shown.widget.setArchive(bigArchive(state));
    if (shown.widget.lastError().number != 0) state.SkipWithError(qPrintable(shown.widget.lastError().description));
    settle();
    auto* report = qobject_cast<QTreeView*>(shown.widget.currentView());
    QHeaderView* header = report->header();
    const QPoint sizeHeader(header->sectionViewportPosition(1) + header->sectionSize(1) / 2, header->height() / 2);
    PaintCounter counter(report->viewport());
    for (auto _ : state) {
        const int paintsBefore = counter.paints;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeHeader);
        if (!waitForPaint(counter, paintsBefore)) state.SkipWithError("the list was not painted");
        state.PauseTiming();
        settle();
        state.ResumeTiming();
    }
    state.counters["rows"] = static_cast<double>(shown.widget.model()->rowCount());
}
BENCHMARK(BM_WidgetColumnSort)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10)->Arg(100000)->Arg(1000000);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
    QApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
