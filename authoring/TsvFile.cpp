// SPDX-License-Identifier: MIT
#include "TsvFile.h"

#include "LibraryDump.h"
#include "RuntimeError.h"
#include "Utf8.h"

#include <algorithm>
#include <optional>
#include <set>

namespace qurimo {

namespace {

const char* const PlainTextExport =
    "请在 Anki 中重新导出：导出格式选“纯文本格式的笔记”(Notes in Plain Text)，"
    "不要勾选“包含 HTML 和媒体文件引用”(Include HTML and media references)。";

std::string lowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return text;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

struct Field {
    std::u16string text;
    std::size_t start; // UTF-16 offset of the text in its line
};

// Splits at every TAB; with quoting, a field that starts with a quote runs to the closing
// quote and "" inside it stands for one quote, as Anki writes and reads its files.
std::vector<Field> splitFields(const std::u16string& line, bool quoting, const std::string& path,
                               long lineNo) {
    std::vector<Field> fields;
    std::size_t i = 0;
    while (true) {
        Field field{{}, i};
        if (quoting && i < line.size() && line[i] == u'"') {
            field.start = ++i;
            while (true) {
                if (i == line.size()) {
                    throw RuntimeError(ErrorNumber::InvalidCall, path, lineNo,
                                       "引号没有在这一行结束：库文件的句子中不能有换行");
                }
                if (line[i] == u'"' && (i + 1 == line.size() || line[i + 1] != u'"')) {
                    ++i;
                    break;
                }
                i += line[i] == u'"' ? 2 : 1;
                field.text.push_back(line[i - 1]);
            }
        }
        const std::size_t tab = std::min(line.find(u'\t', i), line.size());
        field.text.append(line, i, tab - i);
        fields.push_back(std::move(field));
        if (tab == line.size()) {
            return fields;
        }
        i = tab + 1;
    }
}

bool isNumber(const std::u16string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

struct Layout {
    bool quoting = false;      // an Anki file
    std::vector<int> skipped;  // 0-based columns of Anki's guid, notetype, deck and tags
    std::size_t firstData = 0; // index of the first line after the header
};

// The keys of the header lines Anki writes at the top of a text export.
bool isAnkiKey(const std::string& key) {
    static const std::set<std::string> keys{
        "separator",   "html",        "tags",        "columns",
        "notetype",    "deck",        "tags column", "notetype column",
        "deck column", "guid column", "if matches"};
    return keys.count(key) != 0;
}

// The key of a header line Anki writes ("#separator:tab"), lower case; none for any other
// line, such as a pair whose English starts with #.
std::optional<std::string> ankiKey(const std::u16string& line) {
    if (!line.starts_with(u"#")) {
        return std::nullopt;
    }
    const std::string header = toUtf8(line).substr(1);
    const auto colon = header.find(':');
    const std::string key =
        colon == std::string::npos ? std::string() : lowerAscii(trimmed(header.substr(0, colon)));
    return isAnkiKey(key) ? std::optional(key) : std::nullopt;
}

Layout readAnkiHeader(const std::vector<std::u16string>& lines, const std::string& path) {
    Layout layout;
    for (; layout.firstData < lines.size(); ++layout.firstData) {
        const std::optional<std::string> key = ankiKey(lines[layout.firstData]);
        if (!key) {
            break;
        }
        layout.quoting = true;
        const long lineNo = static_cast<long>(layout.firstData) + 1;
        const std::string header = toUtf8(lines[layout.firstData]);
        const std::string value = header.substr(header.find(':') + 1);
        if (*key == "separator" && lowerAscii(trimmed(value)) != "tab" && value != "\t") {
            throw RuntimeError(ErrorNumber::InvalidCall, path, lineNo,
                               "这个文件的分隔符是“" + trimmed(value) + "”，不是制表符。" +
                                   PlainTextExport);
        }
        if (*key == "html" && lowerAscii(trimmed(value)) != "false") {
            throw RuntimeError(ErrorNumber::InvalidCall, path, lineNo,
                               "这个文件的字段是 HTML (#html:" + trimmed(value) + ")。" +
                                   PlainTextExport);
        }
        if (key->ends_with(" column")) {
            const int column = std::atoi(trimmed(value).c_str());
            if (column > 0) {
                layout.skipped.push_back(column - 1);
            }
        }
    }
    std::sort(layout.skipped.begin(), layout.skipped.end());
    layout.skipped.erase(std::unique(layout.skipped.begin(), layout.skipped.end()),
                         layout.skipped.end());
    return layout;
}

std::string quotedIfNeeded(const std::u16string& text, bool first) {
    const bool quote = text.starts_with(u"\"") || (first && text.starts_with(u"#"));
    if (!quote) {
        return toUtf8(text);
    }
    std::u16string doubled;
    for (char16_t c : text) {
        doubled += c == u'"' ? u"\"\"" : std::u16string(1, c);
    }
    return "\"" + toUtf8(doubled) + "\"";
}

std::optional<std::string> breakIn(const std::u16string& text) {
    for (char16_t c : text) {
        if (c == u'\t') {
            return "制表符";
        }
        if (c == u'\r' || c == u'\n') {
            return "换行符";
        }
    }
    return std::nullopt;
}

} // namespace

bool holdsTabSeparatedPairs(const std::vector<std::u16string>& lines) {
    const auto data = std::find_if(lines.begin(), lines.end(), [](const std::u16string& line) {
        return !ankiKey(line).has_value();
    });
    return data != lines.end() && std::all_of(data, lines.end(), [](const std::u16string& line) {
               return line.find(u'\t') != std::u16string::npos;
           });
}

AuthoringPairs parseTsv(const std::vector<std::u16string>& lines, const std::string& path) {
    const Layout layout = readAnkiHeader(lines, path);
    std::vector<PairText> texts;
    std::optional<bool> tatoeba;
    for (std::size_t index = layout.firstData; index < lines.size(); ++index) {
        const std::u16string& line = lines[index];
        const long lineNo = static_cast<long>(index) + 1;
        std::vector<Field> columns = splitFields(line, layout.quoting, path, lineNo);
        for (auto skip = layout.skipped.rbegin(); skip != layout.skipped.rend(); ++skip) {
            if (static_cast<std::size_t>(*skip) < columns.size()) {
                columns.erase(columns.begin() + *skip);
            }
        }
        if (!tatoeba) {
            tatoeba = !layout.quoting && columns.size() == 4 && isNumber(columns[0].text) &&
                      isNumber(columns[2].text);
        }
        const std::size_t expected = *tatoeba ? 4 : 2;
        const std::string layoutText =
            *tatoeba ? std::string("4 列 (Tatoeba 句对：编号、英文、编号、中文)")
                     : std::string("2 列：英文、制表符、中文");
        if (columns.size() != expected) {
            throw RuntimeError(ErrorNumber::InvalidCall, path, lineNo,
                               "这一行有 " + std::to_string(columns.size()) + " 列，应有 " +
                                   layoutText);
        }
        if (*tatoeba && !(isNumber(columns[0].text) && isNumber(columns[2].text))) {
            throw RuntimeError(ErrorNumber::InvalidCall, path, lineNo,
                               std::string("这一行的第 ") +
                                   (isNumber(columns[0].text) ? "3" : "1") +
                                   " 列不是编号：像第 1 行一样，每一行都应有 " + layoutText);
        }
        for (const Field* field : *tatoeba ? std::vector<const Field*>{&columns[1], &columns[3]}
                                           : std::vector<const Field*>{&columns[0], &columns[1]}) {
            texts.push_back({field->text, lineNo,
                             codePoints(std::u16string_view(line).substr(0, field->start))});
        }
    }
    AuthoringPairs pairs{std::move(texts), false};
    if (!layout.quoting) {
        pairs.swapped = putEnglishFirst(pairs.texts, PairLayout::Columns, path);
    }
    return pairs;
}

void dumpTsv(const SlotTable& decoded, const std::string& path, const DumpWriter& writer) {
    const int end = dumpedSlots(decoded);
    for (int slot = 0; slot < end; ++slot) {
        const Sentence& sentence = decoded.at(slot);
        for (const auto& [text, side] :
             {std::pair{&sentence.English, "英文"}, std::pair{&sentence.Chinese, "中文"}}) {
            if (const auto what = breakIn(*text)) {
                throw RuntimeError(ErrorNumber::InvalidCall, path, 0,
                                   "第 " + std::to_string(slot) + " 号槽的" + side + "含有" +
                                       *what + "，不能写成制表符分隔的一行");
            }
        }
    }
    writer.write("#separator:tab\n#html:false\n");
    for (int slot = 0; slot < end; ++slot) {
        const Sentence& sentence = decoded.at(slot);
        writer.write(quotedIfNeeded(writer.shown(sentence.English), true) + "\t" +
                     quotedIfNeeded(writer.shown(sentence.Chinese), false) + "\n");
    }
}

std::string dumpTsv(const SlotTable& decoded, const std::string& path) {
    std::string out;
    dumpTsv(decoded, path, {[&out](std::string_view piece) { out += piece; }});
    return out;
}

} // namespace qurimo
