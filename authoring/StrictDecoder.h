// SPDX-License-Identifier: MIT
#pragma once

#include "AuthoringTypes.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unicode/ucnv.h>

namespace qurimo {

// UTF-8 or code page 936 decoded strictly, one line at a time: bytes that form no character
// stop the decoding instead of becoming U+FFFD, so that they can be named.
class StrictDecoder {
public:
    // Utf8 or Codepage936.
    explicit StrictDecoder(AuthoringEncoding encoding);

    // Where decoding stopped: the first byte that forms no character and how many ICU took
    // for it (one at least).
    struct Invalid {
        std::size_t at;
        std::size_t length;
    };

    // Decodes bytes into out; on invalid bytes, out holds what came before them.
    std::optional<Invalid> decode(std::string_view bytes, std::u16string& out);

private:
    std::unique_ptr<UConverter, decltype(&ucnv_close)> converter_{nullptr, ucnv_close};
};

// Whether an ICU conversion failed because the bytes form no character, rather than because
// ICU itself failed.
bool isUndecodable(UErrorCode error);

} // namespace qurimo
