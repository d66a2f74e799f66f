// SPDX-License-Identifier: MIT
// Writes the window's caption and geometry, read from its layout table, as shell variables for
// the scripts and tests that drive the real window, which source the file (build/window.sh):
// QURIMO_CAPTION, QURIMO_CAPTION_PATTERN (a regular expression matching exactly the caption),
// QURIMO_WIDTH and QURIMO_HEIGHT, and per control QURIMO_<name> as "left top width height" in
// pixels of the client area.
//
//   window_facts OUTPUT

#include "Form1Layout.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

std::string captionPattern() {
    constexpr std::string_view Special = "[].*^$\\";
    std::string pattern = "^";
    for (char c : qurimo::layout::Caption) {
        if (Special.find(c) != std::string_view::npos) {
            pattern += '\\';
        }
        pattern += c;
    }
    return pattern + "$";
}

std::string facts() {
    using namespace qurimo::layout;
    std::string text = "# Written by the build from ui/Form1Layout.h.\n";
    text += "QURIMO_CAPTION='" + std::string(Caption) + "'\n";
    text += "QURIMO_CAPTION_PATTERN='" + captionPattern() + "'\n";
    text += "QURIMO_WIDTH=" + std::to_string(pixels(ClientWidth)) + "\n";
    text += "QURIMO_HEIGHT=" + std::to_string(pixels(ClientHeight)) + "\n";
    for (const Control& c : Controls) {
        text += "QURIMO_" + std::string(c.name) + "='" + std::to_string(pixels(c.left)) + " " +
                std::to_string(pixels(c.top)) + " " + std::to_string(pixels(c.width)) + " " +
                std::to_string(pixels(c.height)) + "'\n";
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: window_facts OUTPUT\n", stderr);
        return 2;
    }
    const std::string text = facts();
    std::FILE* out = std::fopen(argv[1], "w");
    const bool written = out != nullptr && std::fputs(text.c_str(), out) >= 0;
    if (out == nullptr || std::fclose(out) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
