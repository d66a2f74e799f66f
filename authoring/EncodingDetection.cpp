// SPDX-License-Identifier: MIT
#include "EncodingDetection.h"

#include "Codepage936.h"
#include "HanScript.h"
#include "StrictDecoder.h"
#include "Utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <unicode/uchar.h>
#include <unicode/utf16.h>
#include <vector>

namespace qurimo {

namespace {

// How typical each character at U+0800 and above is of Chinese text: Common for the common
// Chinese characters (level 1 of GB 2312) and the CJK and full-width punctuation, Rare for
// the other characters of GB 2312 there (rarer Chinese characters, kana, symbols) and for
// every other Chinese character (traditional ones among them), Foreign for the rest.
enum Kind : std::uint8_t { Foreign, Rare, Common };

const std::array<Kind, 0x10000>& kinds() {
    static const std::array<Kind, 0x10000> table = [] {
        std::array<Kind, 0x10000> kind{};
        for (UChar32 c = 0x800; c < 0x10000; ++c) {
            kind[static_cast<std::size_t>(c)] = isHan(c) ? Rare : Foreign;
        }
        for (int lead = 0xA1; lead <= 0xF7; ++lead) {
            if (lead >= 0xAA && lead <= 0xAF) {
                continue; // rows GB 2312 leaves empty; code page 936 gives them to private use
            }
            std::string row;
            for (int trail = 0xA1; trail <= 0xFE; ++trail) {
                row.push_back(static_cast<char>(lead));
                row.push_back(static_cast<char>(trail));
            }
            const bool common = lead == 0xA1 || lead == 0xA3 || (lead >= 0xB0 && lead <= 0xD7);
            for (char16_t c : Codepage936::instance().toUnicode(row)) {
                const bool privateUse = c >= 0xE000 && c <= 0xF8FF;
                if (c >= 0x800 && !privateUse && c != 0xFFFD) {
                    kind[c] = common ? Common : Rare;
                }
            }
        }
        return kind;
    }();
    return table;
}

Kind kindOf(UChar32 c) {
    return c < 0x10000 ? kinds()[static_cast<std::size_t>(c)] : (isHan(c) ? Rare : Foreign);
}

// A Latin letter as a misread gives them: ASCII or a Latin-1 or Latin Extended letter (not a
// full-width one, which Chinese text has beside its characters).
bool isLatinLetter(UChar32 c) {
    return c < 0x250 && u_isalpha(c);
}

// How much a reading looks like an authoring file: the weights of the characters that count,
// over their number, nothing counted being 0. In Chinese text every character beyond ASCII
// counts, a common one as 2, a rare one as 1 and any other (a Latin, Cyrillic or Arabic
// letter...) as 0, and a Latin letter glued to a Chinese character as -1 more: "朽Y", what
// the code page 936 bytes of "鏈結" spell in UTF-8, weighs less than two rare characters. In
// English text accented or Cyrillic letters are ordinary and count for neither reading, but a
// Chinese character counts as -2: it is what UTF-8 letters read as code page 936 become ("é"
// as "茅", Cyrillic as common Chinese characters).
struct Evidence {
    long weight = 0;
    long count = 0;

    static Evidence asChinese(std::u16string_view text) {
        constexpr std::array<long, 3> Weight{0, 1, 2}; // by Kind
        Evidence evidence;
        const auto length = static_cast<int32_t>(text.size());
        UChar32 previous = 0;
        for (int32_t i = 0; i < length;) {
            UChar32 c = 0;
            U16_NEXT(text.data(), i, length, c);
            if (c >= 0x80) {
                evidence += {Weight[kindOf(c)], 1};
            }
            if ((isLatinLetter(c) && isHan(previous)) || (isHan(c) && isLatinLetter(previous))) {
                evidence += {-1, 1};
            }
            previous = c;
        }
        return evidence;
    }

    static Evidence asEnglish(std::u16string_view text) {
        Evidence evidence;
        const auto length = static_cast<int32_t>(text.size());
        for (int32_t i = 0; i < length;) {
            UChar32 c = 0;
            U16_NEXT(text.data(), i, length, c);
            if (kindOf(c) != Foreign) {
                evidence += {-2, 1};
            }
        }
        return evidence;
    }

    Evidence& operator+=(const Evidence& other) {
        weight += other.weight;
        count += other.count;
        return *this;
    }

    Evidence operator-(const Evidence& other) const {
        return {weight - other.weight, count - other.count};
    }

    // weight / count > other.weight / other.count
    bool beats(const Evidence& other) const {
        return weight * std::max(other.count, 1L) > other.weight * std::max(count, 1L);
    }

    double average() const {
        return static_cast<double>(weight) / static_cast<double>(std::max(count, 1L));
    }
};

// The evidence of one reading of a file, column by column. Lines alternate English and
// Chinese: two columns, the odd lines and the even ones. A tab-separated file has its Chinese
// in the same column on every line, which column depending on the export, so each reading is
// given the column that suits it best.
class Reading {
public:
    void add(std::u16string_view line, std::size_t index, AuthoringFormat format) {
        if (format == AuthoringFormat::Lines) {
            add(line, index % 2);
            return;
        }
        std::size_t column = 0;
        for (std::size_t from = 0; from <= line.size(); ++column) {
            const std::size_t tab = std::min(line.find(u'\t', from), line.size());
            add(line.substr(from, tab - from), column);
            from = tab + 1;
        }
    }

    Evidence evidence(AuthoringFormat format) const {
        if (format == AuthoringFormat::Lines) {
            Evidence both = english_[0];
            return both += chinese_[1];
        }
        Evidence english;
        for (const Evidence& column : english_) {
            english += column;
        }
        std::optional<Evidence> best;
        for (std::size_t column = 0; column < chinese_.size(); ++column) {
            Evidence chosen = english - english_[column];
            chosen += chinese_[column];
            best = !best || chosen.beats(*best) ? chosen : *best;
        }
        return *best;
    }

private:
    void add(std::u16string_view text, std::size_t column) {
        if (column >= chinese_.size()) {
            chinese_.resize(column + 1);
            english_.resize(column + 1);
        }
        chinese_[column] += Evidence::asChinese(text);
        english_[column] += Evidence::asEnglish(text);
    }

    std::vector<Evidence> chinese_ = std::vector<Evidence>(2);
    std::vector<Evidence> english_ = std::vector<Evidence>(2);
};

} // namespace

DetectedEncoding detectEncoding(std::span<const std::string_view> lines, AuthoringFormat format) {
    const bool marked = !lines.empty() && lines.front().starts_with(Utf8Bom);
    Reading utf8;
    Reading codepage936;
    bool ascii = true;
    bool isCodepage936 = true;
    StrictDecoder codepage936Decoder(AuthoringEncoding::Codepage936);
    std::u16string asUtf8;
    std::u16string asCodepage936;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line =
            i == 0 && marked ? lines.front().substr(Utf8Bom.size()) : lines[i];
        if (!decodeUtf8(line, asUtf8)) {
            return {AuthoringEncoding::Codepage936, std::nullopt};
        }
        ascii = ascii && std::all_of(line.begin(), line.end(),
                                     [](char b) { return static_cast<unsigned char>(b) < 0x80; });
        isCodepage936 = isCodepage936 && !codepage936Decoder.decode(lines[i], asCodepage936);
        if (isCodepage936) {
            utf8.add(asUtf8, i, format);
            codepage936.add(asCodepage936, i, format);
        }
    }
    if (marked || ascii || !isCodepage936) {
        return {AuthoringEncoding::Utf8, std::nullopt};
    }
    // A tie goes to code page 936, what Chinese Windows editors save as "ANSI":
    // then neither reading has more of Chinese text in it, and a file the tie sends the wrong
    // way is UTF-8 with next to no Chinese, which --utf8 settles, rather than Chinese stored as
    // whatever letters its bytes spell in UTF-8.
    const Evidence forUtf8 = utf8.evidence(format);
    const Evidence forCodepage936 = codepage936.evidence(format);
    const double lead = forUtf8.average() - forCodepage936.average();
    return forUtf8.beats(forCodepage936) ? DetectedEncoding{AuthoringEncoding::Utf8, lead}
                                         : DetectedEncoding{AuthoringEncoding::Codepage936, -lead};
}

} // namespace qurimo
