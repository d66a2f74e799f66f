// SPDX-License-Identifier: MIT
#include "Form1.h"

#include "Form1Layout.h"
#include "LibraryFile.h"
#include "Module1.h"
#include "TestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRawFont>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTextLayout>
#include <QTextToSpeech>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <fstream>
#include <optional>
#include <ranges>
#include <span>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qurimo;
using namespace qurimo::test;

namespace {

struct Pair {
    QString english;
    QString chinese;
    std::int16_t reserved = 0;
};
using Pairs = QList<Pair>;

// Writes a library whose slot k holds pairs[k], encoded as the compiler stores it.
void writeLibrary(const std::string& path, const Pairs& pairs) {
    SlotTable table;
    for (int k = 0; k < pairs.size(); ++k) {
        table.at(k) = Sentence{pairs[k].reserved, EncodeText(pairs[k].chinese.toStdU16String()),
                               EncodeText(pairs[k].english.toStdU16String())};
    }
    WriteLibraryFile(path, table);
}

const Pairs Sample{
    {"Please make sure the door is locked.", "请确保门已锁好。", -7},
    {"She makes a good impression.", "她给人留下了好印象。"},
    {"Take your time.", "慢慢来。"},
    {"We MAKE progress every day.", "我们每天都在进步。"},
    {"Don't forget to make a backup.", "别忘了做备份。"},
    {"His hair is dry.", "他的头发很干燥。"},
    {"Qianlong's hair.", "乾隆的頭髮。"}, // a library compiled without --simplified
};

QStringList rows(QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        texts << list->item(i)->text();
    }
    return texts;
}

// WCAG 2 contrast ratio, worked out apart from the window's own.
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        double sum = 0;
        for (const auto& [v, weight] :
             {std::pair{c.redF(), 0.2126}, {c.greenF(), 0.7152}, {c.blueF(), 0.0722}}) {
            sum += weight * (v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        }
        return sum + 0.05;
    };
    return std::max(luminance(a), luminance(b)) / std::min(luminance(a), luminance(b));
}

// A dark desktop scheme, with the box classes themed apart as the GTK platform theme does.
QPalette darkScheme() {
    QPalette p(Qt::white, QColor(53, 53, 53), QColor(80, 80, 80), QColor(20, 20, 20),
               QColor(40, 40, 40), Qt::white, Qt::white, QColor(42, 42, 42), QColor(53, 53, 53));
    p.setColor(QPalette::Highlight, QColor(53, 132, 228));
    p.setColor(QPalette::HighlightedText, Qt::white);
    return p;
}

QByteArray encoded(const std::filesystem::path& path) {
    return QByteArray::fromStdString(path.string());
}

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

private:
    std::optional<TempDir> dir;
    std::optional<SavedEnvironment> userVariables;
    std::optional<Form1> form;
    QStringList reports;

    std::string libraryFile() const { return dir->file("vorel.dat"); }
    std::filesystem::path home() const { return dir->path() / "home"; }
    std::filesystem::path dataHome() const { return dir->path() / "data"; }

    // A window over the library in the temporary folder, shown as a user sees it; library is
    // the file named on the command line.
    void open(std::optional<QString> library = std::nullopt, bool captureReports = true) {
        form.emplace(QString::fromStdString(dir->path().string()), std::move(library));
        if (captureReports) {
            form->setReporter(
                [this](const QString& report, Form1::ReportKind) { reports << report; });
        }
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*form));
    }

    template <class T> T* get(const char* name) {
        T* w = form->findChild<T*>(QLatin1String(name));
        if (w == nullptr) {
            qFatal("no control %s", name);
        }
        return w;
    }
    QLabel* label(const char* name) { return get<QLabel>(name); }
    QPushButton* button(const char* name) { return get<QPushButton>(name); }
    QListWidget* list() { return get<QListWidget>("List1"); }
    // What the hidden box holds, read from the widget as a screen reader reads it.
    QString text1() { return get<QPlainTextEdit>("Text1")->toPlainText(); }

    void clickRow(int row) {
        QListWidget* l = list();
        l->scrollToItem(l->item(row));
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {},
                          l->visualItemRect(l->item(row)).center());
    }

    // The sentence menu of a row or a label, opened as the user does: the right mouse button,
    // or a key where the keyboard focus is.
    QMenu* sentenceMenu(const QString& name, int row, QKeyCombination key) {
        QWidget* control = get<QWidget>(qPrintable(name));
        if (key != QKeyCombination()) {
            list()->setCurrentRow(row, QItemSelectionModel::NoUpdate);
            control->setFocus();
            QTest::keyClick(control, key.key(), key.keyboardModifiers());
        } else {
            QWidget* under = control == list() ? list()->viewport() : control;
            const QPoint at = control == list() ? list()->visualItemRect(list()->item(row)).center()
                                                : QPoint(8, 8);
            QTest::mousePress(under, Qt::RightButton, {}, at);
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, under->mapToGlobal(at));
            QApplication::sendEvent(under, &event);
            QTest::mouseRelease(under, Qt::RightButton, {}, at);
        }
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }

    static void choose(QMenu* menu, QAction* item) {
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        QTRY_VERIFY(!menu->isVisible());
    }

    static bool inOwnProcess() { return qEnvironmentVariableIsSet("FORM1_TEST_OWN_PROCESS"); }

    // Runs test again in a process of its own, with environment's NAME=value entries added,
    // and passes, fails or skips as it did.
    static void runInOwnProcess(const QString& test, const QStringList& environment = {}) {
        QProcess child;
        child.setEnvironment(QProcess::systemEnvironment() + environment +
                             QStringList{"FORM1_TEST_OWN_PROCESS=1"});
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {test});
        const bool finished = child.waitForFinished(60000);
        child.kill();
        child.waitForFinished();
        const QString output = QString::fromLocal8Bit(child.readAll());
        QVERIFY2(finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 qPrintable(output));
        if (output.contains(QStringLiteral("SKIP   : "))) {
            QSKIP(qPrintable(output.section(QStringLiteral("SKIP   : "), 1).section(u'\n', 0, 0)));
        }
    }

    void search(const QString& keyword) {
        auto* box = get<QLineEdit>("Text3");
        box->setText(keyword);
        QTest::mouseClick(button("Command3"), Qt::LeftButton);
    }

private slots:
    void init() {
        dir.emplace();
        reports.clear();
        // The user's folders lie in the temporary folder: a library or download folder of
        // whoever runs the tests never counts, and nothing is written into their home.
        userVariables.emplace({"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"});
        std::filesystem::create_directory(home());
        qputenv("HOME", encoded(home()));
        qputenv("XDG_DATA_HOME", encoded(dataHome()));
        qunsetenv("XDG_CONFIG_HOME");
    }
    void cleanup() {
        form.reset();
        userVariables.reset();
        dir.reset();
    }

    void layout();
    void accessibleNames();
    void contrast_data();
    void contrast();
    void latinAndChineseFonts();
    void latinOfButtonsOnChineseDesktop();
    void tabOrderAndFocus();
    void text1Contents_data();
    void text1Contents();
    void listing_data();
    void listing();
    void listingTwiceAndAfterSearch();
    void search_data();
    void search();
    void repeatedSearchAndHiddenLabel();
    void interaction();
    void unreadableLibraryAtStart_data();
    void unreadableLibraryAtStart();
    void compilerButton_data();
    void compilerButton();
    void libraryChoice_data();
    void libraryChoice();
    void useThenWindow();
    void helpNamesTheLibrary_data();
    void helpNamesTheLibrary();
    void commandLineErrors_data();
    void commandLineErrors();
    void reportButtonInChinese();
    void contextMenusInChinese_data();
    void contextMenusInChinese();
    void sentenceMenu_data();
    void sentenceMenu();
    void speechIsHeard_data();
    void speechIsHeard();
};

void Form1Test::layout() {
    // The window as created, before its load handler fills it, follows its geometry table;
    // what the table itself must hold is checked here as rules, not retyped.
    Form1 fresh;
    const QRect client(0, 0, layout::pixels(layout::ClientWidth),
                       layout::pixels(layout::ClientHeight));
    QList<QRect> inside;
    for (const layout::Control& control : layout::Controls) {
        const QString name = QString::fromLatin1(control.name.data(), control.name.size());
        auto* w = fresh.findChild<QWidget*>(name);
        QVERIFY2(w != nullptr, qPrintable(name));
        const QRect expected(layout::pixels(control.left), layout::pixels(control.top),
                             layout::pixels(control.width), layout::pixels(control.height));
        QCOMPARE(w->geometry(), expected);
        QVERIFY(!w->isHidden() && w->isEnabled());
        // Only the compiler's button and Text1 lie below the bottom edge, out of sight.
        const bool belowTheEdge = name == "Command1" || name == "Text1";
        QCOMPARE(client.contains(expected), !belowTheEdge);
        QCOMPARE(expected.top() >= client.height(), belowTheEdge);
        if (!belowTheEdge) { // what the user sees overlaps nothing
            for (const QRect& other : inside) {
                QVERIFY2(!other.intersects(expected), qPrintable(name + " overlaps a control"));
            }
            inside << expected;
        }

        auto* multiLine = qobject_cast<QPlainTextEdit*>(w);
        QCOMPARE(w->property(multiLine ? "plainText" : "text").toString(),
                 QString::fromUtf8(control.text.data(), control.text.size()));
        if (multiLine) {
            QCOMPARE(multiLine->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            QVERIFY(l->wordWrap());
            QCOMPARE(l->textFormat(), Qt::PlainText); // a sentence with "<" is no markup
        } else if (auto* b = qobject_cast<QPushButton*>(w)) {
            QVERIFY(!b->isDefault() && !b->autoDefault());
        }
        if (control.font == layout::Font::Default) {
            QVERIFY(!w->font().families().contains(QStringLiteral("宋体")));
        } else {
            QCOMPARE(w->font().families().last(), QStringLiteral("宋体"));
            QCOMPARE(w->font().pointSize(), 12);
            QCOMPARE(w->font().bold(), control.font == layout::Font::SongBold);
            QVERIFY(!w->font().italic() && !w->font().underline() && !w->font().strikeOut());
        }
        if (control.coloured) {
            const QColor colour(control.textColour.red, control.textColour.green,
                                control.textColour.blue);
            QCOMPARE(w->palette().color(qobject_cast<QLabel*>(w) ? QPalette::WindowText
                                                                 : QPalette::Text),
                     colour);
        }
    }
    QCOMPARE(fresh.findChildren<QLabel*>().size() + fresh.findChildren<QPushButton*>().size() +
                 fresh.findChildren<QLineEdit*>().size() +
                 fresh.findChildren<QPlainTextEdit*>().size() +
                 fresh.findChildren<QListWidget*>().size(),
             qsizetype(layout::Controls.size()));

    // The window itself: fixed in size, no maximize button, centred on its screen.
    open();
    QCOMPARE(form->windowTitle(), QStringLiteral(QURIMO_CAPTION));
    const QSize fixed(layout::pixels(layout::ClientWidth), layout::pixels(layout::ClientHeight));
    QCOMPARE(form->size(), fixed);
    QCOMPARE(form->minimumSize(), fixed);
    QCOMPARE(form->maximumSize(), fixed);
    QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form->windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(form->palette().color(QPalette::Window),
             QApplication::palette().color(QPalette::HighlightedText));
    QVERIFY(form->autoFillBackground());
    QVERIFY(!form->windowIcon().pixmap(32, 32).isNull());
    const QRect screen = form->screen()->availableGeometry();
    QVERIFY(qAbs(form->geometry().center().x() - screen.center().x()) <= 1);
}

void Form1Test::accessibleNames() {
    writeLibrary(libraryFile(), Sample);
    open();
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&*form);
    QVERIFY(window != nullptr);
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->text(QAccessible::Name), QStringLiteral(QURIMO_CAPTION));
    // Speech control works by what the user sees: every caption is part of the name, also a
    // caption that a toggle has changed.
    QTest::mouseClick(button("Command4"), Qt::LeftButton);
    const QList<QWidget*> captioned = form->findChildren<QWidget*>();
    int checked = 0;
    for (QWidget* w : captioned) {
        const QString caption = w->property("text").toString();
        if (!qobject_cast<QPushButton*>(w) && !qobject_cast<QLabel*>(w)) {
            continue;
        }
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(w);
        QVERIFY2(control->text(QAccessible::Name).contains(caption),
                 qPrintable(w->objectName() + ": " + control->text(QAccessible::Name)));
        ++checked;
    }
    QCOMPARE(checked, 9);
    QCOMPARE(QAccessible::queryAccessibleInterface(button("Command3"))->text(QAccessible::Name),
             QStringLiteral("Go!"));
    QCOMPARE(
        QAccessible::queryAccessibleInterface(button("Command3"))->text(QAccessible::Description),
        QStringLiteral("搜索"));
    // The boxes and the list have no caption of their own: each has a name.
    for (const char* name : {"Text1", "Text2", "Text3", "Text4", "List1"}) {
        QVERIFY2(!QAccessible::queryAccessibleInterface(get<QWidget>(name))
                      ->text(QAccessible::Name)
                      .isEmpty(),
                 name);
    }
    QVERIFY(QAccessible::queryAccessibleInterface(get<QWidget>("Text2"))
                ->text(QAccessible::Name)
                .contains(QStringLiteral("随便写写")));
}

void Form1Test::contrast_data() {
    QTest::addColumn<bool>("dark");
    QTest::newRow("light system scheme") << false;
    QTest::newRow("dark system scheme") << true;
}

void Form1Test::contrast() {
    QFETCH(bool, dark);
    const QPalette saved = QApplication::palette();
    const QPalette savedBoxes = QApplication::palette("QPlainTextEdit");
    auto restore = qScopeGuard([&] {
        QApplication::setPalette(savedBoxes, "QPlainTextEdit");
        QApplication::setPalette(saved);
    });
    if (dark) {
        QApplication::setPalette(darkScheme());
        QPalette boxes = darkScheme();
        boxes.setColor(QPalette::Base, QColor(30, 30, 30));
        QApplication::setPalette(boxes, "QPlainTextEdit");
    }
    writeLibrary(libraryFile(), Sample);
    open();
    const QColor ground = form->palette().color(QPalette::Window);
    for (QWidget* w : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QPalette& p = w->palette();
        const QString name = w->objectName();
        double ratio = 0;
        if (qobject_cast<QLabel*>(w)) {
            ratio = ::contrast(p.color(QPalette::WindowText), ground);
        } else if (qobject_cast<QPushButton*>(w)) {
            ratio = ::contrast(p.color(QPalette::ButtonText), p.color(QPalette::Button));
        } else {
            ratio = ::contrast(p.color(QPalette::Text), p.color(QPalette::Base));
            QVERIFY2(!dark || ::contrast(p.color(QPalette::HighlightedText),
                                         p.color(QPalette::Highlight)) >= 4.5,
                     qPrintable(name));
        }
        // The red of Label2 is fixed and has 4.0:1 on white; nothing may fall below that.
        const double least = name == QStringLiteral("Label2") ? 3.99 : 4.5;
        QVERIFY2(ratio >= least, qPrintable(QStringLiteral("%1: %2:1").arg(name).arg(ratio)));
        if (!dark) {
            const QPalette system = QApplication::palette(w);
            for (QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::ButtonText,
                                             QPalette::Highlight, QPalette::HighlightedText}) {
                QVERIFY2(p.color(role) == system.color(role), qPrintable(name));
            }
        }
    }

    // The current row keeps an outline of at least 3:1 against its fill and against the rows
    // around it, selected or not.
    QApplication::setActiveWindow(&*form);
    QVERIFY(QTest::qWaitForWindowActive(&*form));
    list()->setFocus(Qt::TabFocusReason);
    for (bool selected : {false, true}) {
        list()->setCurrentRow(1, selected ? QItemSelectionModel::ClearAndSelect
                                          : QItemSelectionModel::NoUpdate);
        const QImage shot = list()->viewport()->grab().toImage();
        const QRect row = list()->visualItemRect(list()->item(1));
        const int x = row.right() - 20;
        const QColor edge = shot.pixelColor(x, row.top() + 1);
        const QColor fill = shot.pixelColor(x, row.center().y());
        const QColor around = shot.pixelColor(x, row.top() - 4);
        QVERIFY2(::contrast(edge, fill) >= 3 && ::contrast(edge, around) >= 3,
                 qPrintable(QStringLiteral("selected %1: outline %2, fill %3, around %4")
                                .arg(selected)
                                .arg(edge.name(), fill.name(), around.name())));
        if (selected) {
            QVERIFY(::contrast(fill, around) >= 3);
        }
    }
}

void Form1Test::latinAndChineseFonts() {
    // The English must read as English: l, 1 and I, O and 0 from a Latin serif, the Chinese
    // from the Song face.
    Form1 fresh;
    for (const char* name : {"Label1", "Label2", "List1", "Text2"}) {
        const QString text = QStringLiteral("Please lock it, 1 l I 0 O 请锁门。");
        QTextLayout layout(text, fresh.findChild<QWidget*>(QLatin1String(name))->font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        auto fontOf = [&](const QString& part) {
            const QList<QGlyphRun> runs = layout.glyphRuns(text.indexOf(part), part.size());
            return runs.isEmpty() ? QRawFont() : runs.front().rawFont();
        };
        const QRawFont latin = fontOf(QStringLiteral("Please lock it, 1 l I 0 O"));
        QVERIFY2(QStringList({"Liberation Serif", "DejaVu Serif"}).contains(latin.familyName()),
                 qPrintable(latin.familyName()));
        QCOMPARE(layout.glyphRuns(0, text.indexOf(u'请')).size(), 1);
        const QRawFont chinese = fontOf(QStringLiteral("请锁门。"));
        QVERIFY2(chinese.familyName() != latin.familyName(), qPrintable(chinese.familyName()));
        QVERIFY(chinese.supportsCharacter(QChar(u'锁')));
        const QList<quint32> l1 = latin.glyphIndexesForString(QStringLiteral("l1"));
        QVERIFY(latin.pathForGlyph(l1[0]) != latin.pathForGlyph(l1[1]));
    }
}

void Form1Test::latinOfButtonsOnChineseDesktop() {
    if (!inOwnProcess()) {
        // fontconfig reads the language from the environment once.
        runInOwnProcess(QString::fromUtf8(QTest::currentTestFunction()),
                        {"LANG=zh_CN.UTF-8", "LC_ALL=zh_CN.UTF-8"});
        return;
    }
    // "Go!" and a typed keyword in AR PL UMing's thin Song glyphs are hard to read.
    Form1 fresh;
    for (const char* name : {"Command3", "Text3"}) {
        const QString family = QFontInfo(fresh.findChild<QWidget*>(name)->font()).family();
        QVERIFY2(!family.startsWith(QStringLiteral("AR PL")), qPrintable(family));
    }
}

void Form1Test::tabOrderAndFocus() {
    writeLibrary(libraryFile(), Sample);
    open();
    QApplication::setActiveWindow(&*form);
    QVERIFY(QTest::qWaitForWindowActive(&*form));
    QCOMPARE(QApplication::focusWidget(), button("Command1"));
    // Tab goes round the table's order, from the control after Command1 back to it and on.
    QStringList visited;
    QStringList expected;
    for (std::size_t i = 1; i <= layout::TabOrder.size() + 1; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
        const std::string_view name = layout::TabOrder[i % layout::TabOrder.size()];
        expected << QString::fromLatin1(name.data(), qsizetype(name.size()));
    }
    QCOMPARE(layout::TabOrder.front(), "Command1");
    QCOMPARE(visited, expected);
}

void Form1Test::text1Contents_data() {
    QTest::addColumn<bool>("empty");
    QTest::addColumn<QString>("then");
    QTest::newRow("Tab reaches Text1") << false << "tab";
    QTest::newRow("row selected, then 全  部") << false << "select, list";
    QTest::newRow("empty library") << true << "tab";
}

void Form1Test::text1Contents() {
    QFETCH(bool, empty);
    QFETCH(QString, then);
    writeLibrary(libraryFile(), empty ? Pairs{} : Sample);
    open();
    QString listing;
    for (const Pair& pair : empty ? Pairs{} : Sample) {
        listing += pair.english + "\n" + pair.chinese + "\n\n";
    }
    if (then == QStringLiteral("tab")) {
        QApplication::setActiveWindow(&*form);
        QVERIFY(QTest::qWaitForWindowActive(&*form));
        QTest::keyClick(button("Command1"), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Text1"));
    } else if (then == QStringLiteral("select, list")) {
        clickRow(2);
        QCOMPARE(text1(), Sample[2].english);
        QTest::mouseClick(button("Command2"), Qt::LeftButton);
    }
    QCOMPARE(text1(), listing);
}

void Form1Test::listing_data() {
    QTest::addColumn<Pairs>("library");
    QTest::addColumn<QStringList>("expectedRows");
    QTest::addColumn<QString>("label1");
    QTest::addColumn<QString>("label2");
    QTest::addColumn<QString>("listingText");

    QTest::newRow("empty") << Pairs{} << QStringList{} << ""
                           << ""
                           << "";
    QTest::newRow("filled") << Pairs{{"One.", "一。"}, {"Two.", "二。"}}
                            << QStringList{"一。", "二。"} << "One."
                            << "一。"
                            << "One.\n一。\n\nTwo.\n二。\n\n";
    QTest::newRow("gap before first")
        << Pairs{{"", "空"}, {"", ""}, {"Three.", "三。"}} << QStringList{"三。"} << ""
        << "空"
        << "Three.\n三。\n\n";
    QTest::newRow("spaces only English")
        << Pairs{{"   ", "只有空格"}, {"\u3000", "全角空格"}, {" Padded ", "有空格"}}
        << QStringList{"有空格"} << "   "
        << "只有空格"
        << " Padded \n有空格\n\n";
    QTest::newRow("empty Chinese") << Pairs{{"Alone.", ""}} << QStringList{""} << "Alone."
                                   << ""
                                   << "Alone.\n\n\n";
    QTest::newRow("reserved") << Pairs{{"Kept.", "保留。", -7}} << QStringList{"保留。"} << "Kept."
                              << "保留。"
                              << "Kept.\n保留。\n\n";
}

void Form1Test::listing() {
    QFETCH(Pairs, library);
    QFETCH(QStringList, expectedRows);
    writeLibrary(libraryFile(), library);
    open();
    QCOMPARE(rows(list()), expectedRows);
    QCOMPARE(list()->selectedItems().size(), 0);
    QTEST(label("Label1")->text(), "label1");
    QTEST(label("Label2")->text(), "label2");
    QTEST(text1(), "listingText");
    QVERIFY(reports.isEmpty());
}

void Form1Test::listingTwiceAndAfterSearch() {
    // A missing library is created empty and lists nothing; a later press of 全  部 reads
    // what is there by then.
    open();
    QVERIFY(exists(libraryFile()));
    QCOMPARE(list()->count(), 0);
    writeLibrary(libraryFile(), Sample);
    QTest::mouseClick(button("Command2"), Qt::LeftButton);
    const QStringList full = rows(list());
    QCOMPARE(full.size(), Sample.size());
    QTest::mouseClick(button("Command2"), Qt::LeftButton);
    QCOMPARE(rows(list()), full);

    search(QStringLiteral("take"));
    QCOMPARE(list()->count(), 1);
    QTest::mouseClick(button("Command5"), Qt::LeftButton); // hide the Chinese
    QTest::mouseClick(button("Command2"), Qt::LeftButton);
    QCOMPARE(rows(list()), full);
    QVERIFY(label("Label2")->isHidden());
    QCOMPARE(label("Label2")->text(), Sample[0].chinese);
    QCOMPARE(get<QLineEdit>("Text3")->text(), QStringLiteral("take"));

    // A 全  部 that fails leaves nothing behind the empty screen for Go! to find.
    std::filesystem::remove(libraryFile());
    std::filesystem::create_directory(libraryFile());
    QTest::mouseClick(button("Command2"), Qt::LeftButton);
    QCOMPARE(reports.size(), 1);
    search(QStringLiteral("take"));
    QCOMPARE(list()->count(), 0);
    QCOMPARE(label("Label1")->text(), QString());
}

void Form1Test::search_data() {
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QList<int>>("hits"); // Sample indexes, in order

    QTest::newRow("lower case") << "make" << QList<int>{0, 1, 3, 4};
    QTest::newRow("capitalised") << "Make" << QList<int>{0, 1, 3, 4};
    QTest::newRow("full width") << "ｍａｋｅ" << QList<int>{0, 1, 3, 4};
    QTest::newRow("trailing space") << "make " << QList<int>{0, 3, 4};
    QTest::newRow("inside a word") << "ake" << QList<int>{0, 1, 2, 3, 4};
    QTest::newRow("after a false start") << "od" << QList<int>{1}; // g-o-o-d
    QTest::newRow("typographic apostrophe") << "Don’t" << QList<int>{4};
    QTest::newRow("empty") << "" << QList<int>{0, 1, 2, 3, 4, 5, 6};
    QTest::newRow("spaces only") << "  " << QList<int>{};
    QTest::newRow("prompt") << "请输入关键字" << QList<int>{};
    QTest::newRow("no hits") << "zebra" << QList<int>{};
    QTest::newRow("Chinese keyword") << "好" << QList<int>{0, 1};
    QTest::newRow("no Chinese character, English side") << "。" << QList<int>{};
    QTest::newRow("Chinese with its punctuation") << "慢慢来。" << QList<int>{2};
    // traditional: its simplified form, by phrase, and the keyword as typed
    QTest::newRow("traditional") << "頭髮" << QList<int>{5, 6};
    QTest::newRow("traditional word") << "乾燥" << QList<int>{5};
    QTest::newRow("traditional name") << "乾隆" << QList<int>{6};
}

void Form1Test::search() {
    QFETCH(QString, keyword);
    QFETCH(QList<int>, hits);
    writeLibrary(libraryFile(), Sample);
    open();
    const QString listing = text1();
    search(keyword);
    QStringList expected;
    for (int i : hits) {
        expected << Sample[i].chinese;
    }
    QCOMPARE(rows(list()), expected);
    QCOMPARE(label("Label1")->text(), hits.isEmpty() ? QString() : Sample[hits[0]].english);
    QCOMPARE(label("Label2")->text(), hits.isEmpty() ? QString() : Sample[hits[0]].chinese);
    QCOMPARE(get<QLineEdit>("Text3")->text(), keyword);
    QCOMPARE(text1(), listing);
    for (int k = 0; k < hits.size(); ++k) {
        clickRow(k);
        QCOMPARE(label("Label1")->text(), Sample[hits[k]].english);
    }
}

void Form1Test::repeatedSearchAndHiddenLabel() {
    // Blank slots between the hits of a space-only search: each row still shows its own.
    writeLibrary(libraryFile(),
                 Pairs{{" ", "空白"}, {"a b", "甲乙"}, {"  ", "又空"}, {"c d", "丙丁"}});
    open();
    QTest::mouseClick(button("Command5"), Qt::LeftButton);
    search(QStringLiteral(" "));
    QCOMPARE(rows(list()), QStringList({"甲乙", "丙丁"}));
    QCOMPARE(label("Label2")->text(), QStringLiteral("空白")); // hidden, still updated
    QVERIFY(label("Label2")->isHidden());
    clickRow(1);
    QCOMPARE(label("Label1")->text(), QStringLiteral("c d"));
    search(QStringLiteral(" "));
    QCOMPARE(rows(list()), QStringList({"甲乙", "丙丁"}));
    QTest::mouseClick(button("Command5"), Qt::LeftButton);
    QVERIFY(!label("Label2")->isHidden());
}

void Form1Test::interaction() {
    // One session, as a user goes through it with mouse and keys.
    writeLibrary(libraryFile(), Sample);
    open();
    QApplication::setActiveWindow(&*form);
    QVERIFY(QTest::qWaitForWindowActive(&*form));
    // Selecting a row shows it and empties the scratch box; Ctrl+Z brings the notes back.
    auto* scratch = get<QPlainTextEdit>("Text2");
    scratch->setFocus();
    QTest::keyClicks(scratch, QStringLiteral("my notes"));
    clickRow(2);
    QCOMPARE(scratch->toPlainText(), QString());
    QCOMPARE(label("Label1")->text(), Sample[2].english);
    QCOMPARE(label("Label2")->text(), Sample[2].chinese);
    QCOMPARE(text1(), Sample[2].english);
    scratch->setFocus();
    QTest::keySequence(scratch, QKeySequence::Undo);
    QCOMPARE(scratch->toPlainText(), QStringLiteral("my notes"));

    // Arrow keys show every row they pass; Ctrl+C in the list copies the selected pair,
    // English then Chinese.
    QSignalSpy changes(list(), &QListWidget::itemSelectionChanged);
    QTest::keyClick(list(), Qt::Key_Down);
    QTest::keyClick(list(), Qt::Key_Down);
    QCOMPARE(changes.count(), 2);
    QCOMPARE(label("Label1")->text(), Sample[4].english);
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    list()->setFocus();
    QTest::keySequence(list(), QKeySequence::Copy);
    QCOMPARE(clipboard->text(), Sample[4].english + "\n" + Sample[4].chinese);

    // Either label's text is selected with the mouse and copied, and Tab still passes it by.
    for (QLabel* l : {label("Label1"), label("Label2")}) {
        clipboard->clear();
        const QPoint end(l->width() - 2, l->height() - 2);
        QTest::mousePress(l, Qt::LeftButton, {}, QPoint(1, 4));
        QTest::mouseMove(l, end);
        QTest::mouseRelease(l, Qt::LeftButton, {}, end);
        QTest::keySequence(l, QKeySequence::Copy);
        QCOMPARE(clipboard->text(), l->text());
        QVERIFY(!(l->focusPolicy() & Qt::TabFocus));
    }
    QCOMPARE(label("Label1")->text(), Sample[4].english);

    // Tabbing into the list from the scratch box does not empty it; emptying the list clears
    // the selection and changes nothing else.
    scratch->clear();
    QTest::keyClicks(scratch, QStringLiteral("notes"));
    QTest::mouseClick(button("Command2"), Qt::LeftButton);
    list()->setFocus(Qt::TabFocusReason);
    QCOMPARE(scratch->toPlainText(), QStringLiteral("notes"));
    QCOMPARE(label("Label1")->text(), Sample[0].english);

    // Space and Enter press the focused button, as a click does.
    auto* english = button("Command4");
    english->setFocus();
    QTest::keyClick(english, Qt::Key_Space);
    QVERIFY(label("Label1")->isHidden());
    QCOMPARE(english->text(), QStringLiteral("显示英文"));
    QVERIFY(!label("Label2")->isHidden());
    QTest::keyClick(english, Qt::Key_Return);
    QVERIFY(!label("Label1")->isHidden());
    QCOMPARE(english->text(), QStringLiteral("隐藏英文"));
    QTest::mouseClick(button("Command5"), Qt::LeftButton);
    QCOMPARE(button("Command5")->text(), QStringLiteral("显示中文"));
    clickRow(3);
    QCOMPARE(label("Label2")->text(), Sample[3].chinese);
    QTest::keyClick(button("Command5"), Qt::Key_Enter);
    QVERIFY(!label("Label2")->isHidden());
    QCOMPARE(button("Command5")->text(), QStringLiteral("隐藏中文"));

    // A click in the keyword box empties it, a click elsewhere does not; Enter there starts no
    // search: no button is the default.
    auto* box = get<QLineEdit>("Text3");
    box->setText(QStringLiteral("make"));
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(box->text(), QString());
    QTest::keyClicks(box, QStringLiteral("take"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(list()->count(), Sample.size());
    QTest::mouseClick(scratch->viewport(), Qt::LeftButton);
    QCOMPARE(box->text(), QStringLiteral("take"));
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(box->text(), QString());

    QTest::mouseClick(button("Command7"), Qt::LeftButton);
    QTRY_VERIFY(!form->isVisible());
    QVERIFY(reports.isEmpty());
}

void Form1Test::unreadableLibraryAtStart_data() {
    QTest::addColumn<QString>("inTheWay"); // what lies where the library should be
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("remedy");
    QTest::newRow("a folder where the library should be") << "folder"
                                                          << "是一个文件夹"
                                                          << "请把它移走或改名";
    // A pipe nothing writes to would hang the start-up if it were read.
    QTest::newRow("a pipe where the library should be") << "pipe"
                                                        << "是一个管道"
                                                        << "请把它移走或改名";
    QTest::newRow("read-only folder, no library") << ""
                                                  << "没有访问权限"
                                                  << "只读";
}

void Form1Test::unreadableLibraryAtStart() {
    // The window opens, reports the error with what the user can do, and shows no
    // placeholder. The folder is made read-only; root, who may write there anyway, runs the
    // row again as nobody in a program of its own.
    if (::geteuid() == 0) {
        const std::string self = QCoreApplication::applicationFilePath().toStdString();
        const std::vector<std::string> asNobody{
            "timeout", "120", "setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
        std::vector<std::string> reach = asNobody;
        reach.insert(reach.end(), {"test", "-x", self});
        if (runProgram(reach).exitCode != 0) {
            QSKIP("nobody cannot reach this test program");
        }
        std::vector<std::string> row = asNobody;
        row.insert(row.end(),
                   {self, std::string("unreadableLibraryAtStart:") + QTest::currentDataTag()});
        const ProcessResult run = runProgram(row);
        QVERIFY2(run.exitCode == 0, (run.out + run.err).c_str());
        return;
    }
    QFETCH(QString, inTheWay);
    QFETCH(QString, reason);
    QFETCH(QString, remedy);
    if (inTheWay == "folder") {
        std::filesystem::create_directory(libraryFile());
    } else if (inTheWay == "pipe") {
        QCOMPARE(::mkfifo(libraryFile().c_str(), 0666), 0);
    } else {
        QCOMPARE(::chmod(dir->path().c_str(), 0555), 0);
    }
    const auto writable = qScopeGuard([&] { ::chmod(dir->path().c_str(), 0755); });
    const QString folder = QString::fromStdString(dir->path().string());
    Form1 window(folder);
    QStringList reports;
    window.setReporter([&](const QString& report, Form1::ReportKind) { reports << report; });
    window.show();
    QCOMPARE(reports.size(), 1);
    QVERIFY2(reports[0].startsWith(QStringLiteral("运行时错误 75：路径/文件访问错误\n")),
             qPrintable(reports[0]));
    for (const QString& part : {folder + "/vorel.dat", reason, remedy}) {
        QVERIFY2(reports[0].contains(part), qPrintable(part + " in " + reports[0]));
    }
    QVERIFY(window.isVisible());
    QCOMPARE(window.findChild<QListWidget*>()->count(), 0);
    QCOMPARE(window.findChild<QLabel*>("Label1")->text(), QString());
    QCOMPARE(window.findChild<QLabel*>("Label2")->text(), QString());
    QCOMPARE(window.findChild<QPlainTextEdit*>("Text1")->toPlainText(), QString());
}

void Form1Test::compilerButton_data() {
    QTest::addColumn<QByteArray>("authoring"); // as an editor saved it; empty array: no file
    QTest::addColumn<QStringList>("reported"); // parts of the report; empty: none
    QTest::addColumn<bool>("memoryLimit");     // clicked with little address space to spare
    QTest::addColumn<bool>("compiled");        // 111.dat holds "Keep in touch." / 保持联系。

    const QStringList none;
    QTest::newRow("good") << QByteArray(
                                 "Keep in touch.\r\n\xB1\xA3\xB3\xD6\xC1\xAA\xCF\xB5\xA1\xA3\r\n")
                          << none << false << true;
    QTest::newRow("Anki export") << QByteArray("#separator:tab\n#html:false\n"
                                               "Keep in touch.\t保持联系。\n")
                                 << none << false << true;
    QTest::newRow("Chinese first")
        << QByteArray("保持联系。\nKeep in touch.\n")
        << QStringList{"范句.txt 的每一对句子都是中文在前"} << false << true;
    // The compiler's own reports are tested with it; here only what the window adds: the
    // editor's words, the folder, and a report for running out of memory.
    QTest::newRow("bytes that do not decode")
        << QByteArray("Keep in touch.\r\n\xB1\xA3\x81\x30\r\n")
        << QStringList{"运行时错误 5：", "第 2 列：字节 81 30 无法解码", "在编辑器中把它另存为 GBK"}
        << false << false;
    QTest::newRow("flood of line ends under a memory limit")
        << QByteArray(59'000'000, '\n') << QStringList{"运行时错误 7：内存不足"} << true << false;
    QTest::newRow("missing") << QByteArray() << QStringList{"运行时错误 53：", "范句.txt"} << false
                             << false;
}

void Form1Test::compilerButton() {
    QFETCH(QByteArray, authoring);
    QFETCH(QStringList, reported);
    QFETCH(bool, memoryLimit);
    QFETCH(bool, compiled);
#if defined(__SANITIZE_ADDRESS__)
    if (memoryLimit) {
        QSKIP("AddressSanitizer reserves far more address space than any limit");
    }
#endif
    writeLibrary(libraryFile(), Sample);
    // The desktop's download folder, wherever user-dirs.dirs puts it.
    const std::filesystem::path folder = home() / "Downloads";
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(home() / ".config");
    writeFile((home() / ".config" / "user-dirs.dirs").string(),
              "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n");
    const std::string input = (folder / "范句.txt").string();
    const std::string output = (folder / "111.dat").string();
    if (!authoring.isEmpty()) {
        writeFile(input, authoring.toStdString());
    }
    open();
    clickRow(1);
    const QStringList rowsBefore = rows(list());

    // Room for the window to go on, not for reading the file whole.
    rlimit oldLimit{};
    ::getrlimit(RLIMIT_AS, &oldLimit);
    if (memoryLimit) {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit limit = oldLimit;
        limit.rlim_cur = static_cast<rlim_t>(pages) * ::sysconf(_SC_PAGESIZE) + (40 << 20);
        QCOMPARE(::setrlimit(RLIMIT_AS, &limit), 0);
    }
    QTest::mouseClick(button("Command1"), Qt::LeftButton);
    ::setrlimit(RLIMIT_AS, &oldLimit);

    QCOMPARE(rows(list()), rowsBefore);
    QCOMPARE(label("Label1")->text(), Sample[1].english);
    QCOMPARE(reports.size(), reported.isEmpty() ? 0 : 1);
    for (const QString& part : reported) {
        QVERIFY2(reports[0].contains(part), qPrintable(part + " in " + reports[0]));
    }
    if (compiled) {
        SlotTable written;
        ReadLibraryFile(output, written);
        QCOMPARE(DecodeText(written.at(0).English), u"Keep in touch.");
        QCOMPARE(DecodeText(written.at(0).Chinese), u"保持联系。");
        // The listing's Reserved words go into it, the window's plain texts never do.
        QCOMPARE(written.at(0).Reserved, Sample[0].reserved);
        QCOMPARE(written.at(1), Sentence{});
    } else {
        QVERIFY2(reports[0].contains(QStringLiteral("下载文件夹 ") +
                                     QString::fromStdString(folder.string())),
                 qPrintable(reports[0]));
        // What to do in an editor, never a command-line option or a C++ exception's text.
        for (const char* foreign : {"qurimo-lib", "--", "std::", "bad_alloc"}) {
            QVERIFY2(!reports[0].contains(QLatin1String(foreign)), qPrintable(reports[0]));
        }
        QVERIFY(!exists(output));
    }
    search(QStringLiteral("take")); // the library stays plain text, whatever happened
    QCOMPARE(rows(list()), QStringList{Sample[2].chinese});
}

void Form1Test::libraryChoice_data() {
    // Which library is chosen is tested with locateLibrary; here what the window makes of a
    // library it cannot read whole, on start-up and again on 全  部.
    QTest::addColumn<QString>("argument");     // the file named on the command line; "": none
    QTest::addColumn<QString>("expectedRow");  // "": an empty window
    QTest::addColumn<QStringList>("reported"); // parts of the report on each listing
    QTest::newRow("named on the command line, missing")
        << "none.dat"
        << "" << QStringList{"运行时错误 53：文件未找到\n", "none.dat", "命令行中给出的词库文件"};
    // Listed as far as it reads, and said to be no whole library.
    QTest::newRow("named on the command line, cut short")
        << "cut.dat"
        << "指名。" << QStringList{"cut.dat 不是完好的库文件：第 1 号槽的记录"};
    QTest::newRow("named on the command line, an authoring file")
        << "范句.txt"
        << ""
        << QStringList{"范句.txt 不是完好的库文件：", "逐行交替的编写文件",
                       "范句.dat && qurimo-lib use "};
    // Another user could have put it there: refused, as qurimo-lib use refuses to write it.
    QTest::newRow("per-user in a folder others may write")
        << ""
        << "" << QStringList{"其他用户也可以写入（权限 0777）", "qurimo-lib use --bundled"};
}

void Form1Test::libraryChoice() {
    QFETCH(QString, argument);
    QFETCH(QString, expectedRow);
    QFETCH(QStringList, reported);
    writeLibrary(libraryFile(), Pairs{{"Beside.", "旁边。"}});
    if (argument.isEmpty()) {
        std::filesystem::create_directories(dataHome() / "qurimo");
        writeLibrary((dataHome() / "qurimo" / "vorel.dat").string(), Pairs{{"Mine.", "我的。"}});
        ::chmod((dataHome() / "qurimo").c_str(), 0777);
    }
    writeLibrary(dir->file("named.dat"), Pairs{{"Named.", "指名。"}});
    const std::string named = readFile(dir->file("named.dat"));
    // slot 0's record (Reserved, then the length and bytes of 指名。 and of Named.), then half
    // of slot 1's
    writeFile(dir->file("cut.dat"), named.substr(0, 2 + (2 + 6) + (2 + 6) + 3));
    writeFile(dir->file("范句.txt"), "Named.\n指名。\n");
    const QString path =
        argument.isEmpty() ? QString() : QString::fromStdString(dir->file(argument.toStdString()));

    open(argument.isEmpty() ? std::nullopt : std::optional(path));
    const QStringList expected = expectedRow.isEmpty() ? QStringList() : QStringList{expectedRow};
    QCOMPARE(rows(list()), expected);
    QTest::mouseClick(button("Command2"), Qt::LeftButton); // 全  部 reads the same file
    QCOMPARE(rows(list()), expected);
    QCOMPARE(reports.size(), 2);
    for (const QString& part : reported) {
        QVERIFY2(reports[0].contains(part) && reports[1] == reports[0],
                 qPrintable(part + " in " + reports.join('|')));
    }
    QVERIFY(argument != QStringLiteral("none.dat") || !exists(path.toStdString()));
}

void Form1Test::useThenWindow() {
    // The user's own sentences, set with qurimo-lib use, are what the window lists from the
    // next "全  部" on, until use --bundled brings back the library beside the program.
    writeLibrary(libraryFile(), Pairs{{"Beside.", "旁边。"}});
    writeLibrary(dir->file("111.dat"), Pairs{{"Mine.", "我的。"}, {"Ours.", "我们的。"}});
    open();
    QCOMPARE(rows(list()), QStringList({"旁边。"}));
    QVERIFY(!exists((dataHome() / "qurimo").string())); // the window never makes it
    const ProcessResult set = runProgram({QURIMO_LIB_PATH, "use", dir->file("111.dat")});
    QCOMPARE(set.exitCode, 0);
    QCOMPARE(set.out, (dataHome() / "qurimo" / "vorel.dat").string() + "\n");
    QTest::mouseClick(button("Command2"), Qt::LeftButton);
    QCOMPARE(rows(list()), QStringList({"我的。", "我们的。"}));
    QCOMPARE(runProgram({QURIMO_LIB_PATH, "use", "--bundled"}).exitCode, 0);
    QTest::mouseClick(button("Command2"), Qt::LeftButton);
    QCOMPARE(rows(list()), QStringList({"旁边。"}));
    QVERIFY(reports.isEmpty());
}

void Form1Test::helpNamesTheLibrary_data() {
    QTest::addColumn<bool>("perUser");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("reason");
    QTest::newRow("beside the program") << false << ""
                                        << "程序所在文件夹中的词库";
    QTest::newRow("per-user") << true << ""
                              << "按用户设置的词库";
    QTest::newRow("argument") << true << "some.dat"
                              << "命令行中给出的词库";
}

void Form1Test::helpNamesTheLibrary() {
    QFETCH(bool, perUser);
    QFETCH(QString, argument);
    QFETCH(QString, reason);
    const std::filesystem::path perUserFile = dataHome() / "qurimo" / "vorel.dat";
    if (perUser) {
        std::filesystem::create_directories(perUserFile.parent_path());
        writeFile(perUserFile.string(), "");
    }
    std::vector<std::string> argv{QURIMO_WINDOW_PATH, "--help"};
    if (!argument.isEmpty()) {
        argv.push_back(argument.toStdString());
    }
    const ProcessResult help = runProgram(argv);
    QCOMPARE(help.exitCode, 0);
    const std::string expected =
        !argument.isEmpty() ? argument.toStdString()
        : perUser
            ? perUserFile.string()
            : std::filesystem::canonical(QURIMO_WINDOW_PATH).parent_path().string() + "/vorel.dat";
    const QString out = QString::fromStdString(help.out);
    QVERIFY2(out.contains(QString::fromStdString("窗口现在读取的词库:\n  " + expected + "\n  (") +
                          reason),
             qPrintable(out));
    QVERIFY2(out.contains(QString::fromStdString((home() / "下载").string())), qPrintable(out));
}

void Form1Test::commandLineErrors_data() {
    // Qt takes its own options first: what is left is one library at most.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("two libraries")
        << QStringList{"-platform", "offscreen", "a.dat", "b.dat"} << "只能给出一个词库文件";
    QTest::newRow("unknown option after Qt's own")
        << QStringList{"-platform", "offscreen", "-style", "fusion", "--bogus", "a.dat"}
        << "未知选项 --bogus";
    // shown to the terminal as escapes, not obeyed: ESC [2J would clear it
    QTest::newRow("unknown option with an escape sequence")
        << QStringList{"-platform", "offscreen", "--\x1b[2J"} << "未知选项 --\\x1b[2J";
}

void Form1Test::commandLineErrors() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    std::vector<std::string> argv{QURIMO_WINDOW_PATH};
    for (const QString& argument : arguments) {
        argv.push_back(argument.toStdString());
    }
    const ProcessResult result = runProgram(argv);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(QString::fromStdString(result.err).contains("qurimo: " + message), result.err.c_str());
}

void Form1Test::reportButtonInChinese() {
    // The real message box of a failed 写文件 (no 范句.txt), read while it is shown.
    writeLibrary(libraryFile(), Sample);
    open(std::nullopt, false);
    QString text;
    QString accessibleName;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        const QList<QPushButton*> buttons = box->findChildren<QPushButton*>();
        if (buttons.size() == 1) {
            text = buttons[0]->text();
            accessibleName =
                QAccessible::queryAccessibleInterface(buttons[0])->text(QAccessible::Name);
        }
        box->done(QMessageBox::Ok);
    });
    poll.start();
    QTest::mouseClick(button("Command1"), Qt::LeftButton);
    poll.stop();
    QCOMPARE(text, QStringLiteral("确定"));
    QCOMPARE(accessibleName, QStringLiteral("确定"));
}

void Form1Test::contextMenusInChinese_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("single-line box") << "Text3";
    QTest::newRow("multi-line box") << "Text2";
}

void Form1Test::contextMenusInChinese() {
    QFETCH(QString, name);
    writeLibrary(libraryFile(), Sample);
    open();
    QWidget* control = get<QWidget>(qPrintable(name));
    if (auto* scrolled = qobject_cast<QAbstractScrollArea*>(control)) {
        control = scrolled->viewport();
    }
    const QPoint at(4, 4);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, control->mapToGlobal(at));
    QApplication::sendEvent(control, &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QStringList shown;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            shown << action->text().section(QLatin1Char('\t'), 0, 0); // less the shortcut
        }
    }
    menu->close();
    for (const char* entry : {"撤销", "重做", "剪切", "复制", "粘贴", "删除", "全选"}) {
        QVERIFY2(shown.filter(QString::fromUtf8(entry)).size() == 1, qPrintable(shown.join('|')));
    }
    QVERIFY2(shown.filter(QRegularExpression(QStringLiteral("[A-Za-z]{3}"))).isEmpty(),
             qPrintable(shown.join('|')));
}

void Form1Test::sentenceMenu_data() {
    QTest::addColumn<QString>("control");     // List1: the menu of row 4 while row 1 is shown
    QTest::addColumn<QKeyCombination>("key"); // none: the right mouse button
    QTest::addColumn<bool>("hidden");         // both labels hidden first
    QTest::addColumn<bool>("engines");        // a speech engine within reach
    QTest::addColumn<int>("item"); // 1 复制英文, 2 复制中文, 3 复制英文和中文
    const QKeyCombination mouse;
    for (const char* control : {"List1", "Label1", "Label2"}) {
        for (int item : {1, 2, 3}) {
            QTest::addRow("%s item %d", control, item) << control << mouse << false << true << item;
        }
    }
    QTest::newRow("List1 by Shift+F10")
        << "List1" << QKeyCombination(Qt::SHIFT | Qt::Key_F10) << false << true << 3;
    QTest::newRow("Label2 by the menu key")
        << "Label2" << QKeyCombination(Qt::Key_Menu) << false << true << 2;
    QTest::newRow("hidden Label1") << "Label1" << mouse << true << true << 1;
    QTest::newRow("hidden Label2 by the menu key")
        << "Label2" << QKeyCombination(Qt::Key_Menu) << true << true << 3;
    QTest::newRow("no speech engine") << "List1" << mouse << false << false << 3;
}

void Form1Test::sentenceMenu() {
    QFETCH(QString, control);
    QFETCH(QKeyCombination, key);
    QFETCH(bool, hidden);
    QFETCH(bool, engines);
    QFETCH(int, item);
    if (!engines) {
        if (!inOwnProcess()) {
            // Qt's plugin loader never forgets a folder it has read.
            runInOwnProcess("sentenceMenu:" + QString::fromUtf8(QTest::currentDataTag()));
            return;
        }
        QCoreApplication::setLibraryPaths({QString::fromStdString(dir->path().string())});
    }
    writeLibrary(libraryFile(), Sample);
    open();
    QApplication::setActiveWindow(&*form);
    QVERIFY(QTest::qWaitForWindowActive(&*form));
    clickRow(1);
    auto* scratch = get<QPlainTextEdit>("Text2");
    scratch->setPlainText(QStringLiteral("my notes"));
    if (hidden) {
        QTest::mouseClick(button("Command4"), Qt::LeftButton);
        QTest::mouseClick(button("Command5"), Qt::LeftButton);
    }
    QApplication::clipboard()->clear();

    QMenu* menu = sentenceMenu(control, 4, key);
    QVERIFY(menu != nullptr);
    const QList<QAction*> items = menu->actions();
    QStringList captions;
    std::ranges::transform(items, std::back_inserter(captions), &QAction::text);
    QCOMPARE(captions, QStringList({"朗读英文", "复制英文", "复制中文", "复制英文和中文"}));
    QCOMPARE(items[0]->isEnabled(), engines);
    QCOMPARE(items[0]->toolTip().contains(QStringLiteral("qt6-speech-flite-plugin")), !engines);
    choose(menu, items[item]);
    const Pair& shown = Sample[control == "List1" ? 4 : 1];
    QCOMPARE(QApplication::clipboard()->text(),
             QStringList(
                 {shown.english, shown.chinese, shown.english + "\n" + shown.chinese})[item - 1]);
    QCOMPARE(list()->selectedItems(), QList<QListWidgetItem*>{list()->item(1)});
    QCOMPARE(label("Label1")->text(), Sample[1].english);
    QCOMPARE(label("Label2")->text(), Sample[1].chinese);
    QCOMPARE(label("Label1")->isHidden(), hidden);
    QCOMPARE(label("Label2")->isHidden(), hidden);
    QCOMPARE(scratch->toPlainText(), QStringLiteral("my notes"));
    QVERIFY(reports.isEmpty());
}

void Form1Test::speechIsHeard_data() {
    QTest::addColumn<QList<int>>("said"); // the rows whose 朗读英文 is chosen, one after another
    QTest::addColumn<double>("shortest"); // seconds of sound
    QTest::addColumn<double>("longest");
    QTest::newRow("a long sentence") << QList<int>{0} << 1.2 << 5.0;
    QTest::newRow("a short sentence") << QList<int>{2} << 0.3 << 1.2;
    // the long one chosen first, and the short one as soon as it speaks: the short one alone
    QTest::newRow("a second cuts the first short") << QList<int>{0, 2} << 0.3 << 1.2;
}

void Form1Test::speechIsHeard() {
    QFETCH(QList<int>, said);
    QFETCH(double, shortest);
    QFETCH(double, longest);
    if (!inOwnProcess()) {
        // Qt's sound output keeps one connection for the process, to the first server.
        runInOwnProcess("speechIsHeard:" + QString::fromUtf8(QTest::currentDataTag()));
        return;
    }
    // A private sound server whose only sink is a null one: its monitor holds what was said.
    const QString runtime = QString::fromStdString(dir->path().string());
    const QString socket = runtime + "/native";
    QProcess pulse;
    QProcess recorder;
    const auto stop = qScopeGuard([&] {
        form.reset(); // its sound stream first
        for (QProcess* process : {&recorder, &pulse}) {
            process->kill();
            process->waitForFinished(5000);
        }
    });
    pulse.setEnvironment(
        {"PATH=" + qEnvironmentVariable("PATH"), "HOME=" + runtime, "XDG_RUNTIME_DIR=" + runtime});
    pulse.setProcessChannelMode(QProcess::MergedChannels);
    for (QProcess* process : {&pulse, &recorder}) {
        // Gone with this test, however it ends: a killed one leaves no server behind.
        process->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    }
    pulse.start("pulseaudio",
                {"--daemonize=no", "-n", "--exit-idle-time=-1",
                 "--load=module-null-sink sink_name=qurimo",
                 "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket});
    const bool started = QTest::qWaitFor(
        [&] { return QFile::exists(socket) || pulse.state() == QProcess::NotRunning; }, 10000);
    if (!started || !QFile::exists(socket)) {
        QSKIP(qPrintable("PulseAudio could not start here: " + pulse.errorString() + " " +
                         QString::fromLocal8Bit(pulse.readAll())));
    }
    recorder.start("parec",
                   {"--server=unix:" + socket, "--device=qurimo.monitor", "--raw", "--format=s16le",
                    "--rate=16000", "--channels=1", "--latency-msec=50"});
    // A new server's monitor sends nothing for a second or two.
    QTRY_VERIFY_WITH_TIMEOUT(recorder.bytesAvailable() > 0, 10000);
    qputenv("PULSE_SERVER", "unix:" + socket.toLocal8Bit());

    // Flite alone within reach: it needs no speech service, which a test machine lacks.
    const QString flite =
        QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/texttospeech/libqtexttospeech_flite.so";
    QVERIFY2(QFile::exists(flite), "install qt6-speech-flite-plugin (scripts/setup.sh)");
    QVERIFY(QDir(runtime).mkpath("plugins/texttospeech"));
    QVERIFY(QFile::link(flite, runtime + "/plugins/texttospeech/flite.so"));
    QCoreApplication::setLibraryPaths({runtime + "/plugins"});

    writeLibrary(libraryFile(), Sample);
    open();
    QVERIFY(form->findChild<QTextToSpeech*>() == nullptr); // none until it is asked for
    for (int row : said) {
        QMenu* menu = sentenceMenu("List1", row, {});
        QVERIFY(menu != nullptr);
        choose(menu, menu->actions().front());
        QTRY_VERIFY_WITH_TIMEOUT(
            form->findChild<QTextToSpeech*>()->state() == QTextToSpeech::Speaking, 10000);
    }
    QTRY_VERIFY_WITH_TIMEOUT(form->findChild<QTextToSpeech*>()->state() == QTextToSpeech::Ready,
                             20000);
    QTest::qWait(1000); // what the sink still holds
    recorder.terminate();
    QVERIFY(recorder.waitForFinished(5000));
    const QByteArray pcm = recorder.readAllStandardOutput();
    const std::span samples(reinterpret_cast<const std::int16_t*>(pcm.constData()),
                            std::size_t(pcm.size() / 2));
    const auto loud = [](std::int16_t sample) { return std::abs(sample) > 32768 / 10; };
    const auto first = std::ranges::find_if(samples, loud);
    const auto last = std::ranges::find_if(samples | std::views::reverse, loud).base();
    const double seconds = double(std::max<std::ptrdiff_t>(last - first, 0)) / 16000;
    QVERIFY2(seconds > shortest && seconds < longest,
             qPrintable(QString("%1 s of sound").arg(seconds)));
    QVERIFY(reports.isEmpty());
}

QTEST_MAIN(Form1Test)
#include "Form1Test.moc"
