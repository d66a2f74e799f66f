// SPDX-License-Identifier: MIT
#include "Codepage936.h"

#include "IcuError.h"

#include <array>
#include <memory>
#include <unicode/ucnv.h>
#include <vector>

namespace qurimo {

namespace {

constexpr const char* Converting = "按代码页 936 转换文本";

std::int16_t codeFromBytes(const char* bytes, std::size_t count) {
    if (count == 1) {
        return static_cast<unsigned char>(bytes[0]);
    }
    const unsigned word =
        static_cast<unsigned char>(bytes[0]) * 256u + static_cast<unsigned char>(bytes[1]);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(word));
}

void appendBytesOf(std::int16_t code, std::string& bytes) {
    if (code >= 0 && code <= 255) {
        bytes.push_back(static_cast<char>(code));
    } else {
        const auto word = static_cast<std::uint16_t>(code);
        bytes.push_back(static_cast<char>(word >> 8));
        bytes.push_back(static_cast<char>(word & 0xFF));
    }
}

} // namespace

// The codec converts every character on its own, and one ICU call per character is slow; so
// the conversion of each UTF-16 unit and of each code is made through ICU the first time it is
// met and kept. A code page has only 65,536 of either, and a library meets a few thousand.
struct Codepage936::Impl {
    UConverter* converter = nullptr;

    // Each table has an entry for each of 65,536 values, 0 until it is met, kept in blocks of
    // 256 that are made as they are needed: a library meets a few thousand values in a few
    // dozen blocks, and touching fewer pages keeps its first listing as quick as before.
    class Table {
    public:
        std::uint32_t& operator[](std::uint16_t value) {
            auto& block = blocks_[value >> 8];
            if (!block) {
                block = std::make_unique<std::array<std::uint32_t, 256>>();
            }
            return (*block)[value & 0xFF];
        }

    private:
        std::array<std::unique_ptr<std::array<std::uint32_t, 256>>, 256> blocks_;
    };
    static constexpr std::uint32_t Known = 0x10000; // | the code, or | the one unit
    static constexpr std::uint32_t Other = 0x20000; // | the index into otherTexts
    Table codeOfUnit;                               // by UTF-16 unit
    Table textOfCode;                               // by code as unsigned 16-bit
    std::vector<std::u16string> otherTexts;         // codes that give no unit or several

    void appendTextOf(std::int16_t code, std::u16string& result) {
        std::uint32_t& known = textOfCode[static_cast<std::uint16_t>(code)];
        if (known == 0) {
            std::string one;
            appendBytesOf(code, one);
            std::u16string text = toUnicode(one);
            if (text.size() == 1) {
                known = Known | text[0];
            } else {
                known = Other | static_cast<std::uint32_t>(otherTexts.size());
                otherTexts.push_back(std::move(text));
            }
        }
        if ((known & Known) != 0) {
            result.push_back(static_cast<char16_t>(known & 0xFFFF));
        } else {
            result += otherTexts[known & 0xFFFF];
        }
    }

    std::int16_t codeOf(char16_t unit) {
        std::uint32_t& known = codeOfUnit[unit];
        if (known == 0) {
            const std::string one = fromUnicode(std::u16string_view(&unit, 1));
            known =
                Known | static_cast<std::uint16_t>(
                            one.empty() ? 0 : codeFromBytes(one.data(), one.size() >= 2 ? 2 : 1));
        }
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(known & 0xFFFF));
    }

    // Conversions go through buffers kept for the next one, so that a long text does not cost
    // a fresh allocation of its largest possible size each time.
    std::string byteBuffer;
    std::u16string unitBuffer;

    std::string fromUnicode(std::u16string_view text) {
        if (byteBuffer.size() < text.size() * 2 + 4) {
            byteBuffer.resize(text.size() * 2 + 4);
        }
        char* target = byteBuffer.data();
        const UChar* source = reinterpret_cast<const UChar*>(text.data());
        UErrorCode error = U_ZERO_ERROR;
        ucnv_resetFromUnicode(converter);
        ucnv_fromUnicode(converter, &target, byteBuffer.data() + byteBuffer.size(), &source,
                         source + text.size(), nullptr, true, &error);
        requireIcu(error, Converting);
        return std::string(byteBuffer.data(), target);
    }

    std::u16string toUnicode(std::string_view bytes) {
        if (unitBuffer.size() < bytes.size() + 4) {
            unitBuffer.resize(bytes.size() + 4);
        }
        UChar* start = reinterpret_cast<UChar*>(unitBuffer.data());
        UChar* target = start;
        const char* source = bytes.data();
        UErrorCode error = U_ZERO_ERROR;
        ucnv_resetToUnicode(converter);
        ucnv_toUnicode(converter, &target, start + unitBuffer.size(), &source,
                       source + bytes.size(), nullptr, true, &error);
        requireIcu(error, Converting);
        return std::u16string(unitBuffer.data(), static_cast<std::size_t>(target - start));
    }
};

Codepage936& Codepage936::instance() {
    static Codepage936 codepage;
    return codepage;
}

Codepage936::Codepage936() {
    UErrorCode error = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("windows-936", &error);
    requireIcu(error, "打开代码页 936 的转换器");
    impl_ = new Impl;
    impl_->converter = converter;
}

Codepage936::~Codepage936() {
    ucnv_close(impl_->converter);
    delete impl_;
}

std::string Codepage936::fromUnicode(std::u16string_view text) {
    return impl_->fromUnicode(text);
}

std::u16string Codepage936::toUnicode(std::string_view bytes) {
    return impl_->toUnicode(bytes);
}

std::vector<std::int16_t> Codepage936::codesOf(std::u16string_view text) {
    std::vector<std::int16_t> codes(text.size());
    for (std::size_t unit = 0; unit < text.size(); ++unit) {
        codes[unit] = impl_->codeOf(text[unit]);
    }
    return codes;
}

std::u16string Codepage936::textOf(const std::vector<std::int16_t>& codes) {
    // Sized once and written in place while each code gives one unit, as nearly all do: the
    // codec runs over every text of a library many megabytes long.
    std::u16string result(codes.size(), u'\0');
    std::size_t done = 0;
    for (; done < codes.size(); ++done) {
        std::uint32_t& known = impl_->textOfCode[static_cast<std::uint16_t>(codes[done])];
        if ((known & Impl::Known) == 0) {
            break; // not met yet, or not one unit
        }
        result[done] = static_cast<char16_t>(known & 0xFFFF);
    }
    result.resize(done);
    for (; done < codes.size(); ++done) {
        impl_->appendTextOf(codes[done], result);
    }
    return result;
}

} // namespace qurimo
