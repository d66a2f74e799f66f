// SPDX-License-Identifier: MIT
// startup_reference: a bare Qt Widgets window with the same content as qurimo's main window,
// at similar fixed positions: the bundled sentences (built in, read from no file), the same
// fonts and the same window icon. Its start-up time and memory show what the toolkit alone
// costs for that window, so startup.sh can compare qurimo against it.

#include "Form1Layout.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Qurimo reference"));
    QImageReader icon(QStringLiteral(":/assets/icons/qurimo-32.png"), "png");
    icon.setAutoDetectImageFormat(false);
    window.setWindowIcon(QIcon(QPixmap::fromImage(icon.read())));
    window.setFixedSize(qurimo::layout::pixels(qurimo::layout::ClientWidth),
                        qurimo::layout::pixels(qurimo::layout::ClientHeight));

    // English and Chinese lines alternate.
    QFile text(QStringLiteral(":/data/sentences.txt"));
    text.open(QIODevice::ReadOnly);
    const QStringList lines = QString::fromUtf8(text.readAll()).split(QLatin1Char('\n'));

    QFont song;
    song.setFamilies({QStringLiteral("Liberation Serif"), QStringLiteral("AR PL UMing CN")});
    song.setPointSize(12);
    QFont songBold = song;
    songBold.setBold(true);

    auto* english = new QLabel(lines.value(0), &window);
    english->setFont(songBold);
    english->setWordWrap(true);
    english->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    english->setGeometry(8, 8, 769, 81);

    auto* chinese = new QLabel(lines.value(1), &window);
    chinese->setFont(songBold);
    chinese->setWordWrap(true);
    chinese->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    chinese->setGeometry(8, 104, 769, 57);

    auto* caption = new QLabel(QStringLiteral("随便写写:"), &window);
    caption->setFont(song);
    caption->setGeometry(8, 168, 89, 17);

    auto* scratch = new QPlainTextEdit(&window);
    scratch->setFont(song);
    scratch->setGeometry(8, 192, 777, 65);

    auto* list = new QListWidget(&window);
    list->setFont(song);
    list->setUniformItemSizes(true); // as in qurimo: rows of one font are not each measured
    list->setGeometry(8, 264, 777, 244);
    for (qsizetype i = 1; i < lines.size(); i += 2) {
        list->addItem(lines[i]);
    }

    auto* keyword = new QLineEdit(QStringLiteral("请输入关键字"), &window);
    keyword->setGeometry(8, 512, 89, 25);

    const std::array<std::pair<const char*, int>, 5> buttons{
        {{"Go!", 104}, {"全  部", 160}, {"隐藏英文", 242}, {"隐藏中文", 324}, {"退  出", 488}}};
    for (const auto& [text, left] : buttons) {
        auto* b = new QPushButton(QString::fromUtf8(text), &window);
        b->setGeometry(left, 512, 73, 25);
    }

    auto* contact = new QLineEdit(QStringLiteral("欢迎到项目页反馈意见"), &window);
    contact->setFont(song);
    contact->setGeometry(592, 512, 169, 25);

    // The sixth button lies below the bottom edge, as qurimo's does.
    auto* write = new QPushButton(QStringLiteral("写文件"), &window);
    write->setGeometry(120, 600, 89, 25);

    // So does the multi-line box that holds every pair, English and Chinese.
    QString listing;
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
        listing += lines[i] + QStringLiteral("\r\n") + lines[i + 1] + QStringLiteral("\r\n\r\n");
    }
    auto* all = new QPlainTextEdit(listing, &window);
    all->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    all->setGeometry(208, 608, 153, 25);

    window.show();
    return QApplication::exec();
}
