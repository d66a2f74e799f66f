// SPDX-License-Identifier: MIT
// qurimo-lib: compiles authoring files into library files, checks them, dumps, searches and
// verifies library files, and sets the library the window reads.
#include "Tool.h"

#include <csignal>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // A file-size limit then fails the write, which leaves the old output whole, instead of
    // killing the tool midway.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return qurimo::runTool(args, stdout, stderr);
}
