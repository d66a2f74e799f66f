// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace qurimo {

// text through ICU's Traditional-Simplified transliterator: 這 becomes 这, 說 说, 「」 “”;
// what has no simplified form stays as it is.
std::u16string toSimplified(std::u16string_view text);

} // namespace qurimo
