#!/usr/bin/env bash
# The deliverables as the loaders of their systems meet them: each program's
# header (a 32-bit i386 image, a GUI program, a subsystem version the loader
# accepts) and every function it imports, looked up in system_exports.txt.
# Wine has every function, so only this check sees an import that would keep
# a program from starting on Windows 98 or XP. It runs no Windows code and so
# runs wherever ctest does, also beside a 64-bit tree: it reads the 32-bit
# programs, which are the ones shipped.
#
# usage: imports_tests.sh OBJDUMP PROGRAM_DIR [TABLE]
#   OBJDUMP      i686-w64-mingw32-objdump
#   PROGRAM_DIR  the folder of the 32-bit Sweepora98.exe, SweeporaXP.exe and
#                Ghostprobe.exe (bin/ of the i686 tree)
#   TABLE        the functions each system exports (default: system_exports.txt
#                beside this script)
set -euo pipefail
objdump="$1"
dir="$2"
table="${3:-$(dirname "$0")/system_exports.txt}"

# Each program and the systems it must start on.
programs=(
  "Sweepora98.exe 98SE"
  "SweeporaXP.exe XPSP3"
  "Ghostprobe.exe 98SE XPSP3" # it ships beside both editions
)

# The systems: their family (the table's column), their name, and the highest
# subsystem version their loader starts (a higher one is "not a valid Win32
# application" on XP; Windows 98 refuses beyond 4.10).
declare -A family=([98SE]=9x [XPSP3]=NT)
declare -A name=([98SE]="Windows 98 SE" [XPSP3]="Windows XP SP3")
declare -A highest_subsystem=([98SE]=4.10 [XPSP3]=5.1)
# Each family's systems, oldest first, as the table writes them.
order_9x="95 98 98SE ME"
order_NT="3.1 3.5 3.51 4.0 2000 XP XPSP1 XPSP2 XPSP3 Vista 7 8 10"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# "4.10" -> 410: minor versions are numbers, so 4.10 is above 4.9.
version_number() { local major="${1%%.*}" minor="${1#*.}"; echo $((10#$major * 100 + 10#$minor)); }

# The header fields the loaders read, from objdump -p: "field value" lines.
header_fields() { # $1 = program
  "$objdump" -p "$1" | awk '
    /file format/ { print "format", $NF }
    /^Characteristics/ { in_flags = 1; next }
    in_flags && /^\t/ { flag = $0; sub(/^\t+/, "", flag); gsub(/ /, "_", flag); print "flag", flag; next }
    in_flags { in_flags = 0 }
    /^Magic/ { print "magic", $2 }
    /^Subsystem\t/ { print "subsystem", $2 + 0 }
    /^(Major|Minor)(Subsystem|OSystem)Version/ { print $1, $2 }
    /^Win32Version/ { print "Win32Version", $2 }
    /^Entry d / { print "delay_imports", $4 }'
}

# Every imported function as "DLL function" (DLL names in capitals; a function
# imported by ordinal as "#ordinal").
imports_of() { # $1 = program
  "$objdump" -p "$1" | awk '
    /^The / { dll = "" }
    /^The Import Tables/ { in_imports = 1 }
    !in_imports { next }
    /DLL Name:/ { dll = toupper($3); next }
    dll != "" && /^\t[0-9a-fA-F]+\t/ { print dll, ($3 == "<none>" ? "#" $2 : $3) }'
}

check_header() { # $1 = program file, $2 = its name, then its systems
  local file="$1" program="$2"; shift 2
  local -A field=()
  local flags="" key value system before="$failures"
  while read -r key value; do
    if [ "$key" = flag ]; then flags+=" $value"; else field[$key]="$value"; fi
  done < <(header_fields "$file")

  [ "${field[format]:-}" = pei-i386 ] || fail "$program is not a 32-bit i386 image (format ${field[format]:-unknown})"
  [ "${field[magic]:-}" = 010b ] || fail "$program has no PE32 optional header (magic ${field[magic]:-none})"
  [[ " $flags " == *" executable "* ]] || fail "$program is not marked executable"
  [[ " $flags " == *" 32_bit_words "* ]] || fail "$program is not marked for a 32-bit machine"
  [[ " $flags " != *" DLL "* ]] || fail "$program is marked as a DLL"
  [ "${field[subsystem]:-}" = 2 ] || fail "$program is not a GUI program (subsystem ${field[subsystem]:-none}, not 2)"
  [ "${field[delay_imports]:-00000000}" = 00000000 ] ||
    fail "$program has delay-load imports, which this check does not read"
  # Non-zero, the NT loader reports this version to the program instead of
  # the system's own; it must stay 0.
  [ "${field[Win32Version]:-}" = 00000000 ] || fail "$program has a Win32Version of ${field[Win32Version]:-none}, not 0"

  local subsystem="${field[MajorSubsystemVersion]:-0}.${field[MinorSubsystemVersion]:-0}"
  local os="${field[MajorOSystemVersion]:-0}.${field[MinorOSystemVersion]:-0}"
  # Below 4.0 the systems treat a program as one for Windows 3.1.
  [ "$(version_number "$subsystem")" -ge 400 ] || fail "$program has subsystem version $subsystem, below 4.0"
  for system in "$@"; do
    local highest="${highest_subsystem[$system]}"
    [ "$(version_number "$subsystem")" -le "$(version_number "$highest")" ] ||
      fail "$program has subsystem version $subsystem: the loader of ${name[$system]} starts $highest at most"
    # The loaders of 98 and XP are not known to read the OS version; it stays
    # within the system anyway, so no tool takes the program for a newer one.
    [ "$(version_number "$os")" -le "$(version_number "$highest")" ] ||
      fail "$program has OS version $os, above ${name[$system]} ($highest)"
  done
  [ "$failures" -ne "$before" ] || echo "$program: PE32 i386 GUI program, subsystem $subsystem, OS version $os"
}

# The imports against the table, for each system; prints FAIL and note lines.
check_imports() { # $1 = imports file, $2 = program, then its systems
  local imports="$1" program="$2"; shift 2
  local systems="" system
  for system in "$@"; do systems+="$system:${family[$system]}:${name[$system]};"; done
  awk -v table="$table" -v program="$program" -v systems="$systems" \
      -v order_9x="$order_9x" -v order_NT="$order_NT" '
    function table_error(message) {
      printf "FAIL: %s:%d: %s\n", table, FNR, message; table_broken = 1
    }
    # Whether a column value is a system of the family, "-", or either with "?".
    function known(value, rank) { sub(/\?$/, "", value); return value == "-" || (value in rank) }
    BEGIN {
      n = split(order_9x, list, " "); for (i = 1; i <= n; i++) rank9x[list[i]] = i
      n = split(order_NT, list, " "); for (i = 1; i <= n; i++) rankNT[list[i]] = i
      count = split(systems, entries, ";") - 1
      for (i = 1; i <= count; i++) {
        split(entries[i], part, ":"); sys[i] = part[1]; fam[i] = part[2]; sysname[i] = part[3]
      }
    }
    FNR == NR {
      if ($0 ~ /^[ \t]*(#|$)/) next
      if (NF < 4) { table_error("needs DLL, function, 9x and NT"); next }
      key = toupper($1) " " $2
      if (key in nine) { table_error("a second line for " $2 " of " toupper($1)); next }
      if (!known($3, rank9x)) { table_error("9x column \"" $3 "\" is not one of " order_9x " -"); next }
      if (!known($4, rankNT)) { table_error("NT column \"" $4 "\" is not one of " order_NT " -"); next }
      nine[key] = $3; nt[key] = $4
      next
    }
    table_broken { exit 2 }
    {
      key = $1 " " $2; imported++
      if (!(key in nine)) {
        printf "FAIL: %s imports %s from %s, which %s does not list: add a line once the function is looked up and found on %s\n",
               program, $2, $1, table, (count > 1 ? "each of its systems" : sysname[1])
        failed = 1; next
      }
      for (i = 1; i <= count; i++) {
        value = (fam[i] == "9x" ? nine[key] : nt[key]); unsure = sub(/\?$/, "", value)
        target = (fam[i] == "9x" ? rank9x[sys[i]] : rankNT[sys[i]])
        first = (fam[i] == "9x" ? rank9x[value] : rankNT[value])
        if (value == "-" || first > target) {
          printf "FAIL: %s imports %s from %s, which %s lacks (%s)\n", program, $2, $1, sysname[i],
                 (value == "-" ? "in no system of the " fam[i] " family" : "first in " fam[i] " " value)
          failed = 1
        } else if (unsure) {
          uncertain = uncertain " " $2
        }
      }
    }
    END {
      if (table_broken) exit 2
      if (uncertain != "") printf "note: %s: on entries marked \"?\":%s\n", program, uncertain
      if (!failed) printf "%s: %d imports, all exported by its systems\n", program, imported
      exit failed
    }' "$table" "$imports"
}

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
for entry in "${programs[@]}"; do
  read -r program systems <<<"$entry"
  file="$dir/$program"
  if [ ! -f "$file" ]; then
    fail "$file is missing: build the 32-bit tree (tools/test builds it)"
    continue
  fi
  # shellcheck disable=SC2086 # the systems are words
  check_header "$file" "$program" $systems
  imports_of "$file" >"$tmp/imports"
  [ -s "$tmp/imports" ] || fail "$program: no imports read (has objdump's output changed?)"
  # shellcheck disable=SC2086
  check_imports "$tmp/imports" "$program" $systems >"$tmp/result" || true
  cat "$tmp/result"
  failures=$((failures + $(grep -c '^FAIL' "$tmp/result" || true)))
done

if [ "$failures" -ne 0 ]; then
  echo "$failures failures"
  exit 1
fi
