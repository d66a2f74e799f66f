// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>

namespace qurimo {

// "宋体" 12 pt, regular or bold, for Chinese; Latin letters, digits and ASCII punctuation come
// from a Latin serif placed ahead of it in the same family list, since the Song faces of Linux
// desktops draw l like 1 and O like 0. Qt's per-character fallback gives each script its font.
// The first call registers Song-style substitutes for "宋体": AR PL UMing, then Noto Serif CJK,
// then any CJK font.
QFont songFont(bool bold);

} // namespace qurimo
