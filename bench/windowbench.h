#pragma once

// What the window benchmarks share: the large account in a session, a
// service that is never reached, the window opened and shown, and the two
// measures every list window has (opening, a keystroke in its search box).
// Each measure lets the pending events (layout, painting) run inside the
// measured time.

#include "largeaccount.h"
#include "model/session.h"
#include "model/snapshot.h"
#include "service/service.h"
#include "service/transport.h"

#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QStandardPaths>

#include <memory>
#include <string>

namespace velmor::bench {

template<typename Window> struct WindowFixture
{
    WindowFixture()
        : service(std::make_shared<HttpTransport>(QUrl(u"http://127.0.0.1:1/YeniRehber.asp"_s), 2000)),
          payload(makeAccountPayload(BenchContactCount()))
    {
        AccountSnapshot snapshot;
        LoadAccountSnapshot(snapshot, payload);
        session.setSnapshot(std::move(snapshot));
        session.setLoginActive(u"1"_s);
    }

    // One fixture per window type for the whole run.
    static WindowFixture &get()
    {
        static WindowFixture fixture;
        return fixture;
    }

    std::unique_ptr<Window> open()
    {
        auto window = std::make_unique<Window>(service, session);
        window->show();
        QCoreApplication::processEvents();
        return window;
    }

    Service service;
    Session session;
    QString payload; // the decoded command 1 reply the session was loaded from
};

template<typename T, typename Window> T *child(const Window *window, const QString &name)
{
    return window->template findChild<T *>(name);
}

template<typename Window> void MeasureOpening(benchmark::State &state)
{
    for (auto _ : state) {
        std::unique_ptr<Window> window = WindowFixture<Window>::get().open();
        benchmark::DoNotOptimize(window.get());
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

// One more character in the search box: from "" to "a" (the widest result,
// range 0), or from "Ay" to "Ayş" (a narrow one, range 1).
template<typename Window>
void MeasureSearchKeystroke(benchmark::State &state, const QString &searchBox, const QString &list)
{
    const bool wide = state.range(0) == 0;
    const QString before = wide ? QString() : u"Ay"_s;
    const QString after = wide ? u"a"_s : u"Ayş"_s;
    std::unique_ptr<Window> window = WindowFixture<Window>::get().open();
    auto *search = child<QLineEdit>(window.get(), searchBox);
    for (auto _ : state) {
        state.PauseTiming();
        search->setText(before);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        search->setText(after);
        QCoreApplication::processEvents();
    }
    state.SetLabel(std::to_string(child<QAbstractItemView>(window.get(), list)->model()->rowCount())
                   + " rows shown");
}

// How every benchmark with widgets starts: the offscreen platform, the
// application, test paths for the user's files (windows may read message
// templates: never the real ones) and the benchmark's own arguments. Null
// when an argument is not understood.
inline std::unique_ptr<QApplication> StartWidgetBenchmarks(int &argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    auto app = std::make_unique<QApplication>(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return nullptr;
    return app;
}

// The main of a window benchmark: the offscreen platform, the fixture made
// before anything is measured, the opening and the keystroke in the named
// search box (counting the rows of the named list) measured besides the
// window's own benchmarks.
template<typename Window>
int RunWindowBenchmarks(int argc, char **argv, const QString &searchBox, const QString &list)
{
    const std::unique_ptr<QApplication> app = StartWidgetBenchmarks(argc, argv);
    if (!app)
        return 1;
    benchmark::AddCustomContext("contacts", std::to_string(BenchContactCount()));
    benchmark::RegisterBenchmark("BM_OpenWindow", MeasureOpening<Window>)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("BM_SearchKeystroke",
                                 [searchBox, list](benchmark::State &state) {
                                     MeasureSearchKeystroke<Window>(state, searchBox, list);
                                 })
        ->Arg(0)
        ->Arg(1)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    WindowFixture<Window>::get();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace velmor::bench
