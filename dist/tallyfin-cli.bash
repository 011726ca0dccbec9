# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

# bash completion for tallyfin-cli: its commands, their options and the kinds of machine.

_tallyfin_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local words=""
    COMPREPLY=()
    if ((COMP_CWORD == 1)); then
        words="decode features signal monitor replay export --help --version"
    else
        case ${COMP_WORDS[1]} in
        decode)
            ((COMP_CWORD == 2)) && words="bike rower treadmill crossTrainer heartRate --help"
            ;;
        features)
            ((COMP_CWORD == 2)) && words="--help"
            ;;
        signal)
            case $prev in
            --app-id | --base-url | --namespace) return ;;
            esac
            [[ $cur == -* ]] && words="--app-id --base-url --namespace --test-mode --session --help"
            ;;
        monitor)
            case $prev in
            --name | --seconds) return ;;
            --log | --record)
                compopt -o filenames 2>/dev/null
                mapfile -t COMPREPLY < <(compgen -f -- "$cur")
                return
                ;;
            esac
            words="--demo --name --seconds --log --record --help"
            ;;
        export)
            case $prev in
            --date) return ;;
            esac
            if [[ $prev != --to && $cur == -* ]]; then
                words="--to --date --help"
            else
                # A journal or a log to read, or the FIT, TCX or CSV file to write.
                compopt -o filenames 2>/dev/null
                mapfile -t COMPREPLY < <(compgen -f -- "$cur")
                return
            fi
            ;;
        replay)
            if ((COMP_CWORD == 2)); then
                # A log file, or - for standard input.
                compopt -o filenames 2>/dev/null
                mapfile -t COMPREPLY < <(compgen -f -- "$cur")
                [[ -z $cur || $cur == - ]] && COMPREPLY+=(-)
                return
            fi
            ;;
        esac
    fi
    # An option given once is not offered again, and a command takes --help only on its own.
    local word offered=()
    for word in $words; do
        [[ $word == --* && " ${COMP_WORDS[*]:1:COMP_CWORD-1} " == *" $word "* ]] && continue
        [[ $word == --help ]] && ((COMP_CWORD > 2)) && continue
        offered+=("$word")
    done
    mapfile -t COMPREPLY < <(compgen -W "${offered[*]}" -- "$cur")
}

complete -F _tallyfin_cli tallyfin-cli
