#!/usr/bin/env bash
# Checks the tables of the built Windows Installer package that decide how Windows installs,
# upgrades and removes it, as an ICE validation would, with msitools' msiinfo (no Windows tool
# runs here); the older version's package, made from the same sources, is what the upgrade
# comes from:
#   - the summary information: a 64-bit package (Template x64), Windows Installer 5, its times
#     SOURCE_DATE_EPOCH, a package code of its own;
#   - per machine (ALLUSERS 1, no MSIINSTALLPERUSER), the version, the same upgrade code as the
#     older package and a product code of its own, the running mark;
#   - every component has a key path and a GUID, the 64-bit flag, and the GUID it has in the
#     older package (a component's GUID never changes);
#   - the program folder under the 64-bit Program Files; no registry value or search under a
#     per-user root (HKCU, or HKMU, which follows ALLUSERS); the registry search in the 64-bit
#     view; a shortcut that points at the file, not advertised;
#   - the major upgrade: older versions found and removed, newer ones found and refused by a
#     launch condition, the same version neither;
#   - the refusal while Korvane runs: FindKorvane, an immediate custom action in the DLL of the
#     Binary table, which exports it, runs, unconditioned, before the launch conditions, which
#     run before anything is changed or removed.
#
#   check_msi.sh MSI VERSION OLDER_MSI MARK SOURCE_DATE_EPOCH
set -euo pipefail
if [ "$#" -ne 5 ]; then
    echo "usage: check_msi.sh MSI VERSION OLDER_MSI MARK SOURCE_DATE_EPOCH" >&2
    exit 2
fi
msi="$1"
version="$2"
older="$3"
mark="$4"
epoch="$5"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
failures=0

# check WHAT COMMAND...: runs the command, and reports WHAT as passed or failed.
check() {
    local what="$1"
    shift
    if "$@" >"$tmp/check.log" 2>&1; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        sed 's/^/    /' "$tmp/check.log" | tail -n 20
        failures=$((failures + 1))
    fi
}

# rows PACKAGE TABLE: the table's rows, tab-separated, without msiinfo's three header lines.
rows() {
    msiinfo export "$1" "$2" | tail -n +4 | tr -d '\r'
}
# property PACKAGE NAME: a value of the Property table.
property() {
    rows "$1" Property | awk -F '\t' -v n="$2" '$1 == n { print $2 }'
}
# summary PACKAGE FIELD: a line of msiinfo suminfo, after "FIELD: ".
summary() {
    TZ=UTC0 msiinfo suminfo "$1" | sed -n "s/^$2: //p"
}
# equal WHAT EXPECTED: fails, saying what it got, unless the value read is the expected one.
equal() {
    if [ "$2" != "$3" ]; then
        echo "$1 is \"$2\", expected \"$3\""
        return 1
    fi
}
guid='^\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}$'
is_guid() {
    if ! [[ "$2" =~ $guid ]]; then
        echo "$1 \"$2\" is not a GUID in capitals and braces"
        return 1
    fi
}
differ() {
    if [ "$2" = "$3" ]; then
        echo "$1 is \"$2\" in both packages"
        return 1
    fi
}

for table in Property Component Directory Registry RegLocator Upgrade LaunchCondition \
    InstallExecuteSequence CustomAction Binary Shortcut Media; do
    rows "$msi" "$table" >"$tmp/$table"
done
rows "$older" Component >"$tmp/older-components"

# The summary information.
check "the package is for x64 (Template x64;1033)" equal Template "$(summary "$msi" Template)" \
    "x64;1033"
check "the package needs Windows Installer 5 (page count 500)" \
    equal "page count" "$(summary "$msi" Version | cut -d' ' -f1)" 500
time="$(TZ=UTC0 LC_ALL=C date -d "@$epoch" '+%a %b %e %H:%M:%S %Y')"
check "created at SOURCE_DATE_EPOCH ($time)" equal Created "$(summary "$msi" Created)" "$time"
check "last saved at SOURCE_DATE_EPOCH" equal "Last saved" "$(summary "$msi" 'Last saved')" "$time"
package_code="$(summary "$msi" 'Revision number (UUID)')"
check "the package code is a GUID" is_guid "package code" "$package_code"
check "the package code is the package's own" differ "package code" "$package_code" \
    "$(summary "$older" 'Revision number (UUID)')"

# The properties.
check "per machine: ALLUSERS is 1" equal ALLUSERS "$(property "$msi" ALLUSERS)" 1
check "per machine: no MSIINSTALLPERUSER" equal MSIINSTALLPERUSER \
    "$(property "$msi" MSIINSTALLPERUSER)" ""
check "ProductVersion is $version" equal ProductVersion "$(property "$msi" ProductVersion)" \
    "$version"
upgrade_code="$(property "$msi" UpgradeCode)"
product_code="$(property "$msi" ProductCode)"
check "the upgrade code is a GUID" is_guid UpgradeCode "$upgrade_code"
check "the upgrade code is the older package's" equal UpgradeCode "$upgrade_code" \
    "$(property "$older" UpgradeCode)"
check "the product code is a GUID" is_guid ProductCode "$product_code"
check "the product code is this version's own" differ ProductCode "$product_code" \
    "$(property "$older" ProductCode)"
check "the running mark is $mark" equal KorvaneMark "$(property "$msi" KorvaneMark)" "$mark"

# The components.
check "there are components" test -s "$tmp/Component"
# Tabs are white space to read, which would take two in a row (an empty column) as one.
while IFS=$'\037' read -r component id directory attributes _ keypath; do
    check "component $component has a key path" test -n "$keypath"
    check "component $component has a GUID" is_guid "its GUID" "$id"
    check "component $component is 64-bit (attribute 256)" test $((attributes & 256)) -ne 0
    check "component $component keeps its GUID from the older package" equal "its GUID" "$id" \
        "$(awk -F '\t' -v c="$component" '$1 == c { print $2 }' "$tmp/older-components")"
    check "component $component's key path is one of its files" \
        grep -qP "^\Q$keypath\E\t\Q$component\E\t" <(rows "$msi" File)
    check "component $component is in the program folder" equal folder "$directory" INSTALLFOLDER
done < <(tr '\t' '\037' <"$tmp/Component")

# Folders, registry, shortcut, cabinet.
check "the program folder is under the 64-bit Program Files" \
    grep -qP '^INSTALLFOLDER\tProgramFiles64Folder\t' "$tmp/Directory"
# none FILE AWK-CONDITION: FILE has rows, and none for which the condition holds (printed).
none() {
    test -s "$1" && awk -F '\t' "$2 { print; bad = 1 } END { exit bad }" "$1"
}
# shellcheck disable=SC2016 # the conditions' $1, $2 are awk's columns
{
    check "nothing goes into the 32-bit Program Files" \
        none "$tmp/Directory" '$1 == "ProgramFilesFolder" || $2 == "ProgramFilesFolder"'
    check "registry values only under HKLM (root 2), none under HKCU or HKMU" \
        none "$tmp/Registry" '$2 != 2'
    check "registry searches only under HKLM, in the 64-bit view (type flag 16)" \
        none "$tmp/RegLocator" '$2 != 2 || int($5 / 16) % 2 != 1'
}
check "the Start-menu shortcut points at korvane.exe, not advertised" \
    grep -qP '^[^\t]*\tProgramMenuFolder\t[^\t]*\tProgram\t\[#korvane\.exe\]\t' "$tmp/Shortcut"
check "the cabinet is embedded" grep -qP '^1\t[0-9]+\t[^\t]*\t#' "$tmp/Media"

# The major upgrade.
check "older versions are found and removed (up to $version, not included)" \
    grep -qxP "\Q$upgrade_code\E\t\t\Q$version\E\t\t1\t\tWIX_UPGRADE_DETECTED" "$tmp/Upgrade"
check "newer versions are found, only detected (from $version, not included)" \
    grep -qxP "\Q$upgrade_code\E\t\Q$version\E\t\t\t2\t\tWIX_DOWNGRADE_DETECTED" "$tmp/Upgrade"
check "the upgrade table has those two rows only" equal rows "$(wc -l <"$tmp/Upgrade")" 2
check "both upgrade properties are secure" equal SecureCustomProperties \
    "$(property "$msi" SecureCustomProperties)" "WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED"
check "a newer version installed refuses this one, with a message" \
    grep -qP '^NOT WIX_DOWNGRADE_DETECTED\tA newer version of \[ProductName\] is already installed\.' \
    "$tmp/LaunchCondition"
check "a running Korvane refuses every run, with a message" \
    grep -qP '^NOT KorvaneRunning\t\[ProductName\] is running\.' "$tmp/LaunchCondition"
check "an all-users installation by the setup program refuses the first install, with a message" \
    grep -qP '^Installed OR NOT KORVANESETUPFOLDER\t\[ProductName\] is installed for all users' \
    "$tmp/LaunchCondition"
check "the setup program's installation is found in its uninstall entry, 64-bit" \
    grep -qP '^SetupFolder\t2\tSoftware\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Korvane\tInstallLocation\t18$' \
    "$tmp/RegLocator"

# The order of the actions that decide, and that change.
sequence() { awk -F '\t' -v a="$1" '$1 == a { print $3 }' "$tmp/InstallExecuteSequence"; }
in_order() {
    local previous="" action at last=-1
    for action in "$@"; do
        at="$(sequence "$action")"
        if [ -z "$at" ] || [ "$at" -le "$last" ]; then
            echo "$action (${at:-missing}) does not come after $previous ($last)"
            return 1
        fi
        previous="$action" last="$at"
    done
}
before_launch_conditions() {
    local action
    for action in FindRelatedProducts FindKorvane AppSearch; do
        in_order "$action" LaunchConditions || return 1
    done
}
check "FindRelatedProducts, FindKorvane and AppSearch run before LaunchConditions" \
    before_launch_conditions
check "the launch conditions come first, then InstallValidate, the older version's removal" \
    in_order LaunchConditions InstallValidate RemoveExistingProducts \
    InstallInitialize InstallFiles InstallFinalize
check "FindKorvane runs whatever the state (no condition)" \
    grep -qxP 'FindKorvane\t\t[0-9]+' "$tmp/InstallExecuteSequence"
check "SetInstallLocation runs once the folders are known (after CostFinalize)" \
    in_order CostFinalize SetInstallLocation InstallValidate
type="$(awk -F '\t' '$1 == "FindKorvane" { print $2 }' "$tmp/CustomAction")"
# A DLL from the Binary table is type 1; 64 would let it fail unheard, 1024 defer it.
dll_action() { [[ "$1" =~ ^[0-9]+$ ]] && (($1 % 64 == 1 && ($1 & 64) == 0 && ($1 & 1024) == 0)); }
check "FindKorvane is a DLL of the Binary table (type 1), immediate, its result checked" \
    dll_action "$type"
check "FindKorvane's DLL is KorvaneActions, entry FindKorvane" \
    grep -qxP 'FindKorvane\t[0-9]+\tKorvaneActions\tFindKorvane\t' "$tmp/CustomAction"
msiinfo extract "$msi" Binary.KorvaneActions >"$tmp/actions.dll"
# The whole output is read before it is searched: grep -q would stop reading at the first match,
# and the writer, cut off, would fail the pipeline.
exports() {
    local kind table
    kind="$(file -b "$1")"
    table="$(x86_64-w64-mingw32-objdump -p "$1")"
    [[ "$kind" =~ PE32\+\ .*x86-64 ]] && grep -qP "^\s+\[\s*\d+\] $2\$" <<<"$table"
}
check "the DLL is for x86-64 and exports FindKorvane" exports "$tmp/actions.dll" FindKorvane

if [ "$failures" -ne 0 ]; then
    echo "msi tables: $failures checks FAILED"
    exit 1
fi
echo "msi tables passed"
