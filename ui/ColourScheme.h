// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QPalette>

namespace qurimo::colours {

// The window's fixed colours (blue, red and purple text on white) were chosen for the standard
// light scheme. Under a dark system palette the window keeps that scheme, spelled out here,
// because a dark theme's own "standard palette" is dark too.
bool isDark(const QPalette& system);
QPalette standardLight();

// Black or white, whichever stands out more against both colours.
QColor outlineAgainst(const QColor& inside, const QColor& outside);

} // namespace qurimo::colours
