// SPDX-License-Identifier: MIT
#include "LibraryCompiler.h"

#include "AuthoringFile.h"
#include "AuthoringPairs.h"
#include "AuthoringRemedy.h"
#include "Codepage936.h"
#include "ControlCharacters.h"
#include "LibraryFile.h"
#include "LibraryRecords.h"
#include "Module1.h"
#include "PosixFile.h"
#include "RuntimeError.h"
#include "SimplifiedChinese.h"
#include "Utf8.h"

#include <sys/stat.h>
#include <unicode/utf16.h>
#include <unistd.h>

namespace qurimo {

namespace {

std::string describeCharacter(char32_t c) {
    std::string text = codePointName(c);
    if (c == U'\t') {
        text += " (制表符)";
    } else if (isControlCharacter(c)) {
        text += " (控制字符)";
    } else {
        char16_t units[2];
        std::size_t length = 0;
        U16_APPEND_UNSAFE(units, length, c);
        text += " “" + toUtf8(std::u16string_view(units, length)) + "”";
    }
    return text;
}

bool survivesScramble(const std::u16string& text) {
    return DecodeText(EncodeText(text)) == text;
}

// The simplified form of text, but for a replacement that cannot be stored where what it
// replaces can (儸 would become 㑩, which code page 936 lacks): that one stays as it was, and
// the phrases around it are converted as they are in context.
std::u16string simplifiedStorable(const std::u16string& text) {
    std::u16string whole = toSimplified(text);
    if (whole == text || survivesScramble(whole)) {
        return whole; // unchanged, it is checked as any text is
    }
    return toSimplified(text, [](std::u16string_view from, std::u16string_view to) {
        return survivesScramble(std::u16string(to)) || !survivesScramble(std::u16string(from));
    });
}

RuntimeError unsavable(const PairText& pairText, const std::string& name, std::size_t column,
                       char32_t c, const std::string& remedy) {
    return RuntimeError(ErrorNumber::InvalidCall, name, pairText.line,
                        "第 " + std::to_string(column + 1) + " 列的字符 " + describeCharacter(c) +
                            " 无法保存到库文件中。\n" + remedy);
}

// What to do about a character that does not survive the scramble: write its simplified
// form, when that one does (unless the text is simplified already), or else read the file
// in the other encoding.
std::string remedyFor(const std::u16string& one, const AuthoringOptions& read) {
    if (!read.simplified) {
        const std::u16string simplified = toSimplified(one);
        if (simplified != one && survivesScramble(simplified)) {
            return simplifiedRemedy(toUtf8(simplified), read.audience);
        }
    }
    return encodingRemedy(read.encoding, read.audience);
}

// The scramble works one character at a time, so a text that does not survive it has a first
// character that does not survive alone; the error names it, with its column and what to do.
// Control characters are refused first, also those the scramble would carry. read holds the
// encoding and format the file was read in.
std::u16string encodeChecked(const PairText& pairText, const std::string& name,
                             const AuthoringOptions& read) {
    const std::u16string& text = pairText.text;
    std::size_t column = pairText.column;
    for (std::size_t i = 0; i < text.size(); ++column) {
        UChar32 c = 0;
        U16_NEXT(text.data(), i, text.size(), c);
        if (isControlCharacter(static_cast<char32_t>(c))) {
            throw unsavable(pairText, name, column, static_cast<char32_t>(c),
                            c == U'\t' ? tabRemedy(read.format, read.audience)
                                       : controlRemedy(read.audience));
        }
    }
    recordBytes(text, name, pairText.line); // refuses a text longer than a record holds
    std::u16string encoded = EncodeText(text);
    if (DecodeText(encoded) == text) {
        return encoded;
    }
    column = pairText.column;
    for (std::size_t i = 0; i < text.size(); ++column) {
        const std::size_t start = i;
        UChar32 c = 0;
        U16_NEXT(text.data(), i, text.size(), c);
        const std::u16string one = text.substr(start, i - start);
        if (!survivesScramble(one)) {
            throw unsavable(pairText, name, column, static_cast<char32_t>(c), remedyFor(one, read));
        }
    }
    return encoded;
}

// Whether the output is the input itself, which the write would destroy; for standard input,
// a file it was redirected from.
bool isTheInput(const std::string& inputPath, const std::string& outputPath) {
    if (inputPath != StandardInput) {
        return isSameFile(inputPath, outputPath);
    }
    struct stat input {};
    struct stat output {};
    return ::fstat(STDIN_FILENO, &input) == 0 && S_ISREG(input.st_mode) &&
           ::stat(outputPath.c_str(), &output) == 0 && input.st_dev == output.st_dev &&
           input.st_ino == output.st_ino;
}

// Also says what the input lets its group and others do, in shared.
CompiledLibrary compile(const std::string& inputPath, const SlotTable& given,
                        const AuthoringOptions& options, mode_t& shared) {
    const std::string name = inputName(inputPath);
    AuthoringText text =
        readAuthoringLines(inputPath, options.encoding, options.format, options.audience);
    shared = text.sharedAtMost;
    const AuthoringOptions read{text.encoding, text.format, options.simplified, options.audience};
    AuthoringPairs pairs = pairsOf(text, name);
    std::vector<PairText>& texts = pairs.texts;

    CompiledLibrary result{
        given, {static_cast<int>(texts.size() / 2), text.encoding, pairs.swapped, text.closeCall}};
    result.table.clearStrings();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const int slot = static_cast<int>(i / 2);
        if (slot >= SlotTable::SlotCount) {
            throw tooManyPairs(name, texts[i].line, read.format, read.audience);
        }
        if (options.simplified) {
            texts[i].text = simplifiedStorable(texts[i].text);
        }
        Sentence& sentence = result.table.at(slot);
        (i % 2 == 0 ? sentence.English : sentence.Chinese) = encodeChecked(texts[i], name, read);
    }
    if (text.stop) {
        throw *text.stop;
    }
    if (texts.size() % 2 != 0) {
        throw RuntimeError(ErrorNumber::InputPastEndOfFile, name, texts.back().line,
                           "最后一行英文句子没有对应的中文译文");
    }
    return result;
}

} // namespace

std::string swappedPairsNote(const std::string& inputPath) {
    return "注意: " + inputName(inputPath) + " 的每一对句子都是中文在前，已按英文在前保存";
}

CompiledLibrary CompileLibrary(const std::string& inputPath, const std::string& outputPath,
                               const SlotTable& given, const AuthoringOptions& options) {
    if (isTheInput(inputPath, outputPath)) {
        throw RuntimeError(ErrorNumber::PathFileAccessError, outputPath, 0,
                           "输出文件就是输入文件 " + inputName(inputPath) + "，写入会毁掉它");
    }
    mode_t shared = 077;
    CompiledLibrary result = compile(inputPath, given, options, shared);
    WriteLibraryFile(outputPath, result.table, shared);
    return result;
}

AuthoringCheck checkAuthoringFile(const std::string& inputPath, const AuthoringOptions& options) {
    mode_t shared = 077;
    return compile(inputPath, SlotTable{}, options, shared).check;
}

} // namespace qurimo
