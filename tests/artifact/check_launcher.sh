#!/usr/bin/env bash
# The shipped launcher.exe: a 32-bit GUI program under 28 KiB that imports exactly the functions
# on the allow list, so that a new import fails here until the list is changed on purpose.
set -u
exe=$1 objdump=$2 allowed=$3
status=0
fail() { echo "FAIL: $*"; status=1; }

size=$(stat -c %s "$exe")
echo "size: $size bytes"
[ "$size" -lt $((28 * 1024)) ] || fail "launcher.exe is $size bytes, over the 28 KiB budget"

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
exit $status
