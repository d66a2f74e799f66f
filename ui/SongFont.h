// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>

namespace qurimo {

// "宋体" 12 pt, regular or bold. Linux desktops rarely have that face, so the first call
// registers Song-style substitutes: AR PL UMing, then Noto Serif CJK, then any CJK font.
QFont songFont(bool bold);

} // namespace qurimo
