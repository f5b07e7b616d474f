#!/usr/bin/env bash
# The gates that keep the code as clean as it is; scripts/test.sh runs them before it builds.
#
#   scripts/gates.sh [--build DIR] [format] [shellcheck] [tidy]     (default: all three)
#
#   - format: clang-format --dry-run -Werror over every C++ file (.clang-format);
#   - shellcheck: the shell scripts, .ci/run included, checked by ShellCheck (.shellcheckrc);
#   - tidy: clang-tidy (.clang-tidy) over the program's own code: model/, checks/ and window/
#       with the Qt adapter, from the compile commands of DIR (build/ unless given; configured
#       here when it is not yet), the Win32 adapter of window/win32/ from those of a cross
#       configuration in build-tidy-windows/, and the web adapter of window/web/ from those of
#       a WebAssembly configuration in build-tidy-web/.
#
# Every finding is printed as file:line: what, grouped by file, and fails the run; all asked-for
# gates run even when an earlier one fails. The files are those git knows of, new ones not yet
# added included (git ls-files --cached --others --exclude-standard).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

build="$root/build"
gates=()
while [ "$#" -gt 0 ]; do
    case "$1" in
    --build)
        build="$(realpath -m "$2")"
        shift 2
        ;;
    format | shellcheck | tidy)
        gates+=("$1")
        shift
        ;;
    *)
        echo "usage: scripts/gates.sh [--build DIR] [format] [shellcheck] [tidy]" >&2
        exit 2
        ;;
    esac
done
[ "${#gates[@]}" -gt 0 ] || gates=(format shellcheck tidy)
cd "$root"

failed=()

# Prints the findings given on stdin as "file:line:col: what" lines, grouped by file, with the
# repository's folder taken off the names; returns 1 when there is any.
report() {
    sed -e "s|^$root/||" | sort -u | sort -t: -k1,1 -k2,2n -k3,3n |
        awk -F: -v gate="$1" '
            $1 != file { file = $1; files++; print gate ": " file }
            { print "    " $0; n++ }
            END { if (n) { print gate ": " n " findings in " files " files"; exit 1 } }'
}

# The files git knows of, new ones not yet added included, that match the given patterns.
files_named() {
    git ls-files --cached --others --exclude-standard -- "$@" | sort -u |
        while IFS= read -r f; do if [ -f "$f" ]; then echo "$f"; fi; done
}

gate_format() {
    local files
    mapfile -t files < <(files_named '*.cpp' '*.h' '*.c')
    echo "format: $(clang-format --version | grep -o 'version [0-9.]*'), ${#files[@]} files"
    clang-format --dry-run -Werror "${files[@]}" 2>&1 |
        sed -n 's/^\([^ :][^:]*:[0-9]*:[0-9]*\): [a-z]*: .*/\1: not formatted as .clang-format says/p' |
        report format || {
        echo "format: 'clang-format -i FILE' formats a file in place"
        return 1
    }
}

gate_shellcheck() {
    local files=() f
    while IFS= read -r f; do
        case "$f" in
        *.sh) files+=("$f") ;;
        *) if head -n1 "$f" | grep -qE '^#!.*[/ ](ba|da|k)?sh( |$)'; then files+=("$f"); fi ;;
        esac
    done < <(files_named)
    echo "shellcheck: version $(shellcheck --version | sed -n 's/^version: //p'), ${#files[@]} scripts"
    shellcheck --format=gcc "${files[@]}" | report shellcheck
}

# Keeps the findings of run-clang-tidy's output. A finding inside a system header is given at
# the first place in the repository that its notes name, when they name one.
tidy_findings() {
    sed -e 's/\x1b\[[0-9;]*m//g' | awk -v root="$root/" '
        function flush() { if (pending != "") print pending; pending = "" }
        /^[^ ]+:[0-9]+:[0-9]+: (warning|error): / {
            flush()
            if (index($0, root) == 1) print; else pending = $0
            next
        }
        pending != "" && index($0, root) == 1 && /^[^ ]+:[0-9]+:[0-9]+: note: / {
            where = $0; sub(/: note: .*/, "", where)
            what = pending; sub(/^[^ ]+:[0-9]+:[0-9]+: /, "", what)
            print where ": " what " (declared in a system header)"
            pending = ""
        }
        END { flush() }'
}

gate_tidy() {
    local tool="" candidate
    for candidate in run-clang-tidy run-clang-tidy-{20..14}; do
        if command -v "$candidate" >/dev/null; then
            tool="$candidate"
            break
        fi
    done
    if [ -z "$tool" ]; then
        echo "tidy: no run-clang-tidy (Debian package clang-tidy)"
        return 1
    fi
    local root_re output
    root_re="$(printf '%s' "$root" | sed 's/[][\.*^()+?{}|$]/\\&/g')" # the folder as a regex

    if [ ! -f "$build/compile_commands.json" ]; then
        echo "tidy: configuring $build for its compile commands"
        "$root/scripts/build.sh" --configure-only "$build" >/dev/null
    fi
    # Warnings that the compile commands make errors stay the compiler's: only the checks count.
    output="$("$tool" -quiet -j "$(nproc)" -p "$build" -extra-arg=-Wno-error \
        "^$root_re/(model|checks|window)/.*\.cpp$" 2>&1 || true)"

    # The Win32 adapter, from a cross configuration. clang finds mingw-w64's C++ library only
    # when given its folders, which the cross compiler lists.
    local cross="$root/build-tidy-windows" cxx=x86_64-w64-mingw32-g++-posix args=() dir
    if ! command -v "$cxx" >/dev/null; then
        echo "tidy: $cxx not found (scripts/setup.sh installs it)"
        return 1
    fi
    cmake -S "$root" -B "$cross" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVANE_TESTS=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
    args=(-extra-arg=--target=x86_64-w64-mingw32 -extra-arg=-nostdinc++ -extra-arg=-Wno-error)
    while IFS= read -r dir; do
        args+=("-extra-arg=-isystem$dir")
    done < <("$cxx" -E -x c++ -v /dev/null 2>&1 |
        sed -n '/search starts here:/,/End of search list/s|^ \(/.*/c++.*\)$|\1|p')
    output+=$'\n'"$("$tool" -quiet -j "$(nproc)" -p "$cross" "${args[@]}" \
        "^$root_re/window/win32/.*\.cpp$" 2>&1 || true)"

    # The web adapter, from the compile commands of a WebAssembly configuration, with the
    # header of its pictures, which the build makes.
    local web="$root/build-tidy-web"
    if ! command -v emcmake >/dev/null; then
        echo "tidy: emcmake not found (scripts/setup.sh installs emscripten)"
        return 1
    fi
    emcmake cmake -S "$root" -B "$web" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVANE_TESTS=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/emscripten.cmake" >/dev/null 2>&1
    cmake --build "$web" --target korvane_web_pictures >/dev/null
    output+=$'\n'"$("$tool" -quiet -j "$(nproc)" -p "$web" -extra-arg=-Wno-error \
        "^$root_re/window/web/.*\.cpp$" 2>&1 || true)"

    local checked
    checked="$(grep -c -- '-quiet /' <<<"$output" || true)"
    echo "tidy: $(clang-tidy --version | grep -o 'version [0-9.]*'), $checked files" \
        "(model/, checks/, window/ from $build; window/win32/ from $cross; window/web/ from $web)"
    if [ "$checked" -eq 0 ]; then
        echo "tidy: no file checked"
        return 1
    fi
    tidy_findings <<<"$output" | report tidy
}

for gate in "${gates[@]}"; do
    start=$SECONDS
    if "gate_$gate"; then
        echo "$gate: passed ($((SECONDS - start)) s)"
    else
        echo "$gate: FAILED ($((SECONDS - start)) s)"
        failed+=("$gate")
    fi
done
if [ "${#failed[@]}" -gt 0 ]; then
    echo "gates: FAILED: ${failed[*]}"
    exit 1
fi
echo "gates: ${gates[*]}: passed"
