// SPDX-License-Identifier: MIT
// qurimo-lib use: which library the window reads, and the user's own set or removed.
#include "LibraryLocation.h"
#include "ToolCommand.h"
#include "WrongLibrary.h"

namespace qurimo::tool {

namespace {

int backToBundled(Console& console) {
    const std::string perUser = console.shown(perUserLibraryPath());
    const std::string bundled = console.shown(libraryBeside(windowFolder()));
    const std::string said = removeOwnLibrary()
                                 ? "已删除按用户设置的词库 " + perUser + "，窗口改回读取 "
                                 : "没有按用户设置的词库 " + perUser + "，窗口读取 ";
    return console.write(said + bundled + "\n") ? ExitOk : ExitError;
}

int showLibrary(Console& console) {
    const LibraryLocation location = locateLibrary(std::nullopt, windowFolder());
    return console.write(console.shown(location.path) + ": " + describeSource(location.source) +
                         "\n")
               ? ExitOk
               : ExitError;
}

} // namespace

int use(const Arguments& args, Console& console) {
    if (args.has("--bundled")) {
        return backToBundled(console);
    }
    if (args.operands.empty()) {
        return showLibrary(console);
    }
    const std::string& source = args.operands[0];
    const LibraryReport report = setOwnLibrary(source);
    if (!report.problems.empty()) {
        for (const std::string& line : wrongLibraryReport(source, report)) {
            console.report(line);
        }
        return ExitError;
    }
    return console.write(console.shown(perUserLibraryPath()) + "\n") ? ExitOk : ExitError;
}

} // namespace qurimo::tool
