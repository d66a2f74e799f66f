// SPDX-License-Identifier: MIT
#include "AuthoringFile.h"

#include "Codepage936.h"
#include "PosixFile.h"
#include "RuntimeError.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unicode/ustring.h>

namespace qurimo {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

// No authoring file that compiles is longer: 602 lines, each as long in UTF-8 as a line of
// 65,535 code page 936 bytes can get (two-byte characters take three), each ended by CR LF,
// after a byte-order mark.
constexpr std::size_t MaxLineBytes = 0xFFFF / 2 * 3 + 1;
constexpr std::size_t MaxAuthoringBytes = 602 * (MaxLineBytes + 2) + Utf8Bom.size();

bool isUtf8(std::string_view bytes) {
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strFromUTF8(nullptr, 0, &length, bytes.data(), static_cast<int32_t>(bytes.size()), &error);
    return error == U_BUFFER_OVERFLOW_ERROR || error == U_STRING_NOT_TERMINATED_WARNING ||
           U_SUCCESS(error);
}

std::string readAuthoringBytes(const std::string& path) {
    FileDescriptor file = openRegularFile(path, O_RDONLY);
    struct stat info {};
    ::fstat(file.get(), &info);
    std::string bytes;
    if (static_cast<std::size_t>(info.st_size) <= MaxAuthoringBytes) {
        bytes = readUpTo(file.get(), MaxAuthoringBytes + 1, path); // it may grow meanwhile
    }
    if (static_cast<std::size_t>(info.st_size) > MaxAuthoringBytes ||
        bytes.size() > MaxAuthoringBytes) {
        const auto size =
            std::max<std::size_t>(static_cast<std::size_t>(info.st_size), bytes.size());
        throw RuntimeError(ErrorNumber::PathFileAccessError, path, 0,
                           "文件长 " + std::to_string(size) + " 字节，编写文件最长为 " +
                               std::to_string(MaxAuthoringBytes) + " 字节");
    }
    return bytes;
}

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
    const std::string bytes = readAuthoringBytes(path);
    std::string_view content = bytes;
    // Code page 936 text may begin with the same three bytes ("锘" and a character led by
    // BF), so they are a mark only when what follows reads as UTF-8.
    if (content.starts_with(Utf8Bom) &&
        (encoding == AuthoringEncoding::Utf8 || isUtf8(content.substr(Utf8Bom.size())))) {
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
