// SPDX-License-Identifier: MIT
#include "AuthoringFile.h"

#include "Codepage936.h"
#include "PosixFile.h"

#include <limits>
#include <unicode/ustring.h>

namespace qurimo {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

std::u16string fromUtf8(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    std::u16string out(bytes.size() + 1, u'\0');
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    // Malformed sequences become U+FFFD, which the scramble check then names.
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                         &length, bytes.data(), static_cast<int32_t>(bytes.size()), 0xFFFD, nullptr,
                         &error);
    out.resize(U_SUCCESS(error) ? static_cast<std::size_t>(length) : 0);
    return out;
}

} // namespace

std::vector<std::string_view> splitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(bytes.substr(start, i - start));
            i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < bytes.size()) {
        lines.push_back(bytes.substr(start));
    }
    return lines;
}

std::vector<std::u16string> readAuthoringLines(const std::string& path,
                                               AuthoringEncoding encoding) {
    const std::string bytes = readWholeFile(path, std::numeric_limits<std::size_t>::max());
    std::string_view content = bytes;
    if (content.starts_with(Utf8Bom)) {
        encoding = AuthoringEncoding::Utf8;
        content.remove_prefix(Utf8Bom.size());
    }
    std::vector<std::u16string> lines;
    for (std::string_view line : splitLines(content)) {
        lines.push_back(encoding == AuthoringEncoding::Utf8
                            ? fromUtf8(line)
                            : Codepage936::instance().toUnicode(line));
    }
    return lines;
}

} // namespace qurimo
