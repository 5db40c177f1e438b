#!/bin/sh
# PELGRIN32.DLL's export table: exactly the sixteen names, undecorated (no
# "_Name", no "Name@N"), EDllCRead and EDllCWrite at one address (one
# function), and nothing imported but Windows' own DLLs (the C++ runtime and
# winpthread are linked in).
#   usage: export_table_test.sh OBJDUMP DLL
set -eu
headers=$("$1" -p "$2")
# "[   4] EDllCRead": ordinal index and name.
table=$(printf '%s\n' "$headers" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep '^\s*\[ *[0-9]')
printf '%s\n' "$table"
names=$(printf '%s\n' "$table" | awk '{print $NF}' | sort | tr '\n' ' ')
expected="DllCF16 DllCFunc DllPeek DllPoke EDllCRead EDllCWrite EDllDblPeek EDllDblPoke EDllPeek EDllPoke Open OpenB OpenL OpenL16 fnTuskExtDll nTuskExtDll "
[ "$names" = "$expected" ] || { echo "FAIL: exports are: $names"; exit 1; }
# Export address of an ordinal index: "[   4] +base[   5] 2b60 Export RVA".
address() {
  index=$(printf '%s\n' "$table" | tr '[]' '  ' | awk -v n="$1" '$NF == n {print $1}')
  printf '%s\n' "$headers" | sed -n '/^Export Address Table/,/^$/p' |
    awk -v i="$index" '{line = $0; gsub(/[][]/, " ", line); split(line, f, " "); if (f[1] == i) print f[4]}'
}
read_at=$(address EDllCRead)
write_at=$(address EDllCWrite)
[ -n "$read_at" ] && [ "$read_at" = "$write_at" ] || { echo "FAIL: EDllCRead at $read_at, EDllCWrite at $write_at"; exit 1; }
imports=$(printf '%s\n' "$headers" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u | tr '\n' ' ')
for dll in $imports; do
  case $dll in
    KERNEL32.DLL|MSVCRT.DLL|USER32.DLL|ADVAPI32.DLL) ;;
    *) echo "FAIL: imports $dll"; exit 1 ;;
  esac
done
echo "OK: 16 exports, EDllCRead = EDllCWrite at $read_at, imports: $imports"
