// SPDX-License-Identifier: MIT
#include "ControlCharacters.h"

#include <gtest/gtest.h>

using namespace qurimo;

namespace {

// What a terminal obeys unseen is shown as an escape, C1 among it (U+009B is a terminal's CSI);
// what is printable or kept stays as it is.
TEST(ControlCharacters, AreShownAsEscapes) {
    EXPECT_EQ(escapeControls(u"a\x1b[2J\x7f\u0080\u0085\u009b[31m\u009f\u00a0é"),
              u"a\\x1b[2J\\x7f\\x80\\x85\\x9b[31m\\x9f\u00a0é");
    EXPECT_EQ(escapeControls(u"r\u202eL\u061c\u2028\u2069一"), u"r\\u202eL\\u061c\\u2028\\u2069一");
    EXPECT_EQ(escapeControls(u"a\tb\nc\u0085", u"\t\n"), u"a\tb\nc\\x85");
}

} // namespace
