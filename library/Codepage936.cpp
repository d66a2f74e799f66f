// SPDX-License-Identifier: MIT
#include "Codepage936.h"

#include <mutex>
#include <stdexcept>
#include <unicode/ucnv.h>

namespace qurimo {

namespace {

[[noreturn]] void conversionFailed(UErrorCode error) {
    throw std::runtime_error(std::string("code page 936 conversion: ") + u_errorName(error));
}

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

// The codec converts every character on its own, but one ICU call per character is slow. So
// whole strings are converted in one call with ICU's offsets, which tell which input each
// output came from; where they show that every character was converted on its own anyway,
// that result is taken, and otherwise (surrogate pairs, bytes that form no character) the
// string is converted again one character at a time.
struct Codepage936::Impl {
    std::mutex mutex;
    UConverter* converter = nullptr;

    std::string fromUnicode(std::u16string_view text, std::vector<int32_t>* offsets) {
        std::string out(text.size() * 2 + 4, '\0');
        if (offsets != nullptr) {
            offsets->assign(out.size(), -1);
        }
        char* target = out.data();
        const UChar* source = reinterpret_cast<const UChar*>(text.data());
        UErrorCode error = U_ZERO_ERROR;
        ucnv_resetFromUnicode(converter);
        ucnv_fromUnicode(converter, &target, out.data() + out.size(), &source, source + text.size(),
                         offsets ? offsets->data() : nullptr, true, &error);
        if (U_FAILURE(error)) {
            conversionFailed(error);
        }
        out.resize(static_cast<std::size_t>(target - out.data()));
        return out;
    }

    std::u16string toUnicode(std::string_view bytes, std::vector<int32_t>* offsets) {
        std::u16string out(bytes.size() + 4, u'\0');
        if (offsets != nullptr) {
            offsets->assign(out.size(), -1);
        }
        UChar* target = reinterpret_cast<UChar*>(out.data());
        const char* source = bytes.data();
        UErrorCode error = U_ZERO_ERROR;
        ucnv_resetToUnicode(converter);
        ucnv_toUnicode(converter, &target, target + out.size(), &source, source + bytes.size(),
                       offsets ? offsets->data() : nullptr, true, &error);
        if (U_FAILURE(error)) {
            conversionFailed(error);
        }
        out.resize(static_cast<std::size_t>(target - reinterpret_cast<UChar*>(out.data())));
        return out;
    }
};

Codepage936& Codepage936::instance() {
    static Codepage936 codepage;
    return codepage;
}

Codepage936::Codepage936() : impl_(new Impl) {
    UErrorCode error = U_ZERO_ERROR;
    impl_->converter = ucnv_open("windows-936", &error);
    if (U_FAILURE(error)) {
        delete impl_;
        throw std::runtime_error(std::string("ICU has no windows-936 converter: ") +
                                 u_errorName(error));
    }
}

Codepage936::~Codepage936() {
    ucnv_close(impl_->converter);
    delete impl_;
}

std::string Codepage936::fromUnicode(std::u16string_view text) {
    if (text.empty()) {
        return {};
    }
    std::lock_guard lock(impl_->mutex);
    return impl_->fromUnicode(text, nullptr);
}

std::u16string Codepage936::toUnicode(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    std::lock_guard lock(impl_->mutex);
    return impl_->toUnicode(bytes, nullptr);
}

std::vector<std::int16_t> Codepage936::codesOf(std::u16string_view text) {
    std::vector<std::int16_t> codes(text.size());
    if (text.empty()) {
        return codes;
    }
    std::lock_guard lock(impl_->mutex);
    std::vector<int32_t> offsets;
    const std::string bytes = impl_->fromUnicode(text, &offsets);
    // Each unit in turn must have given one or two bytes of its own.
    std::size_t at = 0;
    bool separate = true;
    for (std::size_t unit = 0; unit < text.size() && separate; ++unit) {
        std::size_t count = 0;
        while (at + count < bytes.size() && offsets[at + count] == static_cast<int32_t>(unit)) {
            ++count;
        }
        separate = count == 1 || count == 2;
        if (separate) {
            codes[unit] = codeFromBytes(bytes.data() + at, count);
            at += count;
        }
    }
    if (separate && at == bytes.size()) {
        return codes;
    }
    for (std::size_t unit = 0; unit < text.size(); ++unit) {
        const std::string one = impl_->fromUnicode(text.substr(unit, 1), nullptr);
        codes[unit] = one.empty() ? 0 : codeFromBytes(one.data(), one.size() >= 2 ? 2 : 1);
    }
    return codes;
}

std::u16string Codepage936::textOf(const std::vector<std::int16_t>& codes) {
    if (codes.empty()) {
        return {};
    }
    std::string bytes;
    bytes.reserve(codes.size() * 2);
    std::vector<std::size_t> starts;
    starts.reserve(codes.size());
    for (std::int16_t code : codes) {
        starts.push_back(bytes.size());
        appendBytesOf(code, bytes);
    }
    std::lock_guard lock(impl_->mutex);
    std::vector<int32_t> offsets;
    const std::u16string text = impl_->toUnicode(bytes, &offsets);
    // Every code's bytes must begin a character of their own, and no substitute may appear:
    // bytes that form no character are where converting alone and in a run can differ.
    bool separate = true;
    std::size_t unit = 0;
    for (std::size_t start : starts) {
        while (unit < text.size() && offsets[unit] >= 0 &&
               static_cast<std::size_t>(offsets[unit]) < start) {
            ++unit;
        }
        if (unit == text.size() || offsets[unit] != static_cast<int32_t>(start)) {
            separate = false;
            break;
        }
    }
    for (char16_t c : text) {
        separate = separate && c != u'\uFFFD' && c != u'\x1A';
    }
    if (separate) {
        return text;
    }
    std::u16string result;
    std::string one;
    for (std::int16_t code : codes) {
        one.clear();
        appendBytesOf(code, one);
        result += impl_->toUnicode(one, nullptr);
    }
    return result;
}

} // namespace qurimo
