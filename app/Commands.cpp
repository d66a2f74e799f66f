// SPDX-License-Identifier: MIT
// The table of qurimo-lib's commands and options: the parser reads it, and the usage text and
// the bash completion are made from it.
#include "LibraryLocation.h"
#include "SlotTable.h"
#include "ToolCommand.h"

namespace qurimo::tool {

namespace {

constexpr int ExitSearchError = 2;

const std::string Slots = std::to_string(SlotTable::SlotCount);

std::vector<std::vector<Option>> authoringOptions() {
    return {{{"--utf8", "按 UTF-8 读取。"}, {"--gbk", "按代码页 936 (GBK) 读取。"}},
            {{"--tsv", "制表符分隔：每行一对，英文、制表符、中文；也接受 Anki 的纯文本笔记\n"
                       "导出（#separator:tab、#html:false 等文件头）和 Tatoeba 的四列句对\n"
                       "导出（编号、英文、编号、中文）。"}},
            {{"--simplified", "先用 OpenCC 按词把繁体字转成简体字（“頭髮”转成“头发”，\n"
                              "“乾隆”不变），再检查和保存。"}}};
}

} // namespace

const std::vector<Command>& commands() {
    static const std::vector<Command> table{
        {"compile",
         compile,
         "把编写文件编译成库文件。编写文件是英文、中文逐行交替的文本，最多 " + Slots +
             " 对。\n"
             "输入文件为 - 时读取标准输入。编码按内容判断：带 UTF-16 字节序标记的文件\n"
             "按 UTF-16 读取；以 UTF-8 字节序标记开头、或是有效 UTF-8 而不像代码页 936\n"
             "中文的文件按 UTF-8 读取，其余按代码页 936 (GBK) 读取。两种读法不相上下时，\n"
             "在标准错误上说明按哪种读取、怎样改用另一种。每一对都是中文在前的文件按英文\n"
             "在前保存；两种顺序混在一起的文件（可能少了一行译文）不编译。\n"
             "出错时不写输出文件。",
         authoringOptions(),
         {{"输入文件", true}, {"输出文件", true}},
         false,
         "compile 需要输入文件和输出文件两个参数",
         ExitError,
         "0 成功, 1 出错, 2 用法错误。"},
        {"check",
         check,
         "像 compile 一样读取并检查编写文件，但什么也不写；输出句对数和读取所用的编码，\n"
         "或 compile 会给出的同一个错误。",
         authoringOptions(),
         {{"输入文件", true}},
         false,
         "check 需要一个输入文件参数",
         ExitError,
         "0 成功, 1 出错, 2 用法错误。"},
        {"dump",
         dump,
         "把库文件解码，按编写文件的格式写到标准输出：默认 UTF-8、LF 行尾；\n"
         "库文件不完整时写出能读出的部分，再报告第一个问题。",
         {{{"--utf8", "输出 UTF-8、LF 行尾（默认）。"},
           {"--gbk", "输出代码页 936 (GBK)、CR LF 行尾，供 Windows 的编辑器使用。"}},
          {{"--tsv", "输出制表符分隔的 UTF-8（英文、制表符、中文，每行一对，带 Anki 文件头），\n"
                     "可导入 Anki 和电子表格；含制表符或换行的句子无法这样写出，会报出槽号。"}}},
         {{"库文件", true}},
         false,
         "dump 需要一个库文件参数",
         ExitError,
         "0 成功, 1 出错或库文件不完整, 2 用法错误。"},
        {"search",
         search,
         "像窗口的 \"Go!\" 一样查找关键字（不分大小写和全角半角）：含汉字的关键字在中文\n"
         "译文中查找，其他关键字在英文句子中查找；按槽的顺序输出每个结果的英文行和中文行。\n"
         "含繁体字的关键字像 --simplified 一样转成简体字查找，也按原样查找。\n"
         "不给库文件时查找窗口读取的词库，即 qurimo-lib use 输出的那个。",
         {{{"--chinese", "不含汉字的关键字（例如数字）也在中文译文中查找。"}}},
         {{"关键字", false}, {"库文件", true}},
         true,
         "search 需要一个关键字，库文件可以不给",
         ExitSearchError,
         "0 找到, 1 没有找到, 2 出错或用法错误。"},
        {"verify",
         verify,
         "检查库文件是否完整：被文件尾截断的记录（槽号和偏移）、不能解码为代码页 936\n"
         "字符的文本、解码后含控制字符的文本；第 " +
             Slots + " 条记录之后的字节只作提示。",
         {},
         {{"库文件", true}},
         false,
         "verify 需要一个库文件参数",
         ExitError,
         "0 库文件完整, 1 有问题或无法读取, 2 用法错误。"},
        {"use",
         use,
         "设定窗口读取的词库：像 verify 一样检查库文件，完好时把它原样复制为按用户设置的\n"
         "词库 " +
             perUserLibraryIn("$XDG_DATA_HOME") + "（默认 " + perUserLibraryIn("~/.local/share") +
             "）并\n"
             "输出其路径；有问题时报出第一个问题（是编写文件时还给出编译它的命令），什么也\n"
             "不写。不带参数时输出窗口现在读取的词库。",
         {{{"--bundled", "删除按用户设置的词库，窗口改回读取程序自带的词库。", true}}},
         {{"库文件", true}},
         true,
         "use 最多带一个库文件参数",
         ExitError,
         "0 成功, 1 库文件有问题或出错, 2 用法错误。"},
    };
    return table;
}

} // namespace qurimo::tool
