// SPDX-License-Identifier: MIT
// The handlers of Form1: start-up, full listing, keyword search, sentence display, the two
// toggles, the keyword box, exit and the library compiler.

#include "Form1.h"
#include "LibraryCompiler.h"
#include "LibraryFile.h"
#include "LibrarySearch.h"
#include "LibraryVerify.h"
#include "Module1.h"
#include "SimplifiedChinese.h"
#include "UserFolders.h"
#include "WrongLibrary.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextToSpeech>
#include <numeric>

namespace qurimo {

namespace {

constexpr int SlotRole = Qt::UserRole;

QString toQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

std::string toPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString fromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::vector<int> everySlot() {
    std::vector<int> every(SlotTable::SlotCount);
    std::iota(every.begin(), every.end(), 0);
    return every;
}

// Text1's full listing: each filled slot's English, its Chinese and an empty line, each line
// ended by CR LF. Sized first and built in place: the text goes into the box as it is.
QString listingOf(const SlotTable& table) {
    constexpr QStringView LineEnd = u"\r\n";
    constexpr qsizetype LineEndsPerPair = 3;
    qsizetype size = 0;
    for (int i = 0; i < SlotTable::SlotCount; ++i) {
        const Sentence& sentence = table.at(i);
        if (isFilled(sentence)) {
            size += static_cast<qsizetype>(sentence.English.size() + sentence.Chinese.size()) +
                    LineEndsPerPair * LineEnd.size();
        }
    }
    QString listing;
    listing.reserve(size);
    for (int i = 0; i < SlotTable::SlotCount; ++i) {
        const Sentence& sentence = table.at(i);
        if (isFilled(sentence)) {
            listing += QStringView(sentence.English);
            listing += LineEnd;
            listing += QStringView(sentence.Chinese);
            listing += LineEnd;
            listing += LineEnd;
        }
    }
    return listing;
}

QString pairText(const QString& english, const QString& chinese) {
    return english + QLatin1Char('\n') + chinese;
}

void copyText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

QString noSpeechReason() {
    return QStringLiteral("没有能用的语音引擎：请安装 qt6-speech-flite-plugin（离线的英文语音），"
                          "或 qt6-speech-speechd-plugin 和 speech-dispatcher（桌面的语音服务）。");
}

// English (US) through the desktop's speech service, which keeps the user's own voice
// settings, where it runs; otherwise through Flite. Null when neither starts.
QTextToSpeech* makeSpeech(QObject* parent) {
    const QStringList installed = QTextToSpeech::availableEngines();
    for (const QString& engine : {QStringLiteral("speechd"), QStringLiteral("flite")}) {
        if (!installed.contains(engine)) {
            continue;
        }
        auto* speech = new QTextToSpeech(engine, parent);
        if (speech->state() != QTextToSpeech::Error) {
            speech->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
            return speech;
        }
        delete speech;
    }
    return nullptr;
}

} // namespace

void Form1::Form_Load() {
    if (AppDir.isEmpty()) {
        AppDir = QCoreApplication::applicationDirPath();
    }
    Command2_Click();
}

void Form1::Command2_Click() {
    List1->clear();
    std::vector<std::string> wrong;
    const bool listed = guarded(
        [this, &wrong] {
            Library = readLibrary();
            Text1->setPlainText(listingOf(Library));
            showSlots(everySlot());
            // Any file is listed as far as it reads; one named by the user that is no whole
            // library (an authoring file, a picture) is said to be so.
            if (librarySource_ == LibrarySource::Argument) {
                wrong =
                    wrongLibraryReport(toPath(LibraryPath), verifyLibraryFile(toPath(LibraryPath)));
            }
        },
        [this](const RuntimeError& error) { return listingRemedy(error); });
    if (!listed) {
        // Nothing stays behind the empty screen for Go! to find.
        Library.reset();
        View.clearStrings();
        Text1->clear();
        Label1->clear();
        Label2->clear();
    } else if (!wrong.empty()) {
        QStringList lines;
        for (const std::string& line : wrong) {
            lines << QString::fromStdString(line);
        }
        report_(lines.join(QLatin1Char('\n')), ReportKind::Note);
    }
}

SlotTable Form1::readLibrary() {
    // Found again each time, so that a library set with qurimo-lib use meanwhile is read.
    const std::optional<std::string> argument =
        requestedLibrary_ ? std::optional(toPath(*requestedLibrary_)) : std::nullopt;
    const LibraryLocation location = locateLibrary(argument, toPath(AppDir));
    LibraryPath = fromPath(location.path);
    librarySource_ = location.source;
    if (librarySource_ == LibrarySource::PerUser) {
        requireOwnFolder(toPath(QFileInfo(LibraryPath).path()));
    }
    SlotTable table;
    ReadLibraryFile(location.path, table, whenMissing(librarySource_));
    decodeTable(table);
    return table;
}

QString Form1::listingRemedy(const RuntimeError& error) const {
    const QFileInfo file(LibraryPath);
    const QString shown = QDir::toNativeSeparators(LibraryPath);
    if (error.number() == static_cast<int>(ErrorNumber::OutOfMemory)) {
        return {}; // nothing wrong with the file
    }
    if (file.exists() && !file.isFile()) {
        return QStringLiteral("%1 不是例句库文件：请把它移走或改名，再按“全  部”。").arg(shown);
    }
    switch (librarySource_) {
    case LibrarySource::Argument:
        return file.exists()
                   ? QStringLiteral("请确认当前用户可以读取命令行中给出的 %1。").arg(shown)
                   : QStringLiteral("命令行中给出的词库文件 %1 不存在：请检查文件名。程序不会"
                                    "新建它。")
                         .arg(shown);
    case LibrarySource::PerUser:
        return QStringLiteral("这是 qurimo-lib use 设定的按用户词库 %1：请确认当前用户可以读取它，")
                   .arg(shown) +
               QStringLiteral("或用 qurimo-lib use --bundled 改回程序自带的词库。");
    case LibrarySource::BesideProgram:
        break;
    }
    return besideProgramRemedy();
}

QString Form1::besideProgramRemedy() const {
    const QFileInfo folder(AppDir);
    const QString name =
        QString::fromUtf8(LibraryFileName.data(), static_cast<qsizetype>(LibraryFileName.size()));
    if (!QFileInfo::exists(LibraryPath) && folder.isDir() && !folder.isWritable()) {
        return QStringLiteral(
                   "文件夹 %1 是只读的，无法在其中新建 %2：没有按用户设置的词库时，程序"
                   "在自己所在的这个文件夹中查找 %2。请用 qurimo-lib use 设定自己的词库，"
                   "或让这个文件夹可写。")
            .arg(QDir::toNativeSeparators(AppDir), name);
    }
    return QStringLiteral("程序在 %1 中查找 %2：请确认它存在，并且当前用户可以读取它。")
        .arg(QDir::toNativeSeparators(AppDir), name);
}

void Form1::Command3_Click() {
    List1->clear();
    guarded([this] {
        const std::u16string keyword = Text3->text().toStdU16String();
        showSlots(FindSentences(Library, searchForms(keyword), sideOf(keyword)));
    });
}

void Form1::showSlots(const std::vector<int>& chosen) {
    View.clearStrings();
    for (std::size_t row = 0; row < chosen.size(); ++row) {
        Sentence& shown = View.at(static_cast<int>(row));
        shown.Chinese = Library.at(chosen[row]).Chinese;
        shown.English = Library.at(chosen[row]).English;
    }
    fillList();
    showSlotZero();
}

void Form1::fillList() {
    // Each row keeps the View slot it stands for, so a row shows its own sentence even when
    // blank slots lie between filled ones.
    List1->setUpdatesEnabled(false);
    for (int i = 0; i < SlotTable::SlotCount; ++i) {
        const Sentence& sentence = View.at(i);
        if (isFilled(sentence)) {
            auto* row = new QListWidgetItem(toQString(sentence.Chinese));
            row->setData(SlotRole, i);
            List1->addItem(row);
        }
    }
    List1->setUpdatesEnabled(true);
}

void Form1::showSlotZero() {
    Label1->setText(toQString(View.at(0).English));
    Label2->setText(toQString(View.at(0).Chinese));
}

void Form1::List1_Click() {
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    if (selected.isEmpty()) {
        return; // the list was emptied or the selection cleared: nothing to show
    }
    // Emptied as an edit of its own, so Ctrl+Z in the box brings the user's notes back.
    QTextCursor scratch(Text2->document());
    scratch.select(QTextCursor::Document);
    scratch.removeSelectedText();
    guarded([&] {
        const Sentence& sentence = View.at(selected.front()->data(SlotRole).toInt());
        Text1->setPlainText(toQString(sentence.English));
        Label1->setText(toQString(sentence.English));
        Label2->setText(toQString(sentence.Chinese));
    });
}

void Form1::copySelectedPair() {
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    guarded([&] {
        const Sentence& sentence = View.at(selected.front()->data(SlotRole).toInt());
        copyText(pairText(toQString(sentence.English), toQString(sentence.Chinese)));
    });
}

std::optional<std::pair<QString, QString>> Form1::sentenceAt(QWidget* over, QPoint at) {
    if (over != List1->viewport()) {
        return std::pair(Label1->text(), Label2->text()); // shown even when hidden
    }
    const QListWidgetItem* row = List1->itemAt(at);
    std::optional<std::pair<QString, QString>> found;
    if (row != nullptr) {
        guarded([&] {
            const Sentence& sentence = View.at(row->data(SlotRole).toInt());
            found.emplace(toQString(sentence.English), toQString(sentence.Chinese));
        });
    }
    return found;
}

void Form1::openSentenceMenu(QWidget* over, QPoint at) {
    const auto sentence = sentenceAt(over, at);
    if (!sentence || (sentence->first.isEmpty() && sentence->second.isEmpty())) {
        return;
    }
    const auto& [english, chinese] = *sentence;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* speakItem = menu->addAction(QStringLiteral("朗读英文"), this,
                                         [this, english = english] { speak(english); });
    if (QTextToSpeech::availableEngines().isEmpty()) {
        speakItem->setEnabled(false);
        speakItem->setToolTip(noSpeechReason());
        menu->setToolTipsVisible(true);
    }
    menu->addAction(QStringLiteral("复制英文"), this, [english = english] { copyText(english); });
    menu->addAction(QStringLiteral("复制中文"), this, [chinese = chinese] { copyText(chinese); });
    menu->addAction(QStringLiteral("复制英文和中文"), this,
                    [both = pairText(english, chinese)] { copyText(both); });
    menu->popup(over->mapToGlobal(at));
}

void Form1::openSentenceMenuByKey(QWidget* control) {
    if (control != List1) {
        openSentenceMenu(control, QPoint(0, control->fontMetrics().height()));
    } else if (QListWidgetItem* row = List1->currentItem()) {
        List1->scrollToItem(row);
        openSentenceMenu(List1->viewport(), List1->visualItemRect(row).center());
    }
}

void Form1::speak(const QString& english) {
    if (speech_ == nullptr) {
        speech_ = makeSpeech(this);
    }
    if (speech_ == nullptr) {
        report_(noSpeechReason(), ReportKind::Note);
        return;
    }
    speech_->say(english); // cuts short a sentence still being read
}

void Form1::Command4_Click() {
    const bool hide = !Label1->isHidden();
    Label1->setVisible(!hide);
    Command4->setText(hide ? QStringLiteral("显示英文") : QStringLiteral("隐藏英文"));
}

void Form1::Command5_Click() {
    const bool hide = !Label2->isHidden();
    Label2->setVisible(!hide);
    Command5->setText(hide ? QStringLiteral("显示中文") : QStringLiteral("隐藏中文"));
}

void Form1::Text3_Click() {
    Text3->clear();
}

void Form1::Command7_Click() {
    close();
}

void Form1::Command1_Click() {
    // Its files lie in the desktop's download folder, where a browser saves what the user
    // fetches. The compiler works on a copy of Library, which keeps its plain text; a failure
    // writes nothing and changes nothing.
    QString folder;
    QString input;
    bool swapped = false;
    const bool compiled = guarded(
        [&] {
            folder = fromPath(downloadFolder());
            input = folder + QLatin1Char('/') + QString::fromUtf8(AuthoringFileName);
            // Read as qurimo-lib compile --tsv reads it where every line holds a tab: an Anki
            // or Tatoeba export saved under the name.
            swapped = CompileLibrary(
                          toPath(input),
                          toPath(folder + QLatin1Char('/') + QString::fromUtf8(CompiledFileName)),
                          Library, {.format = AuthoringFormat::Detect})
                          .check.swappedPairs;
        },
        [&](const RuntimeError&) {
            return folder.isEmpty()
                       ? QStringLiteral("“写文件”从这个文件得知桌面的下载文件夹。")
                       : QStringLiteral("“写文件”在桌面的下载文件夹 %1 中读取 %2，写入 %3。")
                             .arg(QDir::toNativeSeparators(folder),
                                  QString::fromUtf8(AuthoringFileName),
                                  QString::fromUtf8(CompiledFileName));
        });
    if (compiled && swapped) {
        report_(QString::fromStdString(swappedPairsNote(toPath(input))), ReportKind::Note);
    }
}

} // namespace qurimo
