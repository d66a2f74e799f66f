// SPDX-License-Identifier: MIT
// The one parser of every command's arguments, driven by the command's row.
#include "ToolCommand.h"

#include <algorithm>

namespace qurimo::tool {

namespace {

const Option* findOption(const Command& command, std::string_view name) {
    for (const std::vector<Option>& group : command.options) {
        for (const Option& option : group) {
            if (option.name == name) {
                return &option;
            }
        }
    }
    return nullptr;
}

// The two options of one group given together, joined for the error; empty when none are.
std::string clash(const Command& command, const Arguments& parsed) {
    for (const std::vector<Option>& group : command.options) {
        std::vector<std::string_view> given;
        for (const Option& option : group) {
            if (parsed.has(option.name)) {
                given.push_back(option.name);
            }
        }
        if (given.size() > 1) {
            return std::string(given[0]) + " 和 " + std::string(given[1]) + " 只能选一个";
        }
    }
    return {};
}

bool operandsFit(const Command& command, std::size_t given) {
    const std::size_t all = command.operands.size();
    return given == all || (command.lastOptional && given + 1 == all);
}

} // namespace

std::string parseArguments(const Command& command, std::span<const std::string> args,
                           Arguments& parsed) {
    bool optionsEnded = false;
    const Option* alone = nullptr;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.starts_with("-") && arg != "-") {
            const Option* option = findOption(command, arg);
            if (option == nullptr) {
                return std::string(command.name) + " 没有选项 " + arg;
            }
            alone = option->alone ? option : alone;
            parsed.options.insert(arg);
        } else {
            parsed.operands.push_back(arg);
        }
    }
    if (std::string both = clash(command, parsed); !both.empty()) {
        return both;
    }
    if (alone != nullptr && !parsed.operands.empty()) {
        return std::string(command.name) + " " + std::string(alone->name) + " 不带" +
               std::string(command.operands.back().name) + "参数";
    }
    return operandsFit(command, parsed.operands.size()) ? std::string()
                                                        : std::string(command.operandError);
}

} // namespace qurimo::tool
