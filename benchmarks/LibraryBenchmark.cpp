// SPDX-License-Identifier: MIT
// Decoding, reading and compiling a full library of 301 sentence pairs.

#include "LibraryCompiler.h"
#include "LibraryFile.h"
#include "Module1.h"

#include <benchmark/benchmark.h>
#include <string>
#include <unistd.h>

namespace {

const std::string BundledLibrary = QURIMO_BUNDLED_LIBRARY;
const std::string BundledText = QURIMO_BUNDLED_TEXT;

void DecodeFullLibrary(benchmark::State& state) {
    qurimo::SlotTable encoded;
    qurimo::ReadLibraryFile(BundledLibrary, encoded, qurimo::MissingFile::Fail);
    for (auto _ : state) {
        qurimo::SlotTable table = encoded;
        qurimo::DecodeTable(table);
        benchmark::DoNotOptimize(table);
    }
}
BENCHMARK(DecodeFullLibrary)->Unit(benchmark::kMicrosecond);

void ReadFullLibraryFile(benchmark::State& state) {
    qurimo::SlotTable table;
    for (auto _ : state) {
        qurimo::ReadLibraryFile(BundledLibrary, table, qurimo::MissingFile::Fail);
        benchmark::DoNotOptimize(table);
    }
}
BENCHMARK(ReadFullLibraryFile)->Unit(benchmark::kMicrosecond);

void CompileFullLibrary(benchmark::State& state) {
    const std::string output = "/tmp/qurimo-benchmark-" + std::to_string(::getpid()) + ".dat";
    const qurimo::SlotTable empty;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            qurimo::CompileLibrary(BundledText, output, empty, qurimo::AuthoringEncoding::Utf8));
    }
    ::unlink(output.c_str());
}
BENCHMARK(CompileFullLibrary)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
