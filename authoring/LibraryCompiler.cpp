// SPDX-License-Identifier: MIT
#include "LibraryCompiler.h"

#include "AuthoringFile.h"
#include "Codepage936.h"
#include "LibraryFile.h"
#include "Module1.h"
#include "PosixFile.h"
#include "RuntimeError.h"

#include <cstdio>

namespace qurimo {

namespace {

std::string describeCharacter(char16_t c) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    std::string text = code;
    if (c >= 0x21 && c < 0x7F) {
        text += " '" + std::string(1, static_cast<char>(c)) + "'";
    } else if (c == u'\t') {
        text += " (制表符)";
    } else if (c < 0x20 || c == 0x7F) {
        text += " (控制字符)";
    }
    return text;
}

// The scramble works one character at a time, so a line that does not survive it has a first
// character that does not survive alone; the error names it.
std::u16string encodeChecked(const std::u16string& line, const std::string& path, long lineNo) {
    const std::size_t bytes = Codepage936::instance().fromUnicode(line).size();
    if (bytes > 0xFFFF) {
        throw RuntimeError(ErrorNumber::Overflow, path, lineNo,
                           "这一行长 " + std::to_string(bytes) +
                               " 字节，超过库文件允许的 65535 字节");
    }
    std::u16string encoded = EncodeText(line);
    if (DecodeText(encoded) == line) {
        return encoded;
    }
    for (std::size_t i = 0; i < line.size(); ++i) {
        const std::u16string one(1, line[i]);
        if (DecodeText(EncodeText(one)) != one) {
            throw RuntimeError(ErrorNumber::InvalidCall, path, lineNo,
                               "第 " + std::to_string(i + 1) + " 个字符 " +
                                   describeCharacter(line[i]) + " 无法保存到库文件中");
        }
    }
    return encoded;
}

} // namespace

SlotTable CompileLibrary(const std::string& inputPath, const std::string& outputPath,
                         const SlotTable& given, AuthoringEncoding encoding) {
    if (isSameFile(inputPath, outputPath)) {
        throw RuntimeError(ErrorNumber::PathFileAccessError, outputPath, 0,
                           "输出文件就是输入文件 " + inputPath + "，写入会毁掉它");
    }
    const std::vector<std::u16string> lines = readAuthoringLines(inputPath, encoding);

    SlotTable result = given;
    result.clearStrings();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const long lineNo = static_cast<long>(i) + 1;
        const int slot = static_cast<int>(i / 2);
        if (slot >= SlotTable::SlotCount) {
            throw RuntimeError(ErrorNumber::SubscriptOutOfRange, inputPath, lineNo,
                               "库文件最多容纳 301 对句子");
        }
        Sentence& sentence = result.at(slot);
        (i % 2 == 0 ? sentence.English : sentence.Chinese) =
            encodeChecked(lines[i], inputPath, lineNo);
    }
    if (lines.size() % 2 != 0) {
        throw RuntimeError(ErrorNumber::InputPastEndOfFile, inputPath,
                           static_cast<long>(lines.size()), "最后一行英文句子没有对应的中文译文");
    }

    WriteLibraryFile(outputPath, result);
    return result;
}

} // namespace qurimo
