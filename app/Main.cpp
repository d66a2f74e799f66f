// SPDX-License-Identifier: MIT
// qurimo: the window.

#include "Form1.h"
#include "LibraryLocation.h"
#include "RuntimeError.h"
#include "UserFolders.h"
#include "Utf8.h"

#include <QApplication>
#include <QFile>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr int ExitUsage = 2;

std::string help() {
    const std::string name(qurimo::LibraryFileName);
    return std::string("用法: qurimo [Qt 选项] [词库文件]\n"
                       "英文例句及其中文译文的桌面参考工具。\n"
                       "  词库文件    本次运行读取的库文件，例如 \"写文件\" 写出的 ") +
           qurimo::Form1::CompiledFileName +
           "；它不存在时\n"
           "              窗口报告错误并空着打开，不会新建它。\n"
           "  --version   显示版本。\n"
           "  -h, --help  显示本说明。\n"
           "Qt 自身的选项(如 -platform、-style)照常有效。\n"
           "不给出词库文件时，窗口读取按用户设置的词库 " +
           qurimo::perUserLibraryIn("$XDG_DATA_HOME") + "\n(XDG_DATA_HOME 未设置或为空时是 " +
           qurimo::perUserLibraryIn("~/.local/share") +
           ")，它由\nqurimo-lib use 设定；没有它时读取程序所在文件夹中的 " + name +
           "，不存在时新建为空文件。\n";
}

void printHelp(const std::optional<std::string>& argument) {
    const QString programFolder = QCoreApplication::applicationDirPath();
    const qurimo::LibraryLocation library =
        qurimo::locateLibrary(argument, QFile::encodeName(programFolder).toStdString());
    std::string folder;
    try {
        folder = qurimo::downloadFolder();
    } catch (const qurimo::RuntimeError& error) {
        folder = error.what();
    }
    using qurimo::Form1;
    std::printf("%s\"写文件\" 在桌面的下载文件夹中读取 %s，写入 %s；现在是:\n  %s\n"
                "窗口现在读取的词库:\n  %s\n  (%s)\n",
                help().c_str(), Form1::AuthoringFileName, Form1::CompiledFileName,
                qurimo::escapeControlsUtf8(folder).c_str(),
                qurimo::escapeControlsUtf8(library.path).c_str(),
                qurimo::describeSource(library.source).c_str());
}

// Answered before the window exists, so that they need no display. Qt's own options are not
// known before Qt starts: the help takes a lone other argument for the library.
bool answeredInformation(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version") {
            std::puts("qurimo " QURIMO_VERSION);
            return true;
        }
        if (arg == "--help" || arg == "-h") {
            const QCoreApplication core(argc, argv);
            const char* other = argc == 3 ? argv[i == 1 ? 2 : 1] : nullptr;
            printHelp(other != nullptr && other[0] != '-' ? std::optional<std::string>(other)
                                                          : std::nullopt);
            return true;
        }
    }
    return false;
}

int usageError(const QString& message) {
    std::fprintf(stderr, "qurimo: %s\n用 qurimo --help 查看用法。\n",
                 qurimo::escapeControlsUtf8(message.toStdString()).c_str());
    return ExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    // A file-size limit then fails the write of "写文件", which leaves the old file whole and is
    // reported, instead of killing the window midway.
    std::signal(SIGXFSZ, SIG_IGN);
    if (answeredInformation(argc, argv)) {
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Qurimo"));
    QApplication::setApplicationVersion(QStringLiteral(QURIMO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("io.qurimo.Qurimo"));

    // What Qt has left of the command line, its own options taken out.
    std::optional<QString> library;
    bool optionsEnded = false;
    const QStringList arguments = QApplication::arguments().mid(1);
    for (const QString& arg : arguments) {
        if (!optionsEnded && arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-")) {
            return usageError(QStringLiteral("未知选项 %1").arg(arg));
        } else if (library) {
            return usageError(QStringLiteral("只能给出一个词库文件"));
        } else {
            library = arg;
        }
    }

    qurimo::Form1 form({}, library);
    form.show();
    return QApplication::exec();
}
