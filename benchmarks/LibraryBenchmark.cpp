// SPDX-License-Identifier: MIT
// Decoding, reading, compiling, checking and searching a full library of 301 sentence pairs.

#include "LibraryCompiler.h"
#include "LibraryDump.h"
#include "LibraryFile.h"
#include "LibrarySearch.h"
#include "Module1.h"
#include "TsvFile.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

const std::string BundledLibrary = QURIMO_BUNDLED_LIBRARY;
const std::string BundledText = QURIMO_BUNDLED_TEXT;

// A file name in the temporary folder (TMPDIR): a disk folder measures the fsync calls of a
// safe write too, a tmpfs such as /dev/shm the work of the program alone.
std::string scratch() {
    return (std::filesystem::temp_directory_path() /
            ("qurimo-benchmark-" + std::to_string(::getpid())))
        .string();
}

void DecodeFullLibrary(benchmark::State& state) {
    qurimo::SlotTable encoded;
    qurimo::ReadLibraryFile(BundledLibrary, encoded, qurimo::MissingFile::Fail);
    for (auto _ : state) {
        qurimo::SlotTable table = encoded;
        qurimo::decodeTable(table);
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
    const std::string output = scratch() + ".dat";
    const qurimo::SlotTable empty;
    for (auto _ : state) {
        benchmark::DoNotOptimize(qurimo::CompileLibrary(
            BundledText, output, empty, {.encoding = qurimo::AuthoringEncoding::Utf8}));
    }
    ::unlink(output.c_str());
}
BENCHMARK(CompileFullLibrary)->Unit(benchmark::kMicrosecond);

// qurimo-lib check: read, detect the encoding, check every line, write nothing.
void CheckFullAuthoringFile(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(qurimo::checkAuthoringFile(BundledText));
    }
}
BENCHMARK(CheckFullAuthoringFile)->Unit(benchmark::kMicrosecond);

// qurimo-lib compile --tsv of the bundled pairs as dump --tsv writes them.
void CompileTsvOf301Pairs(benchmark::State& state) {
    const std::string stem = scratch();
    const std::string input = stem + ".tsv";
    const std::string output = stem + ".dat";
    const std::string tsv = qurimo::dumpTsv(qurimo::readDecodedLibrary(BundledLibrary), input);
    std::FILE* file = std::fopen(input.c_str(), "wb");
    std::fwrite(tsv.data(), 1, tsv.size(), file);
    std::fclose(file);
    const qurimo::SlotTable empty;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            qurimo::CompileLibrary(input, output, empty, {.format = qurimo::AuthoringFormat::Tsv}));
    }
    ::unlink(input.c_str());
    ::unlink(output.c_str());
}
BENCHMARK(CompileTsvOf301Pairs)->Unit(benchmark::kMicrosecond);

// qurimo-lib search: read and decode the library, then match every slot.
void SearchBundledLibrary(benchmark::State& state) {
    for (auto _ : state) {
        const qurimo::SlotTable table = qurimo::readDecodedLibrary(BundledLibrary);
        benchmark::DoNotOptimize(
            qurimo::FindSentences(table, {u"make"}, qurimo::SearchSide::English));
    }
}
BENCHMARK(SearchBundledLibrary)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
