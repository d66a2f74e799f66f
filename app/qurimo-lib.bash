# SPDX-License-Identifier: MIT
# Bash completion for qurimo-lib: its commands, the options of each command, and file names.

_qurimo_lib() {
    local cur prev words cword
    _init_completion || return

    local command="" ended="" operands=0 i
    for ((i = 1; i < cword; i++)); do
        if [[ -z $command ]]; then
            command=${words[i]}
        elif [[ -z $ended && ${words[i]} == -- ]]; then
            ended=1
        elif [[ -n $ended || ${words[i]} != -?* ]]; then
            ((operands++))
        fi
    done

    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W 'compile check dump search verify use --help' -- "$cur"))
        return
    fi

    local options=""
    case $command in
    compile | check) options="--utf8 --gbk --tsv --simplified" ;;
    dump) options="--utf8 --gbk --tsv" ;;
    search) options="--chinese" ;;
    use) options="--bundled" ;;
    esac
    if [[ -z $ended && $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    # the keyword of search is the user's own, its library may follow; use takes one library,
    # or --bundled alone
    if [[ $command == search && $operands -ne 1 ]]; then
        return
    fi
    if [[ $command == use && ($operands -gt 0 || " ${words[*]:1:cword-1} " == *" --bundled "*) ]]; then
        return
    fi
    _filedir
} && complete -F _qurimo_lib qurimo-lib
