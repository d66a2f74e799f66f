// SPDX-License-Identifier: MIT
// The bash completion of qurimo-lib, made from the table of commands when it is built.
#include "ToolCommand.h"

namespace qurimo::tool {

namespace {

// One case of the script: the command's options, which of its operands are file names (a
// digit each), and the options given instead of operands.
std::string commandCase(const Command& command) {
    std::string options;
    std::string alone;
    for (const std::vector<Option>& group : command.options) {
        for (const Option& option : group) {
            options += std::string(option.name) + " ";
            alone += option.alone ? std::string(option.name) + " " : "";
        }
    }
    std::string files;
    for (const Operand& operand : command.operands) {
        files += operand.file ? '1' : '0';
    }
    return "    " + std::string(command.name) + ") options=\"" + options + "\" files=" + files +
           " alone=\"" + alone + "\" ;;\n";
}

} // namespace

std::string completionScript() {
    std::string names;
    std::string cases;
    for (const Command& command : commands()) {
        names += std::string(command.name) + " ";
        cases += commandCase(command);
    }
    return "# SPDX-License-Identifier: MIT\n"
           "# Bash completion for qurimo-lib: its commands, the options of each command, and file\n"
           "# names where a command takes one. Made from qurimo-lib's table of commands.\n"
           "\n"
           "_qurimo_lib() {\n"
           "    local cur prev words cword\n"
           "    _init_completion || return\n"
           "\n"
           "    if ((cword == 1)); then\n"
           "        COMPREPLY=($(compgen -W '" +
           names +
           "--help' -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    local options=\"\" files=\"\" alone=\"\"\n"
           "    case ${words[1]} in\n" +
           cases +
           "    esac\n"
           "    local ended=\"\" operands=0 i\n"
           "    for ((i = 2; i < cword; i++)); do\n"
           "        if [[ -z $ended && ${words[i]} == -- ]]; then\n"
           "            ended=1\n"
           "        elif [[ -n $ended || ${words[i]} != -?* ]]; then\n"
           "            ((operands++))\n"
           "        elif [[ \" $alone \" == *\" ${words[i]} \"* ]]; then\n"
           "            return\n"
           "        fi\n"
           "    done\n"
           "    if [[ -z $ended && $cur == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    if [[ ${files:operands:1} == 1 ]]; then\n"
           "        _filedir\n"
           "    fi\n"
           "} && complete -F _qurimo_lib qurimo-lib\n";
}

} // namespace qurimo::tool
