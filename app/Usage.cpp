// SPDX-License-Identifier: MIT
// The usage text of qurimo-lib, made from the table of commands.
#include "ToolCommand.h"

#include <set>
#include <utility>

namespace qurimo::tool {

namespace {

// text, a line at a time, each line after the first indented by later.
std::string indented(std::string_view text, std::string_view first, std::string_view later) {
    std::string out(first);
    for (const char c : text) {
        out += c;
        if (c == '\n') {
            out += later;
        }
    }
    return out + "\n";
}

// "[--utf8|--gbk] [--tsv] 输入文件", the options given instead of the operands as their
// alternative: "[库文件 | --bundled]".
std::string synopsis(const Command& command) {
    std::string line = "  qurimo-lib " + std::string(command.name);
    std::string alone;
    for (const std::vector<Option>& group : command.options) {
        std::string names;
        for (const Option& option : group) {
            names += (names.empty() ? "" : "|") + std::string(option.name);
        }
        if (group.front().alone) {
            alone += " | " + names;
        } else {
            line += " [" + names + "]";
        }
    }
    std::string operands;
    for (std::size_t i = 0; i < command.operands.size(); ++i) {
        const bool optional = command.lastOptional && i + 1 == command.operands.size();
        const std::string name(command.operands[i].name);
        operands += " " + (optional && alone.empty() ? "[" + name + "]" : name);
    }
    return line + (alone.empty() ? operands : " [" + operands.substr(1) + alone + "]");
}

std::string optionHelp(const Option& option) {
    constexpr std::size_t Column = 8;
    const std::string name(option.name);
    const std::string padded =
        name + std::string(name.size() + 2 < Column ? Column - name.size() : 2, ' ');
    return indented(option.help, "      " + padded, "              ");
}

std::string exitStatuses() {
    std::string text = "退出码:\n";
    const std::vector<Command>& table = commands();
    for (std::size_t i = 0; i < table.size();) {
        std::string names(table[i].name);
        std::size_t next = i + 1;
        for (; next < table.size() && table[next].exitStatuses == table[i].exitStatuses; ++next) {
            names += "、" + std::string(table[next].name);
        }
        text += "  " + names + ": " + std::string(table[i].exitStatuses) + "\n";
        i = next;
    }
    return text;
}

} // namespace

std::string usageText() {
    std::string text = "用法:\n";
    std::set<std::pair<std::string_view, std::string_view>> described;
    for (const Command& command : commands()) {
        text += synopsis(command) + "\n" + indented(command.help, "      ", "      ");
        for (const std::vector<Option>& group : command.options) {
            for (const Option& option : group) {
                if (described.insert({option.name, option.help}).second) {
                    text += optionHelp(option);
                }
            }
        }
    }
    return text +
           "  qurimo-lib --help\n"
           "      显示本说明。\n"
           "  qurimo-lib --version\n"
           "      显示版本。\n"
           "  -- 结束选项：其后以 - 开头的参数（例如要查找的关键字）不再当作选项。\n"
           "\n"
           "写到终端时，句子、文件和文件名中的控制字符（包括 U+202E 这样的双向控制字符）\n"
           "写成 \\x1b、\\u202e 这样的转义；标准错误上的错误和提示总是这样写。\n"
           "\n" +
           exitStatuses();
}

} // namespace qurimo::tool
