// SPDX-License-Identifier: MIT
#pragma once

#include "LibraryLocation.h"
#include "RuntimeError.h"
#include "SlotTable.h"

#include <QPalette>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTextToSpeech;

namespace qurimo {

// The one window: a list of the library's sentences, a keyword search, the selected sentence
// in two large labels that can each be hidden, a scratch box, and the hidden button that
// compiles the authoring file.
class Form1 : public QWidget {
    Q_OBJECT

public:
    // appDir is the program's folder, where the bundled library lies; empty means the folder
    // of the executable's real path. library, when given, is the library file named on the
    // command line, read instead of the per-user one or the bundled one.
    explicit Form1(QString appDir = {}, std::optional<QString> library = std::nullopt,
                   QWidget* parent = nullptr);
    ~Form1() override;

    // What a report to the user is: a run-time error that stopped what was asked, or a note
    // on what was done all the same.
    enum class ReportKind { Error, Note };
    // Shows a report to the user. The default is a modal message box.
    using Reporter = std::function<void(const QString& report, ReportKind kind)>;
    void setReporter(Reporter reporter);

    void setVisible(bool visible) override;

    // The files of the hidden button "写文件", in the desktop's download folder: it compiles
    // the authoring file into the library file.
    static constexpr char AuthoringFileName[] = "范句.txt";
    static constexpr char CompiledFileName[] = "111.dat";

public slots:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command7_Click();
    void List1_Click();
    void Text3_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // scheme, when given, replaces the system's colours on the window and every control.
    void createControls(const std::optional<QPalette>& scheme);
    void wireEvents();
    void setTabOrder();
    void centreOnScreen();
    // Locates, reads and decodes the library, as 全  部 lists it.
    SlotTable readLibrary();
    // Puts the chosen slots of Library into View from its slot 0 on, the rest emptied, and
    // lists them.
    void showSlots(const std::vector<int>& chosen);
    void fillList();
    void showSlotZero();
    void copySelectedPair();
    // The menu of the sentence at `at` in `over` (List1's viewport or a label): hear the
    // English, copy either side or both. Nothing else in the window changes.
    void openSentenceMenu(QWidget* over, QPoint at);
    // The English and Chinese at `at`; none where no sentence lies.
    std::optional<std::pair<QString, QString>> sentenceAt(QWidget* over, QPoint at);
    // The key that opens the menu where the keyboard focus is.
    void openSentenceMenuByKey(QWidget* control);
    void speak(const QString& english);
    // One line on what the user can do about a library that could not be listed.
    QString listingRemedy(const RuntimeError& error) const;
    QString besideProgramRemedy() const;
    // Runs a handler's body; a run-time error stops it and is reported, with what remedyOf
    // says the user can do, and the program goes on.
    bool guarded(const std::function<void()>& body,
                 const std::function<QString(const RuntimeError&)>& remedyOf = {});

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command7 = nullptr;

    QString AppDir;
    QString LibraryPath;
    SlotTable Library;
    SlotTable View;

    LibrarySource librarySource_ = LibrarySource::BesideProgram;
    std::optional<QString> requestedLibrary_;
    Reporter report_;
    bool loaded_ = false;
    // Made on the first 朗读英文: loading a speech engine would slow every start.
    QTextToSpeech* speech_ = nullptr;
};

} // namespace qurimo
