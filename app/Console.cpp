// SPDX-License-Identifier: MIT
#include "ControlCharacters.h"
#include "ToolCommand.h"
#include "Utf8.h"

#include <unistd.h>

namespace qurimo::tool {

Console::Console(std::FILE* out, std::FILE* err)
    : out_(out), err_(err), terminal_(::isatty(::fileno(out)) == 1) {}

std::string Console::shown(std::string_view text) const {
    return terminal_ ? escapeControlsUtf8(text) : std::string(text);
}

std::string Console::shown(std::u16string_view text) const {
    return toUtf8(terminal_ ? escapeControls(text) : std::u16string(text));
}

bool Console::write(std::string_view text) {
    writePiece(text);
    return finish();
}

void Console::writePiece(std::string_view piece) {
    written_ = written_ && std::fwrite(piece.data(), 1, piece.size(), out_) == piece.size();
}

bool Console::finish() {
    if (!written_ || std::fflush(out_) != 0) {
        written_ = false;
        report("无法写入标准输出");
    }
    return written_;
}

void Console::report(const std::string& line) const {
    std::fprintf(err_, "qurimo-lib: %s\n", escapeControlsUtf8(line).c_str());
}

void Console::report(const RuntimeError& error) const {
    std::fprintf(err_, "qurimo-lib: %s\n",
                 composeReport(static_cast<ErrorNumber>(error.number()),
                               escapeControlsUtf8(error.path()), error.line(),
                               escapeControlsUtf8(error.detail(), u"\n"))
                     .c_str());
}

int Console::usageError(const std::string& message) const {
    std::fprintf(err_, "qurimo-lib: %s\n用法见 qurimo-lib --help\n",
                 escapeControlsUtf8(message).c_str());
    return ExitUsage;
}

} // namespace qurimo::tool
