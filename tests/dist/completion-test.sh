#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

# The bash completion offers every command and option `tallyfin-cli --help` lists, and the kinds
# of machine: completion-test.sh COMPLETION_SCRIPT TALLYFIN_CLI
set -euo pipefail
source "$1"
help=$("$2" --help)
offers() { COMP_WORDS=(tallyfin-cli "$@") COMP_CWORD=$# && _tallyfin_cli && echo " ${COMPREPLY[*]} "; }
fail() { echo "completion: $*" >&2; exit 1; }

commands=$(awk '/^Commands:/ { on = 1; next } on && /^  [a-z]/ { print $1 }' <<<"$help")
[ -n "$commands" ] || fail "no commands in --help"
for command in $commands; do
    [[ $(offers "") == *" $command "* ]] || fail "command $command not offered"
    for option in $(grep -E "^  $command " <<<"$help" | grep -oE -- "--[a-z-]+"); do
        [[ $(offers "$command" --) == *" $option "* ]] || fail "$command $option not offered"
    done
done
[ "$(offers decode "")" = " bike rower treadmill crossTrainer heartRate --help " ] || fail "decode: $(offers decode "")"
