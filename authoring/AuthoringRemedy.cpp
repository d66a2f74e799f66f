// SPDX-License-Identifier: MIT
#include "AuthoringRemedy.h"

#include "AuthoringFile.h"
#include "SlotTable.h"

namespace qurimo {

std::string encodingRemedy(AuthoringEncoding read, Audience audience) {
    const bool editor = audience == Audience::Editor;
    switch (read) {
    case AuthoringEncoding::Utf8:
        return editor ? "文件按 UTF-8 读取。如果它其实是 GBK 编码，请在编辑器中把它另存为 UTF-8；"
                        "否则请在编辑器中删去或换掉这个字符。"
                      : "文件按 UTF-8 读取。如果它是代码页 936 (GBK) 文本，请用 qurimo-lib compile "
                        "--gbk，或用 iconv -f GBK -t UTF-8 把它转成 UTF-8。";
    case AuthoringEncoding::Utf16Le:
    case AuthoringEncoding::Utf16Be:
        return "文件按 " + encodingName(read) + " 读取（文件开头是它的字节序标记）。请" +
               (editor ? "在编辑器中" : "") + "删去或换掉这里的字符。";
    case AuthoringEncoding::Detect:
    case AuthoringEncoding::Codepage936:
        break;
    }
    return editor ? "文件按代码页 936 (GBK) 读取。如果它其实是 UTF-8 编码，请在编辑器中把它另存为 "
                    "GBK，或带 BOM 的 UTF-8；否则请在编辑器中删去或换掉这个字符。"
                  : "文件按代码页 936 (GBK) 读取。如果它是 UTF-8 文本，请用 qurimo-lib compile "
                    "--utf8，或在文件开头加上 UTF-8 字节序标记。";
}

std::string tabRemedy(AuthoringFormat format, Audience audience) {
    if (format == AuthoringFormat::Tsv) {
        return std::string("这个制表符在引号中，是句子的一部分，而句子中不能有制表符：请") +
               (audience == Audience::Editor ? "在编辑器中" : "") + "删去它。";
    }
    // The window reads a file as tab-separated pairs only when every line holds a tab.
    return audience == Audience::Editor
               ? "句子中不能有制表符。制表符分隔的句对文件每一行都是“英文、制表符、中文”，"
                 "而这个文件有的行没有制表符，所以按英文、中文逐行交替读取。"
               : "制表符分隔的句对文件请用 qurimo-lib compile --tsv。";
}

std::string tooManyPairsRemedy(AuthoringFormat format, Audience audience) {
    const std::string pairs = std::to_string(SlotTable::SlotCount);
    if (audience == Audience::Editor) {
        return "请在编辑器中把它分成几个文件，每个不超过这个数。";
    }
    return format == AuthoringFormat::Tsv
               ? "请把它分成几个文件，或只保留前 " + pairs + " 行句对。"
               : "请把它分成几个文件，或用 head -n " + std::to_string(2 * SlotTable::SlotCount) +
                     " 只保留前 " + pairs + " 对。";
}

std::string controlRemedy(Audience audience) {
    return audience == Audience::Editor ? "句子中不能有控制字符，请在编辑器中删去它。"
                                        : "句子中不能有控制字符，请删去它。";
}

std::string simplifiedRemedy(const std::string& simplified, Audience audience) {
    return "它的简体字“" + simplified + "”可以保存：" +
           (audience == Audience::Editor
                ? "请在编辑器中把它换成“" + simplified + "”。"
                : std::string("请用 qurimo-lib compile --simplified 把繁体字转成简体字。"));
}

std::string cesu8Remedy(Audience audience) {
    return audience == Audience::Editor
               ? "这是 CESU-8 编码（UTF-16 的代理项逐个写成 UTF-8），不是有效的 UTF-8：请在编辑器中"
                 "把文件另存为 UTF-8。"
               : "这是 CESU-8 编码（UTF-16 的代理项逐个写成 UTF-8），不是有效的 UTF-8：请用 uconv "
                 "-f "
                 "CESU-8 -t UTF-8 把它转成 UTF-8。";
}

std::string markLessUtf16Remedy(bool littleEndian, Audience audience) {
    const std::string name = littleEndian ? "UTF-16LE" : "UTF-16BE";
    return audience == Audience::Editor
               ? "请在编辑器中把它另存为 UTF-8，或带 BOM 的 UTF-16。"
               : "请用 iconv -f " + name + " -t UTF-8 把它转成 UTF-8，或在编辑器中另存为 UTF-8。";
}

} // namespace qurimo
