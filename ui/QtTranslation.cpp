// SPDX-License-Identifier: MIT
#include "QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace qurimo {

namespace {

// Qt's translation writes Undo as 撤消, the older form of the word; the window writes the
// standard 撤销, as current Chinese desktops do.
class QtChineseTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        QString text = QTranslator::translate(context, sourceText, disambiguation, n);
        text.replace(QStringLiteral("撤消"), QStringLiteral("撤销"));
        return text;
    }
};

} // namespace

void installQtTranslation() {
    auto* translator = new QtChineseTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

} // namespace qurimo
