// SPDX-License-Identifier: MIT
// qurimo-lib run in the test's own process, its output and reports caught in files.
#pragma once

#include "Tool.h"

#include <cstdio>
#include <string>
#include <vector>

namespace qurimo::test {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

inline std::string contentsOf(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        text += static_cast<char>(c);
    }
    std::fclose(file);
    return text;
}

inline ToolRun runTool(const std::vector<std::string>& args) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = qurimo::runTool(args, out, err);
    return {status, contentsOf(out), contentsOf(err)};
}

} // namespace qurimo::test
