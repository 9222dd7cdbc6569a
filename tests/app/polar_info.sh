#!/usr/bin/env bash
# ventrel --polar-info: the report on every polar of data/, its consistency with the
# model (VMG = speed x cos(angle)), the polar percentage, and the refusals.
# Usage: bash polar_info.sh <path-to-ventrel> <source-dir>
set -u

prog=$1
src=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The report: the lines after the header "TWS (nd) ...", as "tws angle speed vmg".
report_of() {
  awk 'found { print } /^ *TWS \(nd\)/ { found = 1 }' "$1"
}

# The wind speeds of the printed table, one a line.
table_speeds_of() {
  awk '/^TWA\\TWS/ { for (i = 2; i <= NF; i++) print $i; exit }' "$1"
}

# Checks one report: four numbers a line, one line per wind speed of the table, in
# the same order, the angle within the 50 degrees searched from the first row, and
# VMG = speed x cos(angle) within the rounding of the printed figures.
check_report() {
  local out=$1 label=$2
  report_of "$out" >"$tmp/report"
  table_speeds_of "$out" >"$tmp/speeds"
  local first_angle
  first_angle=$(awk '/^TWA\\TWS/ { getline; print $1; exit }' "$out")
  if [ ! -s "$tmp/report" ]; then
    fail "$label: no report lines"
    return
  fi
  if [ "$(wc -l <"$tmp/report")" -ne "$(wc -l <"$tmp/speeds")" ]; then
    fail "$label: $(wc -l <"$tmp/report") report lines for $(wc -l <"$tmp/speeds") wind speeds"
  fi
  awk '{ print $1 }' "$tmp/report" | cmp -s - "$tmp/speeds" ||
    fail "$label: the report's wind speeds differ from the table's"
  awk -v a0="$first_angle" -v label="$label" '
    function isnum(s) { return s ~ /^-?[0-9]+(\.[0-9]+)?$/ }
    {
      if (NF != 4) { printf "%s: line %d has %d fields: %s\n", label, NR, NF, $0; bad = 1; next }
      for (i = 1; i <= 4; i++) if (!isnum($i)) { printf "%s: line %d, \"%s\" is not a number\n", label, NR, $i; bad = 1; next }
      a = $2; s = $3; v = $4
      if (a < a0 - 1e-9 || a > a0 + 50 + 1e-9) { printf "%s: angle %s outside [%s, %s + 50]\n", label, a, a0, a0; bad = 1 }
      expect = s * cos(a * 3.14159265358979 / 180)
      if (expect - v > 0.003 || v - expect > 0.003) { printf "%s: VMG %s, speed x cos(angle) = %.4f\n", label, v, expect; bad = 1 }
    }
    END { exit bad }' "$tmp/report" >&2 || fail "$label: report inconsistent"
}

# Every polar of data/.
count=0
while IFS= read -r -d '' pol; do
  count=$((count + 1))
  label=${pol#"$src"/}
  "$prog" --polar-info "$pol" >"$tmp/out" 2>"$tmp/err"
  rc=$?
  if [ "$rc" -ne 0 ]; then
    fail "$label: exit status $rc ($(cat "$tmp/err"))"
    continue
  fi
  check_report "$tmp/out" "$label"
done < <(find "$src/data" -name '*.pol' -print0)
[ "$count" -gt 0 ] || fail "no polar found under $src/data"

# The percentage: same angles, nine tenths of the speeds.
def="$src/data/DefPolars/First31_7.pol"
"$prog" --polar-info "$def" --percent 90 >"$tmp/out90" 2>"$tmp/err"
rc=$?
if [ "$rc" -eq 0 ]; then
  check_report "$tmp/out90" "percent 90"
  "$prog" --polar-info "$def" >"$tmp/out100" 2>/dev/null
  paste <(report_of "$tmp/out100") <(report_of "$tmp/out90") | awk '
    {
      if ($2 != $6) { printf "angle %s at 100 %%, %s at 90 %%\n", $2, $6; bad = 1 }
      d = 0.9 * $3 - $7
      if (d > 0.002 || d < -0.002) { printf "speed %s at 90 %% for %s at 100 %%\n", $7, $3; bad = 1 }
    }
    END { exit bad }' >&2 || fail "percent 90 does not scale the speeds"
else
  fail "--percent 90: exit status $rc"
fi

# A French locale in force changes nothing: numbers are written with ".".
fr=$(locale -a 2>/dev/null | grep -i -m1 '^fr_FR\.utf-\?8$')
if [ -n "$fr" ]; then
  "$prog" --polar-info "$def" >"$tmp/out_c" 2>/dev/null
  LC_ALL=$fr "$prog" --polar-info "$def" >"$tmp/out_fr" 2>/dev/null
  cmp -s "$tmp/out_c" "$tmp/out_fr" || fail "the report differs under $fr"
  ! report_of "$tmp/out_fr" | grep -q ',' || fail "a decimal comma under $fr"
fi

# Refusals: a clear message on stderr, exit status 1, no report.
printf 'TWA\t6\r\n40\t3\r\n90\t4\r\n' >"$tmp/one_column.pol"
printf 'TWA\t6\t8\r\n40\t3\t4\r\n40\t3\t4\r\n' >"$tmp/equal_angles.pol"
: >"$tmp/empty.pol"
expect_refusal() {
  local label=$1 pattern=$2
  shift 2
  "$prog" "$@" >"$tmp/out" 2>"$tmp/err"
  local rc=$?
  [ "$rc" -eq 1 ] || fail "$label: exit status $rc, 1 expected"
  grep -q -- "$pattern" "$tmp/err" || fail "$label: message \"$(cat "$tmp/err")\" lacks \"$pattern\""
  ! grep -q '^ *TWS (nd)' "$tmp/out" || fail "$label: a report was printed"
}
expect_refusal "missing file" "n'existe pas" --polar-info "$tmp/absent.pol"
expect_refusal "directory" "n'est pas un fichier" --polar-info "$tmp"
expect_refusal "one column" "Polaire refusée" --polar-info "$tmp/one_column.pol"
expect_refusal "equal angles" "angles voisins sont égaux" --polar-info "$tmp/equal_angles.pol"
expect_refusal "empty file" "vide" --polar-info "$tmp/empty.pol"
expect_refusal "no file" "indiquez le fichier" --polar-info
for p in abc 101 -1 9.5 ""; do
  expect_refusal "percent '$p'" "pourcentage de polaire invalide" --polar-info "$def" --percent "$p"
done
expect_refusal "percent without value" "il manque le pourcentage" --polar-info "$def" --percent
expect_refusal "two files" "argument inattendu" --polar-info "$def" "$def"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "polar_info: all checks passed ($count polar file(s))"
