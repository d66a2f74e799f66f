// SPDX-License-Identifier: MIT
#include "SimplifiedChinese.h"

#include "RuntimeError.h"

#include <memory>
#include <mutex>
#include <unicode/translit.h>
#include <unicode/uniset.h>

namespace qurimo {

std::u16string toSimplified(std::u16string_view text) {
    // Made once: building the transliterator from its rules takes far longer than a file's
    // conversion. It is not to be used by two threads at once.
    static std::mutex mutex;
    static const std::unique_ptr<icu::Transliterator> transliterator = [] {
        UErrorCode error = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> made(
            icu::Transliterator::createInstance("Traditional-Simplified", UTRANS_FORWARD, error));
        if (U_FAILURE(error)) {
            return std::unique_ptr<icu::Transliterator>();
        }
        // Its rules replace strings of the characters they change, without context, so a
        // filter of those characters changes nothing but the time: the rules are no longer
        // tried at every other character, at every letter of the English lines above all.
        icu::UnicodeSet changed;
        made->getSourceSet(changed);
        made->adoptFilter(changed.freeze()->clone());
        return made;
    }();
    if (!transliterator) {
        throw RuntimeError(ErrorNumber::InvalidCall, {}, 0,
                           "这个系统的 ICU 没有繁体转简体的转换 (Traditional-Simplified)");
    }
    icu::UnicodeString converted(text.data(), static_cast<int32_t>(text.size()));
    {
        const std::lock_guard lock(mutex);
        transliterator->transliterate(converted);
    }
    return std::u16string(converted.getBuffer(), static_cast<std::size_t>(converted.length()));
}

} // namespace qurimo
