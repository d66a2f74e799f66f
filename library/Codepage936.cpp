#include "Codepage936.h"

#include <array>
#include <atomic>
#include <mutex>
#include <stdexcept>
#include <unicode/ucnv.h>

namespace qurimo {

struct Codepage936::Impl {
    std::mutex mutex; // guards the converter; the caches are read without it
    UConverter* converter = nullptr;

    // code + 0x10000 per UTF-16 unit; 0 means not converted yet.
    std::array<std::atomic<std::int32_t>, 0x10000> codes{};
    // Per 16-bit code: units count in bits 32..39, up to two units below; 0 means not yet.
    std::array<std::atomic<std::uint64_t>, 0x10000> texts{};

    std::string fromUnicodeLocked(std::u16string_view text) {
        std::string out(text.size() * 2 + 2, '\0');
        UErrorCode error = U_ZERO_ERROR;
        ucnv_resetFromUnicode(converter);
        const int32_t length = ucnv_fromUChars(
            converter, out.data(), static_cast<int32_t>(out.size()),
            reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()), &error);
        if (U_FAILURE(error)) {
            throw std::runtime_error(std::string("code page 936 conversion: ") +
                                     u_errorName(error));
        }
        out.resize(static_cast<std::size_t>(length));
        return out;
    }

    std::u16string toUnicodeLocked(std::string_view bytes) {
        std::u16string out(bytes.size() + 1, u'\0');
        UErrorCode error = U_ZERO_ERROR;
        ucnv_resetToUnicode(converter);
        const int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar*>(out.data()),
                                             static_cast<int32_t>(out.size()), bytes.data(),
                                             static_cast<int32_t>(bytes.size()), &error);
        if (U_FAILURE(error)) {
            throw std::runtime_error(std::string("code page 936 conversion: ") +
                                     u_errorName(error));
        }
        out.resize(static_cast<std::size_t>(length));
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
    return impl_->fromUnicodeLocked(text);
}

std::u16string Codepage936::toUnicode(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    std::lock_guard lock(impl_->mutex);
    return impl_->toUnicodeLocked(bytes);
}

std::int16_t Codepage936::codeOf(char16_t unit) {
    std::atomic<std::int32_t>& slot = impl_->codes[unit];
    std::int32_t cached = slot.load(std::memory_order_acquire);
    if (cached == 0) {
        std::string bytes;
        {
            std::lock_guard lock(impl_->mutex);
            bytes = impl_->fromUnicodeLocked(std::u16string_view(&unit, 1));
        }
        std::int32_t code = 0;
        if (bytes.size() == 1) {
            code = static_cast<unsigned char>(bytes[0]);
        } else if (bytes.size() >= 2) {
            const int word =
                static_cast<unsigned char>(bytes[0]) * 256 + static_cast<unsigned char>(bytes[1]);
            code = static_cast<std::int16_t>(static_cast<std::uint16_t>(word));
        }
        cached = code + 0x10000;
        slot.store(cached, std::memory_order_release);
    }
    return static_cast<std::int16_t>(cached - 0x10000);
}

void Codepage936::appendCharacterOf(std::int16_t code, std::u16string& out) {
    const auto word = static_cast<std::uint16_t>(code);
    std::atomic<std::uint64_t>& slot = impl_->texts[word];
    std::uint64_t cached = slot.load(std::memory_order_acquire);
    if (cached == 0) {
        std::string bytes;
        if (code >= 0 && code <= 255) {
            bytes.push_back(static_cast<char>(code));
        } else {
            bytes.push_back(static_cast<char>(word >> 8));
            bytes.push_back(static_cast<char>(word & 0xFF));
        }
        std::u16string text;
        {
            std::lock_guard lock(impl_->mutex);
            text = impl_->toUnicodeLocked(bytes);
        }
        // Two bytes never give more than two units in this code page.
        const std::uint64_t count = text.size() > 2 ? 2 : text.size();
        cached = count << 32;
        for (std::uint64_t i = 0; i < count; ++i) {
            cached |= static_cast<std::uint64_t>(text[i]) << (16 * i);
        }
        slot.store(cached, std::memory_order_release);
    }
    const auto count = static_cast<unsigned>(cached >> 32);
    for (unsigned i = 0; i < count; ++i) {
        out.push_back(static_cast<char16_t>((cached >> (16 * i)) & 0xFFFF));
    }
}

} // namespace qurimo
