// SPDX-License-Identifier: MIT
// qurimo-lib: compiles authoring files into library files and dumps library files back.

#include "LibraryCompiler.h"
#include "LibraryDump.h"
#include "RuntimeError.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitError = 1;
constexpr int ExitUsage = 2;

constexpr const char* Usage =
    "用法:\n"
    "  qurimo-lib compile [--utf8] 输入文件 输出文件\n"
    "      把编写文件(英文、中文逐行交替,最多 301 对)编译成库文件。\n"
    "      输入默认为代码页 936 (GBK);--utf8 按 UTF-8 读取。以 UTF-8 字节序标记\n"
    "      开头的文件总按 UTF-8 读取。出错时不写输出文件。\n"
    "  qurimo-lib dump [--utf8] 库文件\n"
    "      把库文件解码,按编写文件的格式写到标准输出:默认代码页 936、CR LF\n"
    "      行尾;--utf8 输出 UTF-8、LF 行尾。\n"
    "  qurimo-lib --help\n"
    "      显示本说明。\n"
    "  qurimo-lib --version\n"
    "      显示版本。\n"
    "\n"
    "退出码: 0 成功, 1 出错, 2 用法错误。\n";

int usageError(const std::string& message) {
    std::fprintf(stderr, "qurimo-lib: %s\n\n%s", message.c_str(), Usage);
    return ExitUsage;
}

int compile(const std::vector<std::string>& files, qurimo::AuthoringEncoding encoding) {
    if (files.size() != 2) {
        return usageError("compile 需要输入文件和输出文件两个参数");
    }
    qurimo::CompileLibrary(files[0], files[1], qurimo::SlotTable{}, encoding);
    return ExitOk;
}

int dump(const std::vector<std::string>& files, qurimo::AuthoringEncoding encoding) {
    if (files.size() != 1) {
        return usageError("dump 需要一个库文件参数");
    }
    const std::string text = qurimo::DumpLibrary(qurimo::ReadDecodedLibrary(files[0]), encoding);
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        std::fprintf(stderr, "qurimo-lib: 无法写入标准输出\n");
        return ExitError;
    }
    return ExitOk;
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
    const std::string_view command = args[0];
    auto encoding = qurimo::AuthoringEncoding::Codepage936;
    std::vector<std::string> files;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--utf8") {
            encoding = qurimo::AuthoringEncoding::Utf8;
        } else if (args[i].starts_with("-") && args[i] != "-") {
            return usageError("未知选项 " + std::string(args[i]));
        } else {
            files.emplace_back(args[i]);
        }
    }
    try {
        if (command == "compile") {
            return compile(files, encoding);
        }
        if (command == "dump") {
            return dump(files, encoding);
        }
        return usageError("未知命令 " + std::string(command));
    } catch (const qurimo::RuntimeError& error) {
        std::fprintf(stderr, "qurimo-lib: %s\n", error.report().c_str());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "qurimo-lib: 内存不足\n");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qurimo-lib: 内部错误：%s\n", error.what());
    }
    return ExitError;
}
