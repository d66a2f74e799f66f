// SPDX-License-Identifier: MIT
// startup_reference: a bare Qt Widgets window with the same kind of content as qurimo's main
// window, at similar fixed positions. It reads no file; its start-up time and memory show what
// the toolkit alone costs, so startup.sh can compare qurimo against it.

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <array>

namespace {

constexpr int RowCount = 301;

constexpr std::array<const char*, 10> Sentences{
    "我们明天早上八点在车站见面。",   "这本书比我想象的要有趣得多。",
    "他每天坚持跑步，身体越来越好。", "请把窗户关上，外面风很大。",
    "这个问题我们需要再讨论一下。",   "她的中文说得非常流利。",
    "周末我打算去图书馆看书。",       "如果明天下雨，比赛就会推迟。",
    "这家饭馆的菜又便宜又好吃。",     "学习一门外语需要耐心和时间。",
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Qurimo reference"));
    window.setFixedSize(790, 541);

    QFont song(QStringLiteral("AR PL UMing CN"), 12);
    QFont songBold = song;
    songBold.setBold(true);

    auto* english = new QLabel(
        QStringLiteral("We will meet at the station at eight o'clock tomorrow morning."), &window);
    english->setFont(songBold);
    english->setWordWrap(true);
    english->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    english->setGeometry(8, 8, 769, 81);

    auto* chinese = new QLabel(QString::fromUtf8(Sentences[0]), &window);
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
    list->setGeometry(8, 264, 777, 244);
    for (int i = 0; i < RowCount; ++i) {
        list->addItem(QStringLiteral("%1. %2").arg(i + 1).arg(
            QString::fromUtf8(Sentences[static_cast<std::size_t>(i) % Sentences.size()])));
    }

    auto* keyword = new QLineEdit(QStringLiteral("请输入关键字"), &window);
    keyword->setGeometry(8, 512, 89, 25);

    const std::array<std::pair<const char*, int>, 5> buttons{
        {{"搜索", 104}, {"全  部", 160}, {"隐藏英文", 242}, {"隐藏中文", 324}, {"退  出", 488}}};
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

    window.show();
    return QApplication::exec();
}
