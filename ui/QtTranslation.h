// SPDX-License-Identifier: MIT
#pragma once

namespace qurimo {

// Loads Qt's own texts (the "确定" of a message box, the "撤销" and "复制" of a box's context
// menu) in simplified Chinese whatever the locale, as the rest of the window is. Without the
// translation (Debian package qt6-translations-l10n) they stay English.
void installQtTranslation();

} // namespace qurimo
