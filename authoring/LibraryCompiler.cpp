// SPDX-License-Identifier: MIT
#include "LibraryCompiler.h"

#include "AuthoringFile.h"
#include "Codepage936.h"
#include "EncodingDetection.h"
#include "LibraryFile.h"
#include "Module1.h"
#include "PosixFile.h"
#include "RuntimeError.h"
#include "TsvFile.h"

#include <cstdio>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

namespace qurimo {

namespace {

std::string describeCharacter(char32_t c) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    std::string text = code;
    if (c == U'\t') {
        text += " (制表符)";
    } else if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
        text += " (控制字符)";
    } else {
        const char16_t units[2] = {U16_LEAD(c), U16_TRAIL(c)};
        const std::u16string one =
            c < 0x10000 ? std::u16string(1, static_cast<char16_t>(c)) : std::u16string(units, 2);
        char utf8[8] = {};
        int32_t length = 0;
        UErrorCode error = U_ZERO_ERROR;
        u_strToUTF8(utf8, sizeof utf8, &length, reinterpret_cast<const UChar*>(one.data()),
                    static_cast<int32_t>(one.size()), &error);
        text += U_SUCCESS(error) ? " “" + std::string(utf8, static_cast<std::size_t>(length)) + "”"
                                 : std::string();
    }
    return text;
}

std::string otherEncodingHint(AuthoringEncoding read) {
    if (read == AuthoringEncoding::Utf8) {
        return "文件按 UTF-8 读取。如果它是代码页 936 (GBK) 文本，请用 qurimo-lib compile --gbk，"
               "或用 iconv -f GBK -t UTF-8 把它转成 UTF-8。";
    }
    return "文件按代码页 936 (GBK) 读取。如果它是 UTF-8 文本，请用 qurimo-lib compile --utf8，"
           "或在文件开头加上 UTF-8 字节序标记。";
}

// The scramble works one character at a time, so a text that does not survive it has a first
// character that does not survive alone; the error names it, with its column and the encoding
// the file was read in.
std::u16string encodeChecked(const AuthoringField& field, const std::string& path,
                             AuthoringEncoding read) {
    const std::u16string& text = field.text;
    const std::size_t bytes = Codepage936::instance().fromUnicode(text).size();
    if (bytes > 0xFFFF) {
        throw RuntimeError(ErrorNumber::Overflow, path, field.line,
                           "这一行长 " + std::to_string(bytes) +
                               " 字节，超过库文件允许的 65535 字节");
    }
    std::u16string encoded = EncodeText(text);
    if (DecodeText(encoded) == text) {
        return encoded;
    }
    std::size_t column = field.column;
    for (std::size_t i = 0; i < text.size(); ++column) {
        const std::size_t start = i;
        UChar32 c = 0;
        U16_NEXT(text.data(), i, text.size(), c);
        const std::u16string one = text.substr(start, i - start);
        if (DecodeText(EncodeText(one)) != one) {
            throw RuntimeError(
                ErrorNumber::InvalidCall, path, field.line,
                "第 " + std::to_string(column + 1) + " 列的字符 " +
                    describeCharacter(static_cast<char32_t>(c)) + " 无法保存到库文件中。\n" +
                    (c == U'\t' ? "制表符分隔的句对文件请用 qurimo-lib compile --tsv。\n" : "") +
                    otherEncodingHint(read));
        }
    }
    return encoded;
}

std::vector<AuthoringField> fieldsOf(AuthoringText& text, AuthoringFormat format,
                                     const std::string& path) {
    if (format == AuthoringFormat::Tsv) {
        return parseTsv(text.lines, path);
    }
    std::vector<AuthoringField> fields;
    fields.reserve(text.lines.size());
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        fields.push_back({std::move(text.lines[i]), static_cast<long>(i) + 1, 0});
    }
    return fields;
}

struct Compiled {
    SlotTable table;
    AuthoringCheck check;
};

Compiled compile(const std::string& inputPath, const SlotTable& given, AuthoringEncoding encoding,
                 AuthoringFormat format) {
    AuthoringText text = readAuthoringLines(inputPath, encoding);
    const std::vector<AuthoringField> fields = fieldsOf(text, format, inputPath);

    Compiled result{given, {static_cast<int>(fields.size() / 2), text.encoding}};
    result.table.clearStrings();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const int slot = static_cast<int>(i / 2);
        if (slot >= SlotTable::SlotCount) {
            throw RuntimeError(ErrorNumber::SubscriptOutOfRange, inputPath, fields[i].line,
                               "库文件最多容纳 301 对句子");
        }
        Sentence& sentence = result.table.at(slot);
        (i % 2 == 0 ? sentence.English : sentence.Chinese) =
            encodeChecked(fields[i], inputPath, text.encoding);
    }
    if (fields.size() % 2 != 0) {
        throw RuntimeError(ErrorNumber::InputPastEndOfFile, inputPath, fields.back().line,
                           "最后一行英文句子没有对应的中文译文");
    }
    return result;
}

} // namespace

SlotTable CompileLibrary(const std::string& inputPath, const std::string& outputPath,
                         const SlotTable& given, AuthoringEncoding encoding,
                         AuthoringFormat format) {
    if (isSameFile(inputPath, outputPath)) {
        throw RuntimeError(ErrorNumber::PathFileAccessError, outputPath, 0,
                           "输出文件就是输入文件 " + inputPath + "，写入会毁掉它");
    }
    Compiled result = compile(inputPath, given, encoding, format);
    WriteLibraryFile(outputPath, result.table);
    return std::move(result.table);
}

AuthoringCheck CheckAuthoringFile(const std::string& inputPath, AuthoringEncoding encoding,
                                  AuthoringFormat format) {
    return compile(inputPath, SlotTable{}, encoding, format).check;
}

} // namespace qurimo
