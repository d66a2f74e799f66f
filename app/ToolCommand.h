// SPDX-License-Identifier: MIT
// What the commands of qurimo-lib share: their arguments, where they write, and the table of
// commands and options that the parser, the usage text and the bash completion are made from.
#pragma once

#include "RuntimeError.h"

#include <cstdio>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qurimo::tool {

inline constexpr int ExitOk = 0;
inline constexpr int ExitError = 1;
inline constexpr int ExitUsage = 2;

struct Arguments {
    std::set<std::string, std::less<>> options;
    std::vector<std::string> operands;

    bool has(std::string_view option) const { return options.contains(option); }
};

// Where a command writes: its output and its reports.
class Console {
public:
    Console(std::FILE* out, std::FILE* err);

    // Whether output goes to a terminal, which takes control characters for commands.
    bool terminal() const { return terminal_; }
    // What output gets of a text from a file or the command line: escaped on a terminal, as
    // it is elsewhere, where it is data.
    std::string shown(std::string_view text) const;
    std::string shown(std::u16string_view text) const;

    // Writes text to output; false, reported, when output did not take it all.
    bool write(std::string_view text);
    // Writes a piece of a longer output: failures are reported by finish().
    void writePiece(std::string_view piece);
    // Flushes output; false, reported, when it did not take all that was written to it.
    bool finish();

    // A line on the reports: escaped wherever they go, as a log is read in a terminal too.
    void report(const std::string& line) const;
    // The report of a run-time error, its file's name escaped whole so that a line end in it
    // starts no line of the report; the detail keeps its own.
    void report(const RuntimeError& error) const;
    // One line says what is wrong, one where the usage is: the whole help would bury the first.
    int usageError(const std::string& message) const;

private:
    std::FILE* out_;
    std::FILE* err_;
    bool terminal_;
    bool written_ = true;
};

struct Option {
    std::string_view name;
    std::string help;   // lines of the usage text; empty: as for an earlier command
    bool alone = false; // given instead of the operands
};

struct Operand {
    std::string_view name;
    bool file; // completed as a file name
};

struct Command {
    std::string_view name;
    int (*run)(const Arguments&, Console&);
    std::string help;                         // lines of the usage text
    std::vector<std::vector<Option>> options; // the options of one group exclude each other
    std::vector<Operand> operands;
    bool lastOptional;             // the last operand may be left out
    std::string_view operandError; // when the operands do not fit
    int errorStatus;               // for errors that are not of usage
    std::string_view exitStatuses; // the line of the usage text
};

// The commands of qurimo-lib, in the order of the usage text.
const std::vector<Command>& commands();

// The command line of command (after its name) parsed against its row: the usage error to
// report, or none with parsed filled.
std::string parseArguments(const Command& command, std::span<const std::string> args,
                           Arguments& parsed);

std::string usageText();
// The bash completion of qurimo-lib, made from the same table.
std::string completionScript();

int compile(const Arguments& args, Console& console);
int check(const Arguments& args, Console& console);
int dump(const Arguments& args, Console& console);
int search(const Arguments& args, Console& console);
int verify(const Arguments& args, Console& console);
int use(const Arguments& args, Console& console);

} // namespace qurimo::tool
