// SPDX-License-Identifier: MIT
// qurimo-lib: compiles authoring files into library files, checks them, dumps, searches and
// verifies library files, and sets the library the window reads.

#include "AuthoringFile.h"
#include "ControlCharacters.h"
#include "EncodingDetection.h"
#include "FileError.h"
#include "FileReplace.h"
#include "LibraryCompiler.h"
#include "LibraryDump.h"
#include "LibraryFile.h"
#include "LibraryLocation.h"
#include "LibraryRecords.h"
#include "LibrarySearch.h"
#include "LibraryVerify.h"
#include "PosixFile.h"
#include "RuntimeError.h"
#include "SimplifiedChinese.h"
#include "TsvFile.h"
#include "Utf8.h"
#include "WrongLibrary.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <map>
#include <new>
#include <set>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitError = 1;
constexpr int ExitUsage = 2;
constexpr int ExitSearchNoHit = 1;
constexpr int ExitSearchError = 2;

constexpr const char* Usage =
    "用法:\n"
    "  qurimo-lib compile [--utf8|--gbk] [--tsv] [--simplified] 输入文件 输出文件\n"
    "      把编写文件编译成库文件。编写文件是英文、中文逐行交替的文本，最多 301 对。\n"
    "      输入文件为 - 时读取标准输入。编码按内容判断：带 UTF-16 字节序标记的文件\n"
    "      按 UTF-16 读取；以 UTF-8 字节序标记开头、或是有效 UTF-8 而不像代码页 936\n"
    "      中文的文件按 UTF-8 读取，其余按代码页 936 (GBK) 读取。两种读法不相上下时，\n"
    "      在标准错误上说明按哪种读取、怎样改用另一种。每一对都是中文在前的文件按英文\n"
    "      在前保存；两种顺序混在一起的文件（可能少了一行译文）不编译。\n"
    "      --utf8  按 UTF-8 读取。\n"
    "      --gbk   按代码页 936 (GBK) 读取。\n"
    "      --tsv   制表符分隔：每行一对，英文、制表符、中文；也接受 Anki 的纯文本笔记\n"
    "              导出（#separator:tab、#html:false 等文件头）和 Tatoeba 的四列句对\n"
    "              导出（编号、英文、编号、中文）。\n"
    "      --simplified  先用 OpenCC 按词把繁体字转成简体字（“頭髮”转成“头发”，\n"
    "              “乾隆”不变），再检查和保存。\n"
    "      出错时不写输出文件。\n"
    "  qurimo-lib check [--utf8|--gbk] [--tsv] [--simplified] 输入文件\n"
    "      像 compile 一样读取并检查编写文件，但什么也不写；输出句对数和读取所用的编码，\n"
    "      或 compile 会给出的同一个错误。\n"
    "  qurimo-lib dump [--utf8|--gbk] [--tsv] 库文件\n"
    "      把库文件解码，按编写文件的格式写到标准输出：默认 UTF-8、LF 行尾；\n"
    "      库文件不完整时写出能读出的部分，再报告第一个问题。\n"
    "      --utf8  输出 UTF-8、LF 行尾（默认）。\n"
    "      --gbk   输出代码页 936 (GBK)、CR LF 行尾，供 Windows 的编辑器使用。\n"
    "      --tsv   输出制表符分隔的 UTF-8（英文、制表符、中文，每行一对，带 Anki 文件头），\n"
    "              可导入 Anki 和电子表格；含制表符或换行的句子无法这样写出，会报出槽号。\n"
    "  qurimo-lib search [--chinese] 关键字 [库文件]\n"
    "      像窗口的 \"Go!\" 一样查找关键字（不分大小写和全角半角）：含汉字的关键字在中文\n"
    "      译文中查找，其他关键字在英文句子中查找；按槽的顺序输出每个结果的英文行和中文行。\n"
    "      含繁体字的关键字像 --simplified 一样转成简体字查找，也按原样查找。\n"
    "      不给库文件时查找窗口读取的词库，即 qurimo-lib use 输出的那个。\n"
    "      --chinese  不含汉字的关键字（例如数字）也在中文译文中查找。\n"
    "  qurimo-lib verify 库文件\n"
    "      检查库文件是否完整：被文件尾截断的记录（槽号和偏移）、不能解码为代码页 936\n"
    "      字符的文本、解码后含控制字符的文本；第 301 条记录之后的字节只作提示。\n"
    "  qurimo-lib use [库文件 | --bundled]\n"
    "      设定窗口读取的词库：像 verify 一样检查库文件，完好时把它原样复制为按用户设置的\n"
    "      词库 $XDG_DATA_HOME/qurimo/vorel.dat（默认 ~/.local/share/qurimo/vorel.dat）并\n"
    "      输出其路径；有问题时报出第一个问题（是编写文件时还给出编译它的命令），什么也\n"
    "      不写。不带参数时输出窗口现在读取的词库。\n"
    "      --bundled  删除按用户设置的词库，窗口改回读取程序自带的词库。\n"
    "  qurimo-lib --help\n"
    "      显示本说明。\n"
    "  qurimo-lib --version\n"
    "      显示版本。\n"
    "  -- 结束选项：其后以 - 开头的参数（例如要查找的关键字）不再当作选项。\n"
    "\n"
    "写到终端时，句子、文件和文件名中的控制字符（包括 U+202E 这样的双向控制字符）\n"
    "写成 \\x1b、\\u202e 这样的转义；标准错误上的错误和提示总是这样写。\n"
    "\n"
    "退出码:\n"
    "  compile、check: 0 成功, 1 出错, 2 用法错误。\n"
    "  dump: 0 成功, 1 出错或库文件不完整, 2 用法错误。\n"
    "  search: 0 找到, 1 没有找到, 2 出错或用法错误。\n"
    "  verify: 0 库文件完整, 1 有问题或无法读取, 2 用法错误。\n"
    "  use: 0 成功, 1 库文件有问题或出错, 2 用法错误。\n";

bool outputIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

// What standard output gets of a text from a file or the command line: escaped on a terminal,
// as it is in a pipe, where it is data.
std::string onOutput(std::string_view text) {
    return outputIsTerminal() ? qurimo::escapeControlsUtf8(text) : std::string(text);
}

// Reports are escaped wherever standard error goes: a log is read in a terminal too.
void printReport(const std::string& line) {
    std::fprintf(stderr, "qurimo-lib: %s\n", qurimo::escapeControlsUtf8(line).c_str());
}

// One line says what is wrong, one where the usage is: the whole help would bury the first.
int usageError(const std::string& message) {
    std::fprintf(stderr, "qurimo-lib: %s\n用法见 qurimo-lib --help\n",
                 qurimo::escapeControlsUtf8(message).c_str());
    return ExitUsage;
}

// Flushes standard output and says whether it took all that was written to it, which is
// reported when it did not.
bool outputWritten(bool written) {
    if (!written || std::fflush(stdout) != 0) {
        printReport("无法写入标准输出");
        return false;
    }
    return true;
}

bool writeOut(const std::string& text) {
    return outputWritten(std::fwrite(text.data(), 1, text.size(), stdout) == text.size());
}

struct Arguments {
    std::set<std::string> options;
    std::vector<std::string> operands;
};

qurimo::AuthoringEncoding encodingOf(const Arguments& args) {
    if (args.options.count("--utf8") != 0) {
        return qurimo::AuthoringEncoding::Utf8;
    }
    return args.options.count("--gbk") != 0 ? qurimo::AuthoringEncoding::Codepage936
                                            : qurimo::AuthoringEncoding::Detect;
}

qurimo::AuthoringOptions optionsOf(const Arguments& args) {
    return {encodingOf(args),
            args.options.count("--tsv") != 0 ? qurimo::AuthoringFormat::Tsv
                                             : qurimo::AuthoringFormat::Lines,
            args.options.count("--simplified") != 0, qurimo::Audience::CommandLine};
}

void noteSwapped(const std::string& input, const qurimo::AuthoringCheck& check) {
    if (check.swappedPairs) {
        printReport(qurimo::swappedPairsNote(input));
    }
}

// "为V1" in UTF-8 reads as code page 936 "涓篤1" nearly as well: where the detection was that
// close, its reader learns which reading was taken and how to force the other.
void noteCloseCall(const std::string& input, const qurimo::AuthoringCheck& check) {
    if (!check.closeCall) {
        return;
    }
    const bool utf8 = check.encoding == qurimo::AuthoringEncoding::Utf8;
    // Chinese text spaces a Latin word off: "按 UTF-8 读取", "按代码页 936 (GBK) 读取".
    const auto named = [](qurimo::AuthoringEncoding encoding) {
        const std::string name = qurimo::encodingName(encoding);
        return static_cast<unsigned char>(name.front()) < 0x80 ? " " + name + " " : name + " ";
    };
    printReport(
        "注意: 按" + named(check.encoding) + "读取了 " + qurimo::inputName(input) + "；若是" +
        named(utf8 ? qurimo::AuthoringEncoding::Codepage936 : qurimo::AuthoringEncoding::Utf8) +
        "文件，请加 " + (utf8 ? "--gbk" : "--utf8"));
}

int compile(const Arguments& args) {
    const qurimo::AuthoringCheck result =
        qurimo::CompileLibrary(args.operands[0], args.operands[1], qurimo::SlotTable{},
                               optionsOf(args))
            .check;
    noteCloseCall(args.operands[0], result);
    noteSwapped(args.operands[0], result);
    return ExitOk;
}

int check(const Arguments& args) {
    const qurimo::AuthoringCheck result =
        qurimo::checkAuthoringFile(args.operands[0], optionsOf(args));
    noteCloseCall(args.operands[0], result);
    noteSwapped(args.operands[0], result);
    return writeOut(onOutput(qurimo::inputName(args.operands[0])) + ": " +
                    std::to_string(result.pairs) + " 对句子，按 " +
                    qurimo::encodingName(result.encoding) + " 读取\n")
               ? ExitOk
               : ExitError;
}

// Writes what it can of a library that is not whole, then names its first problem, as gzip
// -d does with a cut file.
int dump(const Arguments& args) {
    const bool tsv = args.options.count("--tsv") != 0;
    if (tsv && args.options.count("--gbk") != 0) {
        return usageError("dump --tsv 总是输出 UTF-8，不能和 --gbk 一起用");
    }
    const std::string& path = args.operands[0];
    const qurimo::LibraryReport report = qurimo::VerifyLibraryFile(path);
    // Written a text at a time and escaped as written: a library's control characters take
    // four times their room escaped, and a full library's dump would take hundreds of MB. A
    // terminal takes control characters for commands: it is shown them as visible escapes.
    bool written = true;
    qurimo::DumpWriter writer{[&written](std::string_view piece) {
        written = written && std::fwrite(piece.data(), 1, piece.size(), stdout) == piece.size();
    }};
    if (outputIsTerminal()) {
        // TAB and line ends stay for dumpTsv to refuse, as it does in a pipe.
        writer.shown = [tsv](std::u16string_view text) {
            return qurimo::escapeControls(text, tsv ? u"\t\r\n" : u"");
        };
    }
    if (tsv) {
        qurimo::dumpTsv(report.decoded, path, writer);
    } else {
        // UTF-8 as a Linux terminal and editor read it; code page 936 for Windows editors.
        qurimo::DumpLibrary(report.decoded,
                            args.options.count("--gbk") != 0
                                ? qurimo::AuthoringEncoding::Codepage936
                                : qurimo::AuthoringEncoding::Utf8,
                            writer);
    }
    if (!outputWritten(written)) {
        return ExitError;
    }
    for (const std::string& note : report.notes) {
        printReport("注意: " + path + ": " + note);
    }
    if (report.problems.empty()) {
        return ExitOk;
    }
    printReport(path + ": 库文件不完整：" + report.problems.front());
    if (report.problems.size() > 1) {
        printReport("还有 " + std::to_string(report.problems.size() - 1) +
                    " 个问题，qurimo-lib verify 会列出它们");
    }
    return ExitError;
}

// The library the window reads, refused as the window refuses it.
std::string windowLibrary() {
    const qurimo::LibraryLocation location =
        qurimo::locateLibrary(std::nullopt, qurimo::windowFolder());
    if (location.source == qurimo::LibrarySource::PerUser) {
        qurimo::requireOwnFolder(location.path.substr(0, location.path.rfind('/')));
    }
    return location.path;
}

int search(const Arguments& args) {
    const qurimo::SlotTable table =
        qurimo::readDecodedLibrary(args.operands.size() > 1 ? args.operands[1] : windowLibrary());
    const std::u16string keyword = qurimo::fromUtf8(args.operands[0]);
    const std::vector<int> hits =
        qurimo::FindSentences(table, qurimo::searchForms(keyword),
                              args.options.count("--chinese") != 0 ? qurimo::SearchSide::Chinese
                                                                   : qurimo::SideOf(keyword));
    bool listed = false;
    const bool terminal = outputIsTerminal();
    const auto shown = [terminal](const std::u16string& text) {
        return qurimo::toUtf8(terminal ? qurimo::escapeControls(text) : text);
    };
    bool written = true;
    for (int slot : hits) {
        if (!qurimo::isFilled(table.at(slot))) {
            continue; // listed nowhere in the window either
        }
        listed = true;
        // The keyword was looked for in the texts themselves, not in their escapes; each hit
        // is written as it is found, so that escapes never fill memory.
        const std::string hit =
            shown(table.at(slot).English) + "\n" + shown(table.at(slot).Chinese) + "\n";
        written = written && std::fwrite(hit.data(), 1, hit.size(), stdout) == hit.size();
    }
    if (!outputWritten(written)) {
        return ExitSearchError;
    }
    return listed ? ExitOk : ExitSearchNoHit;
}

int verify(const Arguments& args) {
    constexpr std::size_t Shown = 10;
    const qurimo::LibraryReport report = qurimo::VerifyLibraryFile(args.operands[0]);
    const std::string name = onOutput(args.operands[0]);
    std::string text;
    if (report.problems.empty() && report.records == 0) {
        text = name + ": 空的库文件 (0 字节)，窗口把它读作没有句子的库\n";
    } else if (report.problems.empty()) {
        text = name + ": 库文件完整，301 条记录中 " + std::to_string(report.filledSlots) +
               " 条有句子\n";
    } else {
        text = name + ": 库文件不完整\n";
        for (std::size_t i = 0; i < report.problems.size() && i < Shown; ++i) {
            text += "  " + report.problems[i] + "\n";
        }
        if (report.problems.size() > Shown) {
            text += "  还有 " + std::to_string(report.problems.size() - Shown) + " 个问题未列出\n";
        }
    }
    for (const std::string& note : report.notes) {
        text += "  注意: " + note + "\n";
    }
    if (!writeOut(text)) {
        return ExitError;
    }
    return report.problems.empty() ? ExitOk : ExitError;
}

// Makes folder and every missing folder above it, each private to the user.
void makePrivateFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            qurimo::throwFileError(errno, part);
        }
        if (slash == std::string::npos) {
            return;
        }
    }
}

// Reads LIBRARY whole, so that what is checked is what is copied.
std::string readLibraryBytes(const std::string& path) {
    qurimo::FileDescriptor file = qurimo::openRegularFile(path, O_RDONLY);
    std::string bytes = qurimo::readUpTo(file.get(), qurimo::MaxLibraryBytes + 1, path);
    if (bytes.size() > qurimo::MaxLibraryBytes) {
        throw qurimo::RuntimeError(qurimo::ErrorNumber::PathFileAccessError, path, 0,
                                   "文件比任何库文件都长（库文件最长为 " +
                                       std::to_string(qurimo::MaxLibraryBytes) + " 字节）");
    }
    return bytes;
}

int use(const Arguments& args) {
    const std::string perUser = qurimo::perUserLibraryPath();
    const std::string bundled = qurimo::windowFolder() + "/vorel.dat";
    if (args.options.count("--bundled") != 0) {
        if (!args.operands.empty()) {
            return usageError("use --bundled 不带库文件参数");
        }
        if (::unlink(perUser.c_str()) == 0) {
            return writeOut("已删除按用户设置的词库 " + onOutput(perUser) + "，窗口改回读取 " +
                            onOutput(bundled) + "\n")
                       ? ExitOk
                       : ExitError;
        }
        if (errno != ENOENT && errno != ENOTDIR) {
            qurimo::throwFileError(errno, perUser);
        }
        return writeOut("没有按用户设置的词库 " + onOutput(perUser) + "，窗口读取 " +
                        onOutput(bundled) + "\n")
                   ? ExitOk
                   : ExitError;
    }
    if (args.operands.empty()) {
        const qurimo::LibraryLocation location =
            qurimo::locateLibrary(std::nullopt, qurimo::windowFolder());
        return writeOut(onOutput(location.path) + ": " + qurimo::describeSource(location.source) +
                        "\n")
                   ? ExitOk
                   : ExitError;
    }
    const std::string& source = args.operands[0];
    const std::string bytes = readLibraryBytes(source);
    const qurimo::LibraryReport report = qurimo::VerifyLibrary(bytes);
    if (!report.problems.empty()) {
        for (const std::string& line : qurimo::wrongLibraryReport(source, report)) {
            printReport(line);
        }
        return ExitError;
    }
    const std::string folder = perUser.substr(0, perUser.rfind('/'));
    makePrivateFolders(folder);
    qurimo::requireOwnFolder(folder);
    qurimo::ReplaceFile(perUser, bytes, qurimo::OldTail::Drop);
    return writeOut(onOutput(perUser) + "\n") ? ExitOk : ExitError;
}

struct Command {
    int (*run)(const Arguments&);
    std::set<std::string> options;
    std::size_t operands;
    const char* operandError;
    int errorStatus;
    bool operandOptional = false; // the last operand may be left out
};

const std::map<std::string_view, Command>& commands() {
    static const std::map<std::string_view, Command> table{
        {"compile",
         {compile,
          {"--utf8", "--gbk", "--tsv", "--simplified"},
          2,
          "compile 需要输入文件和输出文件两个参数",
          ExitError}},
        {"check",
         {check,
          {"--utf8", "--gbk", "--tsv", "--simplified"},
          1,
          "check 需要一个输入文件参数",
          ExitError}},
        {"dump", {dump, {"--utf8", "--gbk", "--tsv"}, 1, "dump 需要一个库文件参数", ExitError}},
        {"search",
         {search,
          {"--chinese"},
          2,
          "search 需要一个关键字，库文件可以不给",
          ExitSearchError,
          true}},
        {"verify", {verify, {}, 1, "verify 需要一个库文件参数", ExitError}},
        {"use", {use, {"--bundled"}, 1, "use 最多带一个库文件参数", ExitError, true}},
    };
    return table;
}

} // namespace

int main(int argc, char** argv) {
    // A file-size limit then fails the write, which leaves the old output whole, instead of
    // killing the tool midway.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty()) {
        return usageError("缺少命令");
    }
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(Usage, stdout);
        return ExitOk;
    }
    if (args.size() == 1 && args[0] == "--version") {
        std::puts("qurimo-lib " QURIMO_VERSION);
        return ExitOk;
    }
    const auto found = commands().find(args[0]);
    if (found == commands().end()) {
        return usageError("没有 " + std::string(args[0]) + " 这个命令");
    }
    const Command& command = found->second;
    Arguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string arg(args[i]);
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.starts_with("-") && arg != "-") {
            if (command.options.count(arg) == 0) {
                return usageError(std::string(args[0]) + " 没有选项 " + arg);
            }
            parsed.options.insert(arg);
        } else {
            parsed.operands.push_back(arg);
        }
    }
    if (parsed.options.count("--utf8") != 0 && parsed.options.count("--gbk") != 0) {
        return usageError("--utf8 和 --gbk 只能选一个");
    }
    if (parsed.operands.size() != command.operands &&
        !(command.operandOptional && parsed.operands.size() + 1 == command.operands)) {
        return usageError(command.operandError);
    }
    try {
        return command.run(parsed);
    } catch (const qurimo::RuntimeError& error) {
        // The file's name is escaped whole, so that a line end in it starts no line of the
        // report; the detail keeps its own.
        std::fprintf(stderr, "qurimo-lib: %s\n",
                     qurimo::composeReport(static_cast<qurimo::ErrorNumber>(error.number()),
                                           qurimo::escapeControlsUtf8(error.path()), error.line(),
                                           qurimo::escapeControlsUtf8(error.detail(), u"\n"))
                         .c_str());
    } catch (const std::bad_alloc&) {
        printReport("内存不足");
    } catch (const std::exception& error) {
        printReport(std::string("内部错误：") + error.what());
    }
    return command.errorStatus;
}
