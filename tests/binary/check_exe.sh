#!/usr/bin/env bash
# Checks the built exe itself: hardening flags, sections, imports, size.
# Usage: check_exe.sh EXE LINK_MAP OBJDUMP STACK_GUARD_PROBE
set -uo pipefail
exe=$1
map=$2
objdump=$3
probe=$4
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

headers=$("$objdump" -p "$exe")
for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do
  if grep -q "^[[:space:]]*$flag$" <<<"$headers"; then pass "DllCharacteristics has $flag"; else fail "DllCharacteristics lacks $flag"; fi
done

sections=$("$objdump" -h "$exe")
grep -q '\.reloc' <<<"$sections" && pass "relocatable (.reloc present)" || fail "no .reloc section: the image cannot move"
# A section that holds code must be read-only: nothing both writable and executable.
wx=$(awk '/^ *[0-9]+ /{name=$2; getline; if ($0 ~ /CODE/ && $0 !~ /READONLY/) print name}' <<<"$sections")
[ -z "$wx" ] && pass "no section both writable and executable" || fail "writable code sections: $wx"

# Only DLLs that Windows always loads from the system folder may be imported:
# everything else is loaded after the program has restricted the search.
allowed=" advapi32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll "
imports=$(grep 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}')
[ -n "$imports" ] || fail "no import table found"
for dll in $imports; do
  if [[ "$allowed" == *" $dll "* ]]; then pass "imports $dll"; else fail "imports $dll, which is not a known system DLL"; fi
done

# Functions that Windows 7 lacks without its updates must be looked up at run time:
# imported, any one of them keeps the program from starting there at all.
for fn in SetDefaultDllDirectories AddDllDirectory RemoveDllDirectory \
  GetDpiForWindow AdjustWindowRectExForDpi SystemParametersInfoForDpi; do
  grep -qE "^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+$fn\$" <<<"$headers" &&
    fail "imports $fn, which Windows 7 lacks" || pass "does not import $fn"
done

# Stack canaries and checked string functions are compiled in and linked statically.
grep -q 'refptr\.__stack_chk_guard' "$map" && grep -qE '^ +0x[0-9a-f]+ +__stack_chk_fail$' "$map" &&
  pass "stack protector in use" || fail "no code reads the stack canary, or nothing handles a smashed one"
# The canary is seeded by our own runtime, not GCC's, whose CryptoAPI seeding
# loads three crypto DLLs before the program's first line.
grep -q 'libssp\.a(ssp\.o)' "$map" && fail "GCC's stack-protector runtime is linked in" ||
  pass "the program's own stack-protector runtime is linked"
# The containers throw through the program's own helpers: libstdc++'s would
# link in a second, reference-counted string implementation and more.
grep -q 'libstdc++\.a(functexcept\.o)' "$map" && fail "libstdc++'s throw helpers are linked in" ||
  pass "the program's own throw helpers are linked"
grep -qiE '^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+Crypt' <<<"$headers" &&
  fail "imports the CryptoAPI" || pass "no CryptoAPI imports"
# Built for size, the compiler proves the exe's own copies in bounds and calls
# no checked copy there; the probe, built with the same flags, copies a length
# it cannot know, so its checked memcpy shows that the flags fortify.
probe_symbols=$("$objdump" -t "$probe")
grep -qE ' __memcpy_chk$' <<<"$probe_symbols" &&
  pass "_FORTIFY_SOURCE in the build's flags (the probe calls __memcpy_chk)" ||
  fail "the build's flags do not fortify a copy of unknown length"

size=$(stat -c %s "$exe")
[ "$size" -le 360000 ] && pass "size $size bytes (at most 360,000)" ||
  fail "size $size bytes is over the cap of 360,000 bytes"

[ "$failures" -eq 0 ]
