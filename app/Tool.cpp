// SPDX-License-Identifier: MIT
#include "Tool.h"

#include "ToolCommand.h"

#include <algorithm>

namespace qurimo {

using namespace tool;

int runTool(std::span<const std::string> args, std::FILE* out, std::FILE* err) {
    Console console(out, err);
    if (args.empty()) {
        return console.usageError("缺少命令");
    }
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        return console.write(usageText()) ? ExitOk : ExitError;
    }
    if (args.size() == 1 && args[0] == "--version") {
        return console.write("qurimo-lib " QURIMO_VERSION "\n") ? ExitOk : ExitError;
    }
    const auto found = std::ranges::find(commands(), args[0], &Command::name);
    if (found == commands().end()) {
        return console.usageError("没有 " + args[0] + " 这个命令");
    }
    Arguments parsed;
    const std::string misuse = parseArguments(*found, args.subspan(1), parsed);
    if (!misuse.empty()) {
        return console.usageError(misuse);
    }
    try {
        return found->run(parsed, console);
    } catch (...) {
        console.report(errorInFlight());
    }
    return found->errorStatus;
}

} // namespace qurimo
