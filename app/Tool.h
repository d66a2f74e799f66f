// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <span>
#include <string>

namespace qurimo {

// qurimo-lib run with args (its command line without the program's name): writes what the
// command prints to out and its reports to err, and returns its exit status. An input of
// "-" is read from standard input (descriptor 0).
int runTool(std::span<const std::string> args, std::FILE* out, std::FILE* err);

} // namespace qurimo
