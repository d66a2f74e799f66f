// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace qurimo {

// OpenCC's t2s dictionaries as plain data, read by the module OpenCCModule: only that
// module links OpenCC, and it is loaded on the first conversion, so that the window's
// start-up does not load OpenCC and the libraries it needs.
struct T2sDictionaries {
    // Each dictionary's keys with their first values, UTF-8.
    std::vector<std::vector<std::pair<std::string, std::string>>> dictionaries;
    // The segmentation's dictionaries and each conversion's, in the order OpenCC tries them:
    // indices into dictionaries.
    std::vector<std::size_t> segmentation;
    std::vector<std::vector<std::size_t>> conversions;
    std::string error; // why they could not be read; empty when they were
};

// The module's one function, which never throws: it fills dictionaries, or says why not.
using ReadT2s = void (*)(T2sDictionaries& dictionaries);
inline constexpr const char* ReadT2sSymbol = "qurimo_read_t2s";
inline constexpr const char* OpenCCModule = "modules/qurimo-opencc.so";

} // namespace qurimo
