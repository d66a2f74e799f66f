// SPDX-License-Identifier: MIT
// qurimo-lib check: an authoring file read and checked as compile does, nothing written.
#include "AuthoringArguments.h"
#include "AuthoringFile.h"

namespace qurimo::tool {

int check(const Arguments& args, Console& console) {
    const std::string& input = args.operands[0];
    const AuthoringCheck result = checkAuthoringFile(input, authoringOptions(args));
    noteReading(console, input, result);
    return console.write(console.shown(inputName(input)) + ": " + std::to_string(result.pairs) +
                         " 对句子，按 " + encodingName(result.encoding) + " 读取\n")
               ? ExitOk
               : ExitError;
}

} // namespace qurimo::tool
