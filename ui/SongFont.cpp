// SPDX-License-Identifier: MIT
#include "SongFont.h"

#include <QStringList>

namespace qurimo {

namespace {

const QString SongFace = QStringLiteral("宋体");
const QString LatinSerif = QStringLiteral("Liberation Serif");

void registerSubstitutes() {
    static const bool registered = [] {
        const QStringList substitutes{
            QStringLiteral("AR PL UMing CN"),      QStringLiteral("Noto Serif CJK SC"),
            QStringLiteral("Noto Sans CJK SC"),    QStringLiteral("WenQuanYi Zen Hei"),
            QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Droid Sans Fallback"),
        };
        QFont::insertSubstitutions(SongFace, substitutes);
        QFont::insertSubstitutions(QStringLiteral("SimSun"), substitutes);
        return true;
    }();
    (void)registered;
}

} // namespace

QFont songFont(bool bold) {
    registerSubstitutes();
    QFont font(SongFace, 12, bold ? QFont::Bold : QFont::Normal);
    font.setFamilies({LatinSerif, SongFace});
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

} // namespace qurimo
