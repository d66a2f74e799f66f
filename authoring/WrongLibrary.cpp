// SPDX-License-Identifier: MIT
#include "WrongLibrary.h"

#include "AuthoringFile.h"
#include "ControlCharacters.h"
#include "LibraryCompiler.h"
#include "RuntimeError.h"

#include <algorithm>
#include <optional>

namespace qurimo {

namespace {

// path as a shell reads it back: as it is when it holds nothing the shell treats apart.
std::string shellWord(const std::string& path) {
    const bool plain = !path.empty() && std::all_of(path.begin(), path.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x80 || (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
               (byte >= '0' && byte <= '9') ||
               std::string_view("/._-+,:@%").find(c) != std::string_view::npos;
    });
    if (plain && path.front() != '-') {
        return path;
    }
    std::string quoted = path.front() == '-' ? "'./" : "'";
    for (char c : path) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// The library compiled from path: beside it, its extension replaced by .dat.
std::string compiledName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    const bool extension =
        dot != std::string::npos && dot > (slash == std::string::npos ? 0 : slash + 1);
    const std::string stem = extension ? path.substr(0, dot) : path;
    return stem + (stem + ".dat" == path ? "-1.dat" : ".dat");
}

// The options that compile path, when it reads as text without control characters but tabs,
// as an authoring file does: its format as the window detects it, simplified where only
// that makes it compile. A file with other faults gets the command too, which names them.
std::optional<AuthoringOptions> compilingOptions(const std::string& path) {
    AuthoringOptions options{AuthoringEncoding::Detect, AuthoringFormat::Detect, false,
                             Audience::CommandLine};
    try {
        const AuthoringText text =
            readAuthoringLines(path, options.encoding, options.format, options.audience);
        const bool plain = std::all_of(text.lines.begin(), text.lines.end(), [](const auto& line) {
            return std::none_of(line.begin(), line.end(),
                                [](char16_t c) { return c != u'\t' && isControlCharacter(c); });
        });
        if (text.stop || text.lines.empty() || !plain) {
            return std::nullopt;
        }
        options.format = text.format;
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
    for (const bool simplified : {false, true}) {
        try {
            checkAuthoringFile(path,
                               {options.encoding, options.format, simplified, options.audience});
            options.simplified = simplified;
            break;
        } catch (const RuntimeError&) {
        }
    }
    return options;
}

} // namespace

std::vector<std::string> wrongLibraryReport(const std::string& path, const LibraryReport& report) {
    if (report.problems.empty()) {
        return {};
    }
    std::vector<std::string> lines{path + " 不是完好的库文件：" + report.problems.front()};
    if (const std::optional<AuthoringOptions> options = compilingOptions(path)) {
        const bool tsv = options->format == AuthoringFormat::Tsv;
        const std::string output = shellWord(compiledName(path));
        lines.push_back(std::string("它是") +
                        (tsv ? "制表符分隔的句对文件" : "英文、中文逐行交替的编写文件") +
                        "，要先编译成库文件：qurimo-lib compile " + (tsv ? "--tsv " : "") +
                        (options->simplified ? "--simplified " : "") + shellWord(path) + " " +
                        output + " && qurimo-lib use " + output);
    }
    return lines;
}

} // namespace qurimo
