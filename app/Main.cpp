// SPDX-License-Identifier: MIT
// qurimo: the window.

#include "Form1.h"

#include <QApplication>
#include <QDir>
#include <csignal>
#include <cstdio>
#include <string_view>

namespace {

constexpr const char* Help = "用法: qurimo [Qt 选项]\n"
                             "英文例句及其中文译文的桌面参考工具。\n"
                             "  --version   显示版本。\n"
                             "  -h, --help  显示本说明。\n"
                             "Qt 自身的选项(如 -platform、-style)照常有效。\n"
                             "\"写文件\" 读取 $HOME/下载/范句.txt,写入 $HOME/下载/111.dat。\n"
                             "词库: 程序所在文件夹中的 vorel.dat,即 ";

// Answered before the window exists, so that they need no display.
bool answeredInformation(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version") {
            std::puts("qurimo " QURIMO_VERSION);
            return true;
        }
        if (arg == "--help" || arg == "-h") {
            const QCoreApplication core(argc, argv);
            const QString library =
                QDir(QCoreApplication::applicationDirPath()).filePath("vorel.dat");
            std::printf("%s%s\n", Help,
                        QDir::toNativeSeparators(library).toLocal8Bit().constData());
            return true;
        }
    }
    return false;
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

    qurimo::Form1 form;
    form.show();
    return QApplication::exec();
}
