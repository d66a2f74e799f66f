// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qurimo {

// Whether a replacement of the conversion is made, by what it replaces and its replacement.
using ReplacementFilter = std::function<bool(std::u16string_view from, std::u16string_view to)>;

// text as OpenCC's t2s configuration converts it, by phrase: 頭髮 becomes 头发 and 乾燥 干燥,
// while 乾隆 stays; what has no simplified form stays as it is, and so does what made refuses
// to replace. OpenCC's dictionaries are read on the first call.
std::u16string toSimplified(std::u16string_view text, const ReplacementFilter& made = {});

// What a search looks for: keyword converted as toSimplified does, then, where different,
// keyword as typed, which a library compiled without --simplified may hold. A keyword without
// a Chinese character is looked for as typed (no key of t2s lacks one), so that only a Chinese
// keyword reads the dictionaries.
std::vector<std::u16string> searchForms(const std::u16string& keyword);

} // namespace qurimo
