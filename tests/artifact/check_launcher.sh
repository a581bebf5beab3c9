#!/usr/bin/env bash
# The shipped launcher.exe: a 32-bit GUI program under 37 KiB that imports exactly the functions
# on the allow list, so that a new import fails here until the list is changed on purpose, and
# that carries its application manifest (asInvoker, Vista to 11, aware of each monitor's DPI, the
# Common Controls 6, UTF-8 as its code page) and its version information with the project's
# version.
# Usage: check_launcher.sh EXE OBJDUMP ALLOWED WINDRES VERSION [signed]. A signed file is held to
# everything but the size budget, which is the unsigned file's (a signature adds its certificates).
set -u
exe=$1 objdump=$2 allowed=$3 windres=$4 version=$5 signed=${6:-}
status=0
fail() { echo "FAIL: $*"; status=1; }

size=$(stat -c %s "$exe")
echo "size: $size bytes"
if [ "$signed" = signed ]; then
    security=$("$objdump" -p "$exe" | awk '/Security Directory/ { print $3; exit }')
    [ -n "$security" ] && [ "$security" != 00000000 ] || fail "$exe carries no signature"
else
    [ "$size" -lt $((37 * 1024)) ] || fail "launcher.exe is $size bytes, over the 37 KiB budget"
fi

headers=$("$objdump" -p "$exe")
grep -q 'file format pei-i386' <<<"$("$objdump" -f "$exe")" || fail "not a 32-bit x86 program"
grep -Eq '^Subsystem[[:space:]]+0*2[[:space:]]' <<<"$headers" || fail "not a GUI-subsystem program"

# "DLL!Function" for every import, DLL names in upper case.
actual=$(awk '
    /DLL Name:/ { dll = toupper($3); next }
    NF == 0 { dll = "" }
    dll != "" && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print dll "!" $3 }
' <<<"$headers" | sort -u)
expected=$(grep -v '^#' "$allowed" | grep -v '^\s*$' | sort -u)

unexpected=$(comm -23 <(echo "$actual") <(echo "$expected"))
unused=$(comm -13 <(echo "$actual") <(echo "$expected"))
[ -z "$unexpected" ] || fail "imports not on the allow list:"$'\n'"$unexpected"
[ -z "$unused" ] || fail "allowed imports no longer used (remove them from the list):"$'\n'"$unused"
dlls=$(cut -d'!' -f1 <<<"$actual" | sort -u | tr '\n' ' ')
echo "DLLs: $dlls"
for dll in $dlls; do
    case $dll in KERNEL32.DLL|USER32.DLL|GDI32.DLL|ADVAPI32.DLL|SHELL32.DLL|MSVCRT.DLL) ;;
        *) fail "imports from $dll" ;; esac
done
# The resources as the file holds them, decompiled (quotes inside strings come doubled).
resources=$("$windres" -i "$exe" -O rc 2>&1) || fail "the resources cannot be read: $resources"
manifest=$(awk '/^1 24 /, /^END/' <<<"$resources" | tr -d '"')
grep -q 'requestedExecutionLevel level=asInvoker uiAccess=false' <<<"$manifest" ||
    fail "no manifest resource 1 that asks to run asInvoker"
for os in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
    4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 \
    8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
    grep -q "supportedOS Id={$os}" <<<"$manifest" || fail "the manifest lacks supportedOS $os"
done
# Aware of each monitor's DPI (version 2 where Windows has it, else 1, and the setting of Windows
# 8.1 and before), and the system's visual style for the dialog and the message boxes.
grep -q '<dpiAwareness xmlns=http://schemas.microsoft.com/SMI/2016/WindowsSettings>PerMonitorV2, PerMonitor</dpiAwareness>' <<<"$manifest" ||
    fail "the manifest does not declare dpiAwareness PerMonitorV2, PerMonitor"
grep -q '<dpiAware xmlns=http://schemas.microsoft.com/SMI/2005/WindowsSettings>true/pm</dpiAware>' <<<"$manifest" ||
    fail "the manifest does not declare dpiAware true/pm"
grep -q 'name=Microsoft.Windows.Common-Controls version=6.0.0.0' <<<"$manifest" ||
    fail "the manifest does not depend on the Common Controls 6"
# Every name spelt: UTF-8 as the ANSI code page, where Windows takes it (10 1903 and later).
grep -q '<activeCodePage xmlns=http://schemas.microsoft.com/SMI/2019/WindowsSettings>UTF-8</activeCodePage>' <<<"$manifest" ||
    fail "the manifest does not declare activeCodePage UTF-8"
versioninfo=$(awk '/^1 VERSIONINFO/, /^END/' <<<"$resources")
numbers=${version//./, }
grep -Eq "FILEVERSION $numbers([^0-9]|\$)" <<<"$versioninfo" ||
    fail "no VERSIONINFO with FILEVERSION $version"
grep -Eq "PRODUCTVERSION $numbers([^0-9]|\$)" <<<"$versioninfo" || fail "no PRODUCTVERSION $version"
for value in '"FileDescription", "QuarVel Launcher"' '"ProductName", "QuarVel"' \
    "\"FileVersion\", \"$version\"" "\"ProductVersion\", \"$version\"" \
    '"LegalCopyright", "Copyright (C) 2026 QuarVel"' '"OriginalFilename", "launcher.exe"'; do
    grep -qF "VALUE $value" <<<"$versioninfo" || fail "version information lacks $value"
done
echo "manifest: asInvoker, Vista to 11, PerMonitorV2, Common Controls 6, UTF-8; version: $(grep -F '"FileVersion"' <<<"$versioninfo" | tr -s ' ')"
exit $status
