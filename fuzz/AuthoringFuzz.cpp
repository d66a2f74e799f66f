// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the library compiler as an authoring file and as a tab-separated
// file. A compile that succeeds must give a library whose dump, in either encoding, and whose
// tab-separated dump, read back as the UTF-8 it is, compile to the same bytes again; one that
// fails must raise a run-time error and leave no output file behind.

#include "LibraryCompiler.h"
#include "LibraryDump.h"
#include "LibraryFile.h"
#include "RuntimeError.h"
#include "TsvFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <unicode/ustring.h>
#include <unistd.h>

namespace {

// In memory where the system has it: the writer syncs every file it makes.
const std::string& folder() {
    static const std::string path = [] {
        std::string pattern = (::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                              std::string("/qurimo-fuzz-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return pattern;
    }();
    static const bool removedAtExit = [] {
        return std::atexit([] {
                   std::error_code ignored;
                   std::filesystem::remove_all(path, ignored);
               }) == 0;
    }();
    (void)removedAtExit;
    return path;
}

void put(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::abort();
    }
}

std::string get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A code page 936 dump that starts with the bytes of a UTF-8 byte-order mark ("锘" and a
// character led by BF) and then reads as UTF-8 is read back as UTF-8: no file can say
// otherwise, so that one case is left out.
bool readsAsMarkedUtf8(std::string_view dump) {
    if (!dump.starts_with("\xEF\xBB\xBF")) {
        return false;
    }
    dump.remove_prefix(3);
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strFromUTF8(nullptr, 0, &length, dump.data(), static_cast<int32_t>(dump.size()), &error);
    return error != U_INVALID_CHAR_FOUND && error != U_ILLEGAL_CHAR_FOUND;
}

// Every dump of the library at path compiles back to its bytes.
void checkRoundTrips(const std::string& path) {
    const std::string library = get(path);
    const qurimo::SlotTable decoded = qurimo::readDecodedLibrary(path);
    const std::string result = folder() + "/again.dat";
    for (const auto encoding :
         {qurimo::AuthoringEncoding::Utf8, qurimo::AuthoringEncoding::Codepage936}) {
        const std::string dump = qurimo::DumpLibrary(decoded, encoding);
        if (encoding == qurimo::AuthoringEncoding::Codepage936 && readsAsMarkedUtf8(dump)) {
            continue;
        }
        const std::string again = folder() + "/again.txt";
        put(again, dump);
        std::remove(result.c_str());
        qurimo::CompileLibrary(again, result, qurimo::SlotTable{}, {.encoding = encoding});
        if (get(result) != library) {
            std::abort(); // dump then compile lost or changed something
        }
    }
    const std::string tsv = folder() + "/again.tsv";
    put(tsv, qurimo::dumpTsv(decoded, path));
    std::remove(result.c_str());
    qurimo::CompileLibrary(tsv, result, qurimo::SlotTable{},
                           {qurimo::AuthoringEncoding::Utf8, qurimo::AuthoringFormat::Tsv});
    if (get(result) != library) {
        std::abort(); // dump --tsv then compile --tsv lost or changed something
    }
}

} // namespace

// The bytes are compiled as lines alternating English and Chinese, plain and with traditional
// characters simplified, and as tab-separated pairs, each in the encoding they are detected in.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input = folder() + "/input.txt";
    const std::string output = folder() + "/output.dat";
    put(input, std::string_view(reinterpret_cast<const char*>(data), size));
    for (const qurimo::AuthoringOptions& options :
         {qurimo::AuthoringOptions{}, qurimo::AuthoringOptions{.simplified = true},
          qurimo::AuthoringOptions{.format = qurimo::AuthoringFormat::Tsv}}) {
        std::remove(output.c_str());
        try {
            qurimo::CompileLibrary(input, output, qurimo::SlotTable{}, options);
        } catch (const qurimo::RuntimeError&) {
            if (::access(output.c_str(), F_OK) == 0) {
                std::abort(); // a failed compile wrote something
            }
            continue;
        }
        checkRoundTrips(output);
    }
    return 0;
}
