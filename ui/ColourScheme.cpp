// SPDX-License-Identifier: MIT
#include "ColourScheme.h"

#include <algorithm>
#include <cmath>

namespace qurimo::colours {

namespace {

double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c) {
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

// WCAG 2 contrast ratio of two opaque colours, 1 to 21.
double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

bool isDark(const QPalette& system) {
    return system.color(QPalette::Window).lightness() <
           system.color(QPalette::WindowText).lightness();
}

QPalette standardLight() {
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    const QColor face(240, 240, 240);
    const QColor grey(120, 120, 120);
    QPalette p(black, face, white, QColor(160, 160, 160), QColor(160, 160, 160), black, white,
               white, face);
    p.setColor(QPalette::Midlight, QColor(227, 227, 227));
    p.setColor(QPalette::Shadow, QColor(105, 105, 105));
    p.setColor(QPalette::AlternateBase, QColor(245, 245, 245));
    p.setColor(QPalette::Highlight, QColor(0, 100, 200));
    p.setColor(QPalette::HighlightedText, white);
    p.setColor(QPalette::Link, QColor(0, 0, 255));
    p.setColor(QPalette::LinkVisited, QColor(128, 0, 128));
    p.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    p.setColor(QPalette::ToolTipText, black);
    p.setColor(QPalette::PlaceholderText, grey);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, grey);
    }
    return p;
}

QColor outlineAgainst(const QColor& inside, const QColor& outside) {
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    const double onBlack = std::min(contrast(black, inside), contrast(black, outside));
    const double onWhite = std::min(contrast(white, inside), contrast(white, outside));
    return onBlack >= onWhite ? black : white;
}

} // namespace qurimo::colours
