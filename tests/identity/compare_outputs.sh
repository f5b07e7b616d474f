#!/usr/bin/env bash
# Runs the identity table natively and as WebAssembly and requires the same bytes from both.
#
#   compare_outputs.sh WORK-DIR NATIVE-PROGRAM WEB-COMMAND...
#
# Both outputs are kept in WORK-DIR (native.txt, web.txt); on a difference the first differing
# lines are printed.
set -euo pipefail
work="$1"
native="$2"
shift 2

"$native" >"$work/native.txt"
"$@" >"$work/web.txt"

# The table ends with its own line count, so that a cut-off or empty output cannot pass.
count="$(wc -l <"$work/native.txt")"
if ! tail -n 1 "$work/native.txt" | grep -qx "lines $count" || [ "$count" -lt 50000 ]; then
    echo "identity: the native table is incomplete ($count lines)" >&2
    exit 1
fi
if cmp -s "$work/native.txt" "$work/web.txt"; then
    echo "identity: $count lines, $(wc -c <"$work/native.txt") bytes, the same natively and in WebAssembly"
    exit 0
fi
echo "identity: the outputs differ ($count lines natively, $(wc -l <"$work/web.txt") in WebAssembly):" >&2
diff "$work/native.txt" "$work/web.txt" | head -n 20 >&2 || true
exit 1
