// SPDX-License-Identifier: MIT
// qurimo-lib compile: an authoring file into a library file.
#include "AuthoringArguments.h"

namespace qurimo::tool {

int compile(const Arguments& args, Console& console) {
    const std::string& input = args.operands[0];
    const AuthoringCheck result =
        CompileLibrary(input, args.operands[1], SlotTable{}, authoringOptions(args)).check;
    noteReading(console, input, result);
    return ExitOk;
}

} // namespace qurimo::tool
