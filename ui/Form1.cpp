// SPDX-License-Identifier: MIT
#include "Form1.h"

#include "ColourScheme.h"
#include "Form1Layout.h"
#include "QtTranslation.h"
#include "RowOutline.h"
#include "SongFont.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <new>
#include <optional>

namespace qurimo {

namespace {

QString toQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Places w exactly as the layout table says: geometry, initial text, font and text colour.
// scheme, when given, replaces the system's colours.
void place(QWidget* w, std::string_view name, const std::optional<QPalette>& scheme) {
    const layout::Control& entry = layout::control(name);
    w->setObjectName(toQString(name));
    w->setGeometry(layout::pixels(entry.left), layout::pixels(entry.top),
                   layout::pixels(entry.width), layout::pixels(entry.height));
    if (entry.font != layout::Font::Default) {
        w->setFont(songFont(entry.font == layout::Font::SongBold));
    }
    if (scheme || entry.coloured) {
        QPalette palette = scheme ? *scheme : w->palette();
        if (entry.coloured) {
            const QColor colour(entry.textColour.red, entry.textColour.green,
                                entry.textColour.blue);
            palette.setColor(QPalette::WindowText, colour);
            palette.setColor(QPalette::Text, colour);
        }
        w->setPalette(palette);
    }
    for (const layout::Accessible& texts : layout::AccessibleTexts) {
        if (texts.control == name) {
            w->setAccessibleName(toQString(texts.name));
            w->setAccessibleDescription(toQString(texts.description));
        }
    }
}

// Screen readers meet Form1 as the application's window (a frame), named by its caption.
QAccessibleInterface* windowAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("qurimo::Form1") && object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    return nullptr;
}

// Read as the PNG it is: left to guess, Qt would load every image plugin to find out.
QIcon windowIcon32() {
    QImageReader reader(QStringLiteral(":/qurimo-32.png"), "png");
    reader.setAutoDetectImageFormat(false);
    return QIcon(QPixmap::fromImage(reader.read()));
}

QString initialText(std::string_view name) {
    return toQString(layout::control(name).text);
}

} // namespace

Form1::Form1(QString appDir, std::optional<QString> library, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      AppDir(std::move(appDir)), requestedLibrary_(std::move(library)) {
    static const bool applicationWide = [] {
        QAccessible::installFactory(windowAccessible);
        installQtTranslation();
        return true;
    }();
    (void)applicationWide;
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(toQString(layout::Caption));
    setWindowIcon(windowIcon32());
    setFixedSize(layout::pixels(layout::ClientWidth), layout::pixels(layout::ClientHeight));
    // Decided once, from the system palette the window starts with.
    const std::optional<QPalette> scheme =
        colours::isDark(palette()) ? std::optional(colours::standardLight()) : std::nullopt;
    QPalette background = scheme ? *scheme : palette();
    background.setColor(QPalette::Window, background.color(QPalette::HighlightedText));
    setPalette(background);
    setAutoFillBackground(true);

    report_ = [this](const QString& report, ReportKind kind) {
        QWidget* parent = isVisible() ? this : nullptr;
        if (kind == ReportKind::Error) {
            QMessageBox::critical(parent, toQString(layout::Caption), report);
        } else {
            QMessageBox::information(parent, toQString(layout::Caption), report);
        }
    };
    createControls(scheme);
    wireEvents();
    setTabOrder();
}

Form1::~Form1() = default;

void Form1::setReporter(Reporter reporter) {
    report_ = std::move(reporter);
}

void Form1::createControls(const std::optional<QPalette>& scheme) {
    auto label = [&](std::string_view name) {
        auto* l = new QLabel(initialText(name), this);
        place(l, name, scheme);
        l->setTextFormat(Qt::PlainText); // sentences are text, never markup
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    auto multiLine = [&](std::string_view name) {
        auto* t = new QPlainTextEdit(initialText(name), this);
        place(t, name, scheme);
        t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        t->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        t->setTabChangesFocus(true); // Tab walks the tab order instead of typing a TAB
        return t;
    };
    auto singleLine = [&](std::string_view name) {
        auto* t = new QLineEdit(initialText(name), this);
        place(t, name, scheme);
        t->setCursorPosition(0);
        return t;
    };
    auto button = [&](std::string_view name) {
        auto* b = new QPushButton(initialText(name), this);
        place(b, name, scheme);
        b->setAutoDefault(false);
        b->setDefault(false);
        b->setFocusPolicy(Qt::StrongFocus);
        b->installEventFilter(this);
        return b;
    };

    auto sentence = [&label, this](std::string_view name) {
        // A writer copies the sentence with the mouse and Ctrl+C; Tab still passes it by.
        QLabel* l = label(name);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setFocusPolicy(Qt::ClickFocus);
        l->setContextMenuPolicy(Qt::CustomContextMenu); // the sentence menu, not the text's own
        l->installEventFilter(this);
        return l;
    };

    Label1 = sentence("Label1");
    Label2 = sentence("Label2");
    Label3 = label("Label3");
    Text2 = multiLine("Text2");
    List1 = new QListWidget(this);
    place(List1, "List1", scheme);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setSortingEnabled(false);
    List1->setUniformItemSizes(true); // rows of one font: lets the view skip measuring each
    List1->setItemDelegate(new RowOutline(List1));
    List1->installEventFilter(this);
    List1->setContextMenuPolicy(Qt::CustomContextMenu);
    List1->viewport()->installEventFilter(this);
    Text3 = singleLine("Text3");
    Text3->installEventFilter(this);
    Command3 = button("Command3");
    Command2 = button("Command2");
    Command4 = button("Command4");
    Command5 = button("Command5");
    Command7 = button("Command7");
    Text4 = singleLine("Text4");
    Command1 = button("Command1");
    Text1 = multiLine("Text1");
}

void Form1::wireEvents() {
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    // Every change of the selected row, by mouse or keyboard. Tabbing into the list only makes
    // a row current without selecting it, and must not empty the scratch box.
    connect(List1, &QListWidget::itemSelectionChanged, this, &Form1::List1_Click);
    // A scroll area gives the point in its viewport's coordinates.
    connect(List1, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { openSentenceMenu(List1->viewport(), at); });
    for (QLabel* l : {Label1, Label2}) {
        connect(l, &QWidget::customContextMenuRequested, this,
                [this, l](QPoint at) { openSentenceMenu(l, at); });
    }
}

void Form1::setTabOrder() {
    QWidget* previous = nullptr;
    for (std::string_view name : layout::TabOrder) {
        auto* next = findChild<QWidget*>(toQString(name), Qt::FindDirectChildrenOnly);
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, next);
        }
        previous = next;
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == Text3 && type == QEvent::MouseButtonPress) {
        Text3_Click();
    } else if (watched == List1->viewport() &&
               (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
                type == QEvent::MouseButtonRelease) &&
               static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        return true; // the right button opens the row's menu and leaves the selection alone
    } else if (type == QEvent::KeyPress) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (watched == List1 && keyEvent->matches(QKeySequence::Copy)) {
            copySelectedPair();
            return true;
        }
        const bool menuKey = keyEvent->key() == Qt::Key_Menu ||
                             keyEvent->keyCombination() == (Qt::SHIFT | Qt::Key_F10);
        if (menuKey && (watched == List1 || watched == Label1 || watched == Label2)) {
            openSentenceMenuByKey(static_cast<QWidget*>(watched));
            return true;
        }
        // Enter presses the focused button as Space does; no button is a default button.
        const int key = keyEvent->key();
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button != nullptr && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            button->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::setVisible(bool visible) {
    // The load handler runs once, before the window is first shown.
    if (visible && !loaded_) {
        loaded_ = true;
        Form_Load();
        centreOnScreen();
        Command1->setFocus(Qt::OtherFocusReason);
    }
    QWidget::setVisible(visible);
}

void Form1::centreOnScreen() {
    if (const QScreen* s = screen()) {
        const QRect available = s->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }
}

bool Form1::guarded(const std::function<void()>& body,
                    const std::function<QString(const RuntimeError&)>& remedyOf) {
    try {
        body();
        return true;
    } catch (...) {
        const RuntimeError error = errorInFlight();
        QString report = QString::fromStdString(error.what());
        // An internal error concerns no file: there is no remedy to give.
        const bool remedied =
            remedyOf && error.number() != static_cast<int>(ErrorNumber::InternalError);
        const QString remedy = remedied ? remedyOf(error) : QString();
        if (!remedy.isEmpty()) {
            report += QLatin1Char('\n') + remedy;
        }
        report_(report, ReportKind::Error);
    }
    return false;
}

} // namespace qurimo
