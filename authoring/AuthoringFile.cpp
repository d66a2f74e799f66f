// SPDX-License-Identifier: MIT
#include "AuthoringFile.h"

#include "AuthoringRemedy.h"
#include "EncodingDetection.h"
#include "FileError.h"
#include "LibraryRecords.h"
#include "PosixFile.h"
#include "SlotTable.h"
#include "StrictDecoder.h"
#include "TsvFile.h"
#include "Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <span>
#include <sys/stat.h>
#include <unicode/utf16.h>
#include <unistd.h>

// A file is read in one pass: its bytes, then the encoding they are in, then their lines
// decoded up to where decoding stops, and last what the stop is and what to do about it.

namespace qurimo {

namespace {

constexpr std::string_view Utf16LeBom = "\xFF\xFE";
constexpr std::string_view Utf16BeBom = "\xFE\xFF";

// The lines read: the 603rd is only named by error 9, and nothing after it is looked at.
constexpr std::size_t LinesRead = 2 * SlotTable::SlotCount;

// No authoring file that compiles is longer: LinesRead lines, each as long as a line of
// 65,535 code page 936 bytes can get (65,535 ASCII characters take two bytes each in UTF-16;
// in UTF-8 two-byte characters take three, less; a character beyond the 16 bits, four, but
// has no code page 936 form unless simplified into one of two), each ended by CR LF, after a
// byte-order mark. A longer line is refused before it is decoded.
constexpr std::size_t MaxLineBytes = 2 * MaxTextBytes;
constexpr std::size_t MaxAuthoringBytes = LinesRead * (MaxLineBytes + 4) + Utf16LeBom.size();

// The bytes.

struct stat statusOf(int fd, const std::string& name) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        throwFileError(errno, name);
    }
    return info;
}

std::string readAuthoringBytes(const std::string& path, mode_t& shared) {
    const std::string name = inputName(path);
    if (path == StandardInput) {
        const struct stat info = statusOf(STDIN_FILENO, name);
        if (S_ISREG(info.st_mode)) {
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
    const struct stat info = statusOf(file.get(), path);
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

// The lines of a file in a byte encoding, LinesRead at most, and whether more follow.
struct ByteLines {
    std::string_view bytes; // of those lines, with their line ends
    std::vector<std::string_view> lines;
    bool more = false;
};

ByteLines byteLines(std::string_view bytes) {
    ByteLines split{bytes, linesOf(bytes, LinesRead + 1)};
    if (split.lines.size() > LinesRead) {
        split.bytes =
            bytes.substr(0, static_cast<std::size_t>(split.lines.back().data() - bytes.data()));
        split.lines.pop_back();
        split.more = true;
    }
    return split;
}

// The longest line a format can compile: a line of alternating lines holds one text, one of a
// tab-separated file columns of any length that are left out.
std::size_t maxLineBytes(AuthoringFormat format) {
    return format == AuthoringFormat::Lines ? MaxLineBytes : SIZE_MAX;
}

// The encoding.

struct Reading {
    AuthoringEncoding encoding;
    bool closeCall = false; // see AuthoringText::closeCall
};

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

// How many lines come before the first one too long to compile, where decoding stops.
std::size_t decodableLines(const std::vector<std::string_view>& lines, AuthoringFormat format) {
    std::size_t count = 0;
    while (count < lines.size() && lines[count].size() <= maxLineBytes(format)) {
        ++count;
    }
    return count;
}

// The encoding of a file in a byte encoding, judged by the lines that are decoded: neither a
// line from one too long to compile on nor one after the lines read is looked at.
Reading byteReading(const ByteLines& split, AuthoringEncoding asked, AuthoringFormat format) {
    const std::size_t decodable = decodableLines(split.lines, format);
    const std::string_view read = split.bytes.substr(
        0, decodable < split.lines.size()
               ? static_cast<std::size_t>(split.lines[decodable].data() - split.bytes.data())
               : split.bytes.size());
    if (asked == AuthoringEncoding::Detect) {
        const DetectedEncoding detected =
            detectEncoding(std::span(split.lines).first(decodable), format);
        if (detected.encoding == AuthoringEncoding::Codepage936 && spellsSurrogates(read)) {
            return {AuthoringEncoding::Utf8}; // the broken UTF-8 it is
        }
        return {detected.encoding, detected.close()};
    }
    if (asked == AuthoringEncoding::Codepage936 && read.starts_with(Utf8Bom) &&
        isUtf8(read.substr(Utf8Bom.size()))) {
        return {AuthoringEncoding::Utf8};
    }
    return {asked};
}

// The lines.

// Where and why decoding stopped before the end of the file, before it is put into words.
struct Stop {
    enum class Why { Undecodable, SurrogateInUtf8, LineTooLong, PastLastPair } why;
    std::size_t line;            // 1-based
    std::size_t column = 0;      // the characters before bytes
    std::string_view bytes = {}; // those that do not decode
    std::size_t lineBytes = 0;   // the length of a line too long
};

struct Decoded {
    std::vector<std::u16string> lines;
    std::optional<Stop> stop;
};

// The lines of a file in a byte encoding, each decoded strictly, up to the first stop.
Decoded decodeBytes(const ByteLines& split, AuthoringEncoding encoding, AuthoringFormat format) {
    const bool utf8 = encoding == AuthoringEncoding::Utf8;
    StrictDecoder decoder(encoding);
    Decoded decoded;
    for (std::size_t index = 0; index < split.lines.size(); ++index) {
        std::string_view line = split.lines[index];
        if (index == 0 && utf8 && line.starts_with(Utf8Bom)) {
            line.remove_prefix(Utf8Bom.size()); // no mark is part of the first line
        }
        if (line.size() > maxLineBytes(format)) {
            decoded.stop = Stop{Stop::Why::LineTooLong, index + 1, 0, {}, line.size()};
            return decoded;
        }
        std::u16string text;
        const std::optional<StrictDecoder::Invalid> invalid = decoder.decode(line, text);
        if (!invalid) {
            decoded.lines.push_back(std::move(text));
            continue;
        }
        std::size_t shown = invalid->length;
        const bool surrogate = utf8 && isSurrogateAt(line, invalid->at);
        if (surrogate) {
            shown = 3;
        } else if (!utf8 && shown == 1 && static_cast<unsigned char>(line[invalid->at]) >= 0x81) {
            shown = 2; // a lead byte, shown with the byte that cannot follow it
        }
        decoded.stop = Stop{surrogate ? Stop::Why::SurrogateInUtf8 : Stop::Why::Undecodable,
                            index + 1, codePoints(text), line.substr(invalid->at, shown)};
        return decoded;
    }
    if (split.more) {
        decoded.stop = Stop{Stop::Why::PastLastPair, LinesRead + 1};
    }
    return decoded;
}

// The lines of UTF-16 bytes, without their mark, each checked for surrogates that pair.
Decoded decodeUtf16(std::string_view bytes, bool bigEndian, AuthoringFormat format) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        units[i] = static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    Decoded decoded;
    const std::vector<std::u16string_view> lines =
        linesOf(std::u16string_view(units), LinesRead + 1);
    for (std::size_t index = 0; index < lines.size() && index < LinesRead; ++index) {
        const std::u16string_view line = lines[index];
        if (2 * line.size() > maxLineBytes(format)) {
            decoded.stop = Stop{Stop::Why::LineTooLong, index + 1, 0, {}, 2 * line.size()};
            return decoded;
        }
        for (std::size_t i = 0; i < line.size(); ++i) {
            const bool paired =
                U16_IS_LEAD(line[i]) && i + 1 < line.size() && U16_IS_TRAIL(line[i + 1]);
            if (paired) {
                ++i;
            } else if (U16_IS_SURROGATE(line[i])) {
                const std::size_t at = 2 * static_cast<std::size_t>(&line[i] - units.data());
                decoded.stop = Stop{Stop::Why::Undecodable, index + 1,
                                    codePoints(line.substr(0, i)), bytes.substr(at, 2)};
                return decoded;
            }
        }
        decoded.lines.emplace_back(line);
    }
    if (lines.size() > LinesRead) {
        decoded.stop = Stop{Stop::Why::PastLastPair, LinesRead + 1};
    } else if (bytes.size() % 2 != 0) {
        // Half a unit at the end: on the last line, or on a line of its own after a final
        // line end.
        const bool ended = units.empty() || units.back() == u'\r' || units.back() == u'\n';
        const std::size_t line = ended ? lines.size() + 1 : lines.size();
        if (line <= LinesRead) {
            decoded.lines.resize(line - 1);
            decoded.stop = Stop{Stop::Why::Undecodable, line, ended ? 0 : codePoints(lines.back()),
                                bytes.substr(bytes.size() - 1)};
        } else {
            decoded.stop = Stop{Stop::Why::PastLastPair, LinesRead + 1};
        }
    }
    return decoded;
}

// The stop in words, with what to do.

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

RuntimeError worded(const Stop& stop, AuthoringEncoding encoding, AuthoringFormat format,
                    const std::string& name, Audience audience) {
    const auto line = static_cast<long>(stop.line);
    switch (stop.why) {
    case Stop::Why::LineTooLong:
        return textTooLong(name, line, stop.lineBytes);
    case Stop::Why::PastLastPair:
        return tooManyPairs(name, line, format, audience);
    case Stop::Why::SurrogateInUtf8:
        return undecodable(name, stop.line, stop.column, stop.bytes, cesu8Remedy(audience));
    case Stop::Why::Undecodable:
        break;
    }
    return undecodable(name, stop.line, stop.column, stop.bytes,
                       encodingRemedy(encoding, audience));
}

RuntimeError markLessUtf16Error(const std::string& name, bool littleEndian, Audience audience) {
    return RuntimeError(
        ErrorNumber::InvalidCall, name, 0,
        std::string("文件中有很多 NUL 字节，看来是没有字节序标记的 ") +
            encodingName(littleEndian ? AuthoringEncoding::Utf16Le : AuthoringEncoding::Utf16Be) +
            " 文本。\n" + markLessUtf16Remedy(littleEndian, audience));
}

// The pass over a file in format: the encoding, the lines, the stop in words.
AuthoringText readAs(std::string_view bytes, AuthoringEncoding asked, AuthoringFormat format,
                     const std::string& name, Audience audience) {
    Reading reading{asked};
    Decoded decoded;
    const bool bigEndianMark = bytes.starts_with(Utf16BeBom);
    if (bigEndianMark || bytes.starts_with(Utf16LeBom)) {
        reading.encoding = bigEndianMark ? AuthoringEncoding::Utf16Be : AuthoringEncoding::Utf16Le;
        decoded = decodeUtf16(bytes.substr(Utf16LeBom.size()), bigEndianMark, format);
    } else if (asked == AuthoringEncoding::Utf16Le || asked == AuthoringEncoding::Utf16Be) {
        decoded = decodeUtf16(bytes, asked == AuthoringEncoding::Utf16Be, format);
    } else {
        const ByteLines split = byteLines(bytes);
        if (const std::optional<bool> littleEndian = markLessUtf16(split.bytes)) {
            throw markLessUtf16Error(name, *littleEndian, audience);
        }
        reading = byteReading(split, asked, format);
        decoded = decodeBytes(split, reading.encoding, format);
    }
    AuthoringText text{std::move(decoded.lines), reading.encoding, format, std::nullopt};
    if (decoded.stop) {
        text.stop = worded(*decoded.stop, reading.encoding, format, name, audience);
    }
    text.closeCall = reading.closeCall;
    return text;
}

} // namespace

std::string inputName(const std::string& path) {
    return path == StandardInput ? "标准输入" : path;
}

RuntimeError tooManyPairs(const std::string& name, long line, AuthoringFormat format,
                          Audience audience) {
    return RuntimeError(ErrorNumber::SubscriptOutOfRange, name, line,
                        "库文件最多容纳 " + std::to_string(SlotTable::SlotCount) + " 对句子。" +
                            tooManyPairsRemedy(format, audience));
}

std::vector<std::string_view> splitLines(std::string_view bytes, std::size_t maxLines) {
    return linesOf(bytes, maxLines);
}

AuthoringText decodeAuthoring(std::string_view bytes, AuthoringEncoding encoding,
                              AuthoringFormat format, const std::string& name, Audience audience) {
    if (format == AuthoringFormat::Detect) {
        // A tab is the byte 09 in every encoding read, UTF-16 too.
        if (bytes.find('\t') != std::string_view::npos) {
            AuthoringText tsv = readAs(bytes, encoding, AuthoringFormat::Tsv, name, audience);
            if (holdsTabSeparatedPairs(tsv.lines)) {
                return tsv;
            }
        }
        format = AuthoringFormat::Lines;
    }
    return readAs(bytes, encoding, format, name, audience);
}

AuthoringText readAuthoringLines(const std::string& path, AuthoringEncoding encoding,
                                 AuthoringFormat format, Audience audience) {
    mode_t shared = 077;
    const std::string bytes = readAuthoringBytes(path, shared);
    AuthoringText text = decodeAuthoring(bytes, encoding, format, inputName(path), audience);
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
