#!/bin/sh
# Answers --help and --version as fotoloom-cli (the program in $FOTOLOOM_CLI) does, with its help laid out for
# help2man: each synopsis on one line (the first after "Usage:", the others after "or:"), and each group of
# --set keys as a tag with its names on one indented line, so that the man page neither breaks a synopsis
# nor runs the key lists together. The terminal's --help keeps its own layout.
#   usage: FOTOLOOM_CLI=path/to/fotoloom-cli help2man ... packaging/cli-help-for-man.sh
set -eu
cli=${FOTOLOOM_CLI:?FOTOLOOM_CLI must name the fotoloom-cli program}
if [ "${1:-}" = "--version" ]; then exec "$cli" --version; fi
"$cli" --help | awk '
  # The synopsis block: "  fotoloom-cli ..." lines, continued by deeper indented ones.
  /^Usage:$/ { usage = 1; n = 0; next }
  usage && /^  fotoloom-cli / { synopsis[++n] = substr($0, 3); next }
  usage && /^   / { sub(/^ +/, ""); synopsis[n] = synopsis[n] " " $0; next }
  usage {
    for (i = 1; i <= n; i++) print (i == 1 ? "Usage: " : "  or:  ") synopsis[i]
    usage = 0
  }
  # The key groups: "    kind: names", continued by lines indented by six.
  function flush() { if (kind != "") print "  " kind "\n                      " names; kind = "" }
  /^Keys for --set/ { keys = 1; print; next }
  keys && /^    [^ ]/ {
    flush()
    line = substr($0, 5)
    colon = index(line, ": ")
    kind = substr(line, 1, colon - 1)
    names = substr(line, colon + 2)
    next
  }
  keys && /^      / { sub(/^ +/, ""); names = names " " $0; next }
  keys && /^$/ { flush(); keys = 0 }
  { print }
'
