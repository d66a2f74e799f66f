// SPDX-License-Identifier: MIT
// Writes the bash completion of qurimo-lib to standard output, for the build to install.
#include "ToolCommand.h"

#include <cstdio>

int main() {
    const std::string script = qurimo::tool::completionScript();
    return std::fwrite(script.data(), 1, script.size(), stdout) == script.size() &&
                   std::fflush(stdout) == 0
               ? 0
               : 1;
}
