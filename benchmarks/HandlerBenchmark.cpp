// SPDX-License-Identifier: MIT
// The window's handlers on the full bundled library, offscreen: what a click costs before
// the frame that shows it.

#include "Form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

qurimo::Form1* form = nullptr;

void FullListing(benchmark::State& state) {
    for (auto _ : state) {
        form->Command2_Click();
    }
}
BENCHMARK(FullListing)->Unit(benchmark::kMicrosecond);

void Search(benchmark::State& state, const char* keyword) {
    form->findChild<QLineEdit*>(QStringLiteral("Text3"))->setText(QString::fromUtf8(keyword));
    for (auto _ : state) {
        form->Command3_Click();
    }
    state.counters["rows"] =
        static_cast<double>(form->findChild<QListWidget*>(QStringLiteral("List1"))->count());
    form->Command2_Click();
}
BENCHMARK_CAPTURE(Search, ManyHits, "e")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Search, SomeHits, "make")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Search, NoHits, "zebra")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Search, ChineseKeyword, "期待")->Unit(benchmark::kMicrosecond);

void SelectRow(benchmark::State& state) {
    auto* list = form->findChild<QListWidget*>(QStringLiteral("List1"));
    int row = 0;
    for (auto _ : state) {
        row = (row + 97) % list->count();
        list->setCurrentRow(row); // selects it, which runs List1_Click
    }
}
BENCHMARK(SelectRow)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto window = std::make_unique<qurimo::Form1>(QStringLiteral(QURIMO_PROGRAM_DIR));
    window->show();
    form = window.get();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
