// SPDX-License-Identifier: MIT
#pragma once

#include "AuthoringTypes.h"

#include <optional>
#include <span>
#include <string_view>

namespace qurimo {

// What detectEncoding decided, and how narrowly.
struct DetectedEncoding {
    AuthoringEncoding encoding;
    // By how much the reading chosen weighs more than the other, a counted character on
    // average (0 to 4), when both readings decode and were weighed; nothing when only one
    // decodes, a mark decided, or the text is ASCII.
    std::optional<double> lead;

    // Whether the weighing was close enough that the file may well be in the other encoding,
    // which its reader is then told. Under CloseLead lie most UTF-8 files with next to no
    // Chinese that are read as code page 936 ("为V1") and few files read right; the detection
    // benchmark counts both (benchmarks/README.md).
    static constexpr double CloseLead = 0.6;
    bool close() const { return lead && *lead < CloseLead; }
};

// The encoding the lines of an authoring file are in, Codepage936 or Utf8, judged by what they
// read as where the format puts English and where Chinese. A UTF-8 byte-order mark at the
// start of UTF-8 makes them UTF-8. Otherwise they are UTF-8 only when they are valid UTF-8
// holding something besides ASCII, and either are no code page 936 text at all or read as
// UTF-8 more like English and Chinese lines than they do as code page 936: common Chinese
// characters and punctuation weigh most in Chinese text, and count against a reading in
// English text, or where a Latin letter is glued to a Chinese character; other letters in
// English text count for neither. A tie is code page 936. Chinese saved as code page 936 that
// is also valid UTF-8 (the bytes D0 A1 of "小" are U+0421, a Cyrillic letter; those of "鏈結",
// "朽Y") reads as code page 936 as wholly Chinese, so it stays code page 936; UTF-8 English
// with accented or Cyrillic letters ("café") reads as code page 936 as Chinese characters in
// English text, so it stays UTF-8. ASCII reads the same either way and is reported as UTF-8.
DetectedEncoding detectEncoding(std::span<const std::string_view> lines, AuthoringFormat format);

} // namespace qurimo
