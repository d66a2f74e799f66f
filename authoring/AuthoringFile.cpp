// SPDX-License-Identifier: MIT
#include "AuthoringFile.h"

#include "AuthoringAdvice.h"
#include "EncodingDetection.h"
#include "LibraryRecords.h"
#include "PosixFile.h"
#include "SlotTable.h"
#include "TsvFile.h"
#include "Utf8.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <span>
#include <sys/stat.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unistd.h>

namespace qurimo {

namespace {

constexpr std::string_view Utf16LeBom = "\xFF\xFE";
constexpr std::string_view Utf16BeBom = "\xFE\xFF";

// No authoring file that compiles is longer: 602 lines, each as long as a line of 65,535
// code page 936 bytes can get (65,535 ASCII characters take two bytes each in UTF-16; in
// UTF-8 two-byte characters take three, less; a character beyond the 16 bits, four, but has
// no code page 936 form unless simplified into one of two), each ended by CR LF, after a
// byte-order mark. A longer line is refused before it is decoded.
constexpr std::size_t MaxLineBytes = 2 * MaxTextBytes;
constexpr std::size_t MaxAuthoringBytes = 602 * (MaxLineBytes + 4) + Utf16LeBom.size();

// The lines read: the 603rd is only named by error 9, and nothing after it is looked at.
constexpr std::size_t LinesRead = 2 * SlotTable::SlotCount;

std::string readAuthoringBytes(const std::string& path, mode_t& shared) {
    const std::string name = inputName(path);
    if (path == StandardInput) {
        struct stat info {};
        if (::fstat(STDIN_FILENO, &info) == 0 && S_ISREG(info.st_mode)) {
            shared = info.st_mode & 077;
        }
        std::string bytes = readUpTo(STDIN_FILENO, MaxAuthoringBytes + 1, name);
        if (bytes.size() > MaxAuthoringBytes) {
            throw RuntimeError(ErrorNumber::PathFileAccessError, name, 0,
                               "输入超过了编写文件的最大长度 " + std::to_string(MaxAuthoringBytes) +
                                   " 字节");
        }
        return bytes;
    }
    FileDescriptor file = openRegularFile(path, O_RDONLY);
    struct stat info {};
    ::fstat(file.get(), &info);
    shared = info.st_mode & 077;
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

template <class Char>
std::vector<std::basic_string_view<Char>> linesOf(std::basic_string_view<Char> text,
                                                  std::size_t maxLines) {
    std::vector<std::basic_string_view<Char>> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size() && lines.size() < maxLines) {
        const Char c = text[i];
        if (c == Char('\r') || c == Char('\n')) {
            lines.push_back(text.substr(start, i - start));
            i += (c == Char('\r') && i + 1 < text.size() && text[i + 1] == Char('\n')) ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size() && lines.size() < maxLines) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

std::size_t codePoints(std::u16string_view text) {
    return static_cast<std::size_t>(u_countChar32(reinterpret_cast<const UChar*>(text.data()),
                                                  static_cast<int32_t>(text.size())));
}

std::string hexBytes(std::string_view bytes) {
    std::string text;
    for (const char b : bytes) {
        char one[4];
        std::snprintf(one, sizeof one, "%02X", static_cast<unsigned char>(b));
        text += (text.empty() ? "" : " ") + std::string(one);
    }
    return text;
}

RuntimeError undecodable(const std::string& name, std::size_t line, std::size_t before,
                         std::string_view bytes, const std::string& remedy) {
    return RuntimeError(ErrorNumber::InvalidCall, name, static_cast<long>(line),
                        "第 " + std::to_string(before + 1) + " 列：字节 " + hexBytes(bytes) +
                            " 无法解码。\n" + remedy);
}

bool isSurrogateAt(std::string_view bytes, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    return i + 2 < bytes.size() && at(i) == 0xED && at(i + 1) >= 0xA0 && at(i + 1) <= 0xBF &&
           at(i + 2) >= 0x80 && at(i + 2) <= 0xBF;
}

// UTF-8 but for surrogates written out one by one, as CESU-8 and Java's modified UTF-8 do.
bool spellsSurrogates(std::string_view bytes) {
    std::size_t first = 0;
    while (first < bytes.size() && !isSurrogateAt(bytes, first)) {
        ++first;
    }
    if (first == bytes.size()) {
        return false; // the common case, without a copy of the file
    }
    std::string mended(bytes);
    for (std::size_t i = first; i < mended.size(); ++i) {
        if (isSurrogateAt(mended, i)) {
            mended[i + 1] = '\x9F'; // ED 9F xx: a character just below the surrogates
        }
    }
    return isUtf8(mended);
}

// Text saved as UTF-16 without its mark: one byte in eight or more is NUL (English and line
// ends bring one in two), two at least, and nine in ten of them or more fall on one side of
// the 16-bit units, the odd one for little-endian. True for little-endian.
std::optional<bool> markLessUtf16(std::string_view bytes) {
    const auto all = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\0'));
    if (all < 2 || all * 8 < bytes.size()) {
        return std::nullopt;
    }
    std::size_t odd = 0;
    for (std::size_t i = 1; i < bytes.size(); i += 2) {
        odd += bytes[i] == '\0' ? 1 : 0;
    }
    if (std::max(odd, all - odd) * 10 < all * 9) {
        return std::nullopt;
    }
    return odd > all - odd;
}

// The longest line a format can compile: a line of alternating lines holds one text, one of a
// tab-separated file columns of any length that are left out.
std::size_t maxLineBytes(AuthoringFormat format) {
    return format == AuthoringFormat::Lines ? MaxLineBytes : SIZE_MAX;
}

// The lines of bytes in a byte encoding, each decoded strictly by ICU's converter; more when
// the file goes on past them.
AuthoringText decodeBytes(std::string_view bytes, bool more, AuthoringEncoding encoding,
                          AuthoringFormat format, const std::string& name, Advice advice) {
    const bool utf8 = encoding == AuthoringEncoding::Utf8;
    UErrorCode error = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(
        ucnv_open(utf8 ? "UTF-8" : "windows-936", &error), ucnv_close);
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &error);
    if (U_FAILURE(error)) {
        throw RuntimeError(ErrorNumber::InvalidCall, name, 0,
                           std::string("ICU 无法打开转换器：") + u_errorName(error));
    }
    AuthoringText text{{}, encoding, format, std::nullopt};
    const std::vector<std::string_view> lines = linesOf(bytes, LinesRead);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string_view line = lines[index];
        if (line.size() > maxLineBytes(format)) {
            text.stop = lineTooLong(name, static_cast<long>(index) + 1, line.size());
            return text;
        }
        std::u16string decoded(line.size(), u'\0'); // no byte gives more than one unit
        UChar* target = reinterpret_cast<UChar*>(decoded.data());
        const char* source = line.data();
        error = U_ZERO_ERROR;
        ucnv_resetToUnicode(converter.get());
        ucnv_toUnicode(converter.get(), &target, target + decoded.size(), &source,
                       line.data() + line.size(), nullptr, true, &error);
        decoded.resize(static_cast<std::size_t>(target - reinterpret_cast<UChar*>(decoded.data())));
        if (U_SUCCESS(error)) {
            text.lines.push_back(std::move(decoded));
            continue;
        }
        char invalid[32];
        int8_t invalidLength = sizeof invalid;
        UErrorCode ignored = U_ZERO_ERROR;
        ucnv_getInvalidChars(converter.get(), invalid, &invalidLength, &ignored);
        const std::size_t start = static_cast<std::size_t>(source - line.data()) -
                                  static_cast<std::size_t>(std::max<int8_t>(invalidLength, 0));
        std::size_t shown = std::max<std::size_t>(static_cast<std::size_t>(invalidLength), 1);
        const bool surrogate = utf8 && isSurrogateAt(line, start);
        if (surrogate) {
            shown = 3;
        } else if (!utf8 && shown == 1 && static_cast<unsigned char>(line[start]) >= 0x81) {
            shown = 2; // a lead byte, shown with the byte that cannot follow it
        }
        text.stop = undecodable(name, index + 1, codePoints(decoded), line.substr(start, shown),
                                surrogate ? cesu8Remedy(advice) : encodingRemedy(encoding, advice));
        return text;
    }
    if (more) {
        text.stop = tooManyPairs(name, LinesRead + 1, format, advice);
    }
    return text;
}

// The lines of UTF-16 bytes, without their mark, each checked for surrogates that pair.
AuthoringText decodeUtf16(std::string_view bytes, bool bigEndian, AuthoringFormat format,
                          const std::string& name, Advice advice) {
    const AuthoringEncoding encoding =
        bigEndian ? AuthoringEncoding::Utf16Be : AuthoringEncoding::Utf16Le;
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        units[i] = static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    AuthoringText text{{}, encoding, format, std::nullopt};
    const std::vector<std::u16string_view> lines =
        linesOf(std::u16string_view(units), LinesRead + 1);
    for (std::size_t index = 0; index < lines.size() && index < LinesRead; ++index) {
        const std::u16string_view line = lines[index];
        if (2 * line.size() > maxLineBytes(format)) {
            text.stop = lineTooLong(name, static_cast<long>(index) + 1, 2 * line.size());
            return text;
        }
        for (std::size_t i = 0; i < line.size(); ++i) {
            const bool paired =
                U16_IS_LEAD(line[i]) && i + 1 < line.size() && U16_IS_TRAIL(line[i + 1]);
            if (paired) {
                ++i;
            } else if (U16_IS_SURROGATE(line[i])) {
                const std::size_t at = 2 * static_cast<std::size_t>(&line[i] - units.data());
                text.stop = undecodable(name, index + 1, codePoints(line.substr(0, i)),
                                        bytes.substr(at, 2), encodingRemedy(encoding, advice));
                return text;
            }
        }
        text.lines.emplace_back(line);
    }
    if (lines.size() > LinesRead) {
        text.stop = tooManyPairs(name, LinesRead + 1, format, advice);
    } else if (bytes.size() % 2 != 0) {
        // Half a unit at the end: on the last line, or on a line of its own after a final
        // line end.
        const bool ended = units.empty() || units.back() == u'\r' || units.back() == u'\n';
        const std::size_t line = ended ? lines.size() + 1 : lines.size();
        if (line <= LinesRead) {
            text.lines.resize(line - 1);
            text.stop =
                undecodable(name, line, ended ? 0 : codePoints(lines.back()),
                            bytes.substr(bytes.size() - 1), encodingRemedy(encoding, advice));
        } else {
            text.stop = tooManyPairs(name, LinesRead + 1, format, advice);
        }
    }
    return text;
}

} // namespace

std::string inputName(const std::string& path) {
    return path == StandardInput ? "标准输入" : path;
}

RuntimeError lineTooLong(const std::string& name, long line, std::size_t bytes) {
    return RuntimeError(ErrorNumber::Overflow, name, line,
                        "这一行长 " + std::to_string(bytes) + " 字节，超过库文件允许的 " +
                            std::to_string(MaxTextBytes) + " 字节");
}

RuntimeError tooManyPairs(const std::string& name, long line, AuthoringFormat format,
                          Advice advice) {
    return RuntimeError(ErrorNumber::SubscriptOutOfRange, name, line,
                        "库文件最多容纳 " + std::to_string(SlotTable::SlotCount) + " 对句子。" +
                            tooManyPairsRemedy(format, advice));
}

std::vector<std::string_view> splitLines(std::string_view bytes, std::size_t maxLines) {
    return linesOf(bytes, maxLines);
}

AuthoringText decodeAuthoring(std::string_view bytes, AuthoringEncoding encoding,
                              AuthoringFormat format, const std::string& name, Advice advice) {
    if (format == AuthoringFormat::Detect) {
        // A tab is the byte 09 in every encoding read, UTF-16 too.
        if (bytes.find('\t') != std::string_view::npos) {
            AuthoringText tsv =
                decodeAuthoring(bytes, encoding, AuthoringFormat::Tsv, name, advice);
            if (holdsTabSeparatedPairs(tsv.lines)) {
                return tsv;
            }
        }
        format = AuthoringFormat::Lines;
    }
    if (bytes.starts_with(Utf16LeBom) || bytes.starts_with(Utf16BeBom)) {
        return decodeUtf16(bytes.substr(2), bytes.starts_with(Utf16BeBom), format, name, advice);
    }
    if (encoding == AuthoringEncoding::Utf16Le || encoding == AuthoringEncoding::Utf16Be) {
        return decodeUtf16(bytes, encoding == AuthoringEncoding::Utf16Be, format, name, advice);
    }
    // What comes after the lines that are read is never looked at, not even to detect.
    const std::vector<std::string_view> lines = linesOf(bytes, LinesRead + 1);
    const bool more = lines.size() > LinesRead;
    if (more) {
        bytes = bytes.substr(0, static_cast<std::size_t>(lines.back().data() - bytes.data()));
    }
    if (const std::optional<bool> littleEndian = markLessUtf16(bytes)) {
        throw RuntimeError(ErrorNumber::InvalidCall, name, 0,
                           std::string("文件中有很多 NUL 字节，看来是没有字节序标记的 ") +
                               (*littleEndian ? "UTF-16 LE" : "UTF-16 BE") + " 文本。\n" +
                               markLessUtf16Remedy(*littleEndian, advice));
    }
    // Nor is anything from a line too long to compile on, where decoding stops.
    const std::size_t readLines = static_cast<std::size_t>(
        std::find_if(
            lines.begin(), lines.begin() + static_cast<long>(std::min(lines.size(), LinesRead)),
            [format](std::string_view line) { return line.size() > maxLineBytes(format); }) -
        lines.begin());
    const std::string_view read =
        readLines < lines.size()
            ? bytes.substr(0, static_cast<std::size_t>(lines[readLines].data() - bytes.data()))
            : bytes;
    bool closeCall = false;
    if (encoding == AuthoringEncoding::Detect) {
        const DetectedEncoding detected = detectEncoding(std::span(lines).first(readLines), format);
        encoding = detected.encoding;
        closeCall = detected.close();
        if (encoding == AuthoringEncoding::Codepage936 && spellsSurrogates(read)) {
            encoding = AuthoringEncoding::Utf8;
            closeCall = false;
        }
    } else if (encoding == AuthoringEncoding::Codepage936 && read.starts_with(Utf8Bom) &&
               isUtf8(read.substr(Utf8Bom.size()))) {
        encoding = AuthoringEncoding::Utf8;
    }
    if (encoding == AuthoringEncoding::Utf8 && bytes.starts_with(Utf8Bom)) {
        bytes.remove_prefix(Utf8Bom.size());
    }
    AuthoringText text = decodeBytes(bytes, more, encoding, format, name, advice);
    text.closeCall = closeCall;
    return text;
}

AuthoringText readAuthoringLines(const std::string& path, AuthoringEncoding encoding,
                                 AuthoringFormat format, Advice advice) {
    mode_t shared = 077;
    const std::string bytes = readAuthoringBytes(path, shared);
    AuthoringText text = decodeAuthoring(bytes, encoding, format, inputName(path), advice);
    text.sharedAtMost = shared;
    return text;
}

std::string encodingName(AuthoringEncoding encoding) {
    switch (encoding) {
    case AuthoringEncoding::Utf8:
        return "UTF-8";
    case AuthoringEncoding::Utf16Le:
        return "UTF-16 LE";
    case AuthoringEncoding::Utf16Be:
        return "UTF-16 BE";
    case AuthoringEncoding::Detect:
    case AuthoringEncoding::Codepage936:
        break;
    }
    return "代码页 936 (GBK)";
}

} // namespace qurimo
