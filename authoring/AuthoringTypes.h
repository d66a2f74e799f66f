// SPDX-License-Identifier: MIT
#pragma once

// The words every authoring header shares: how a file is encoded and laid out, and for whom
// its errors word their remedies.

namespace qurimo {

enum class AuthoringEncoding {
    Detect,      // by what the bytes read as: UTF-8 or code page 936, see detectEncoding
    Codepage936, // what Chinese Windows editors save as "ANSI"; a UTF-8 byte-order mark still wins
    Utf8,
    Utf16Le, // only ever found by its byte-order mark, which wins over any encoding asked for
    Utf16Be,
};

enum class AuthoringFormat {
    Lines,  // lines alternating English and Chinese
    Tsv,    // one pair a line, English TAB Chinese, or an Anki or Tatoeba export (see parseTsv)
    Detect, // Tsv where holdsTabSeparatedPairs says so, otherwise Lines: what a user saved
};

// For whom an error words its remedy, what to do about the file: the window's user, in the
// editor the file was written with, or qurimo-lib's user, with its options and other tools.
enum class Audience {
    Editor,
    CommandLine,
};

struct AuthoringOptions {
    AuthoringEncoding encoding = AuthoringEncoding::Detect;
    AuthoringFormat format = AuthoringFormat::Lines;
    // Traditional Chinese characters become simplified ones (OpenCC's t2s, by phrase) before
    // the texts are checked and stored.
    bool simplified = false;
    Audience audience = Audience::Editor;
};

} // namespace qurimo
