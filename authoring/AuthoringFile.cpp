// SPDX-License-Identifier: MIT
#include "AuthoringFile.h"

#include "PosixFile.h"
#include "RuntimeError.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

namespace qurimo {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

// No authoring file that compiles is longer: 602 lines, each as long in UTF-8 as a line of
// 65,535 code page 936 bytes can get (two-byte characters take three), each ended by CR LF,
// after a byte-order mark.
constexpr std::size_t MaxLineBytes = 0xFFFF / 2 * 3 + 1;
constexpr std::size_t MaxAuthoringBytes = 602 * (MaxLineBytes + 2) + Utf8Bom.size();

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

AuthoringText readAuthoringLines(const std::string& path, AuthoringEncoding encoding) {
    return decodeAuthoring(readAuthoringBytes(path), encoding);
}

} // namespace qurimo
