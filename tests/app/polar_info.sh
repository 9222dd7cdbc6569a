#!/usr/bin/env bash
# ventrel --polar-info: the report on every polar of data/, its consistency with the
# model (VMG = speed x cos(angle)), the polar percentage, and the refusals.
set -u
source "$(dirname "$0")/lib.bash"

# The report: the lines after the header "TWS (nd) ...", as "tws angle speed vmg".
report_of() { awk 'found { print } /^ *TWS \(nd\)/ { found = 1 }' "$1"; }

# One line per wind speed of the printed table, in its order, of four numbers: the
# angle within the 50 degrees searched from the table's first row, and VMG = speed x
# cos(angle) within the rounding of the printed figures.
check_report() {  # the output, a label
  awk -v label="$2" '
    function bad(m) { printf "%s: %s\n", label, m; err = 1 }
    /^TWA\\TWS/ { for (i = 2; i <= NF; i++) tws[++ntws] = $i; first = 1; next }
    first { a0 = $1; first = 0 }
    report && NF != 4 { bad("line " ++n " has " NF " fields: " $0); next }
    report {
      for (i = 1; i <= 4; i++) if ($i !~ /^-?[0-9]+(\.[0-9]+)?$/) bad("\"" $i "\" is not a number")
      if ($1 "" != tws[++n] "") bad("wind speed " $1 " where the table has " tws[n])
      if ($2 < a0 - 1e-9 || $2 > a0 + 50 + 1e-9) bad("angle " $2 " outside [" a0 ", " a0 " + 50]")
      v = $3 * cos($2 * 3.14159265358979 / 180)
      if (v - $4 > 0.003 || $4 - v > 0.003) bad(sprintf("VMG %s, speed x cos(angle) = %.4f", $4, v))
    }
    /^ *TWS \(nd\)/ { report = 1 }
    END { if (n == 0 || n != ntws) bad(n " report lines for " ntws " wind speeds"); exit err }
  ' "$1" >&2 || fail "$2: report inconsistent"
}

count=0
while IFS= read -r -d '' pol; do
  count=$((count + 1))
  "$prog" --polar-info "$pol" >"$tmp/out" 2>"$tmp/err" || { fail "$pol: exit status $? ($(cat "$tmp/err"))"; continue; }
  check_report "$tmp/out" "${pol#"$src"/}"
done < <(find "$src/data" -name '*.pol' -print0)
[ "$count" -gt 0 ] || fail "no polar found under $src/data"

# The percentage: same angles, nine tenths of the speeds.
def="$src/data/DefPolars/First31_7.pol"
"$prog" --polar-info "$def" >"$tmp/out100"
if "$prog" --polar-info "$def" --percent 90 >"$tmp/out90" 2>"$tmp/err"; then
  check_report "$tmp/out90" "percent 90"
  paste <(report_of "$tmp/out100") <(report_of "$tmp/out90") | awk '
    $2 != $6 { printf "angle %s at 100 %%, %s at 90 %%\n", $2, $6; bad = 1 }
    { d = 0.9 * $3 - $7 }
    d > 0.002 || d < -0.002 { printf "speed %s at 90 %% for %s at 100 %%\n", $7, $3; bad = 1 }
    END { exit bad }' >&2 || fail "percent 90 does not scale the speeds"
else
  fail "--percent 90: exit status $?"
fi

# A French locale in force changes nothing: numbers are written with ".".
fr=$(locale -a 2>/dev/null | grep -i -m1 '^fr_FR\.utf-\?8$')
if [ -n "$fr" ]; then
  LC_ALL=$fr "$prog" --polar-info "$def" >"$tmp/out_fr" 2>/dev/null
  cmp -s "$tmp/out100" "$tmp/out_fr" || fail "the report differs under $fr"
  ! report_of "$tmp/out_fr" | grep -q ',' || fail "a decimal comma under $fr"
fi

# Axis values closer than the usual decimals tell apart are printed with more
# decimals, or in the general form; a usual polar keeps its decimals. The report
# prints the wind speeds as the table does.
while IFS='|' read -r s1 s2 a1 a2 want; do
  printf 'TWA\t%s\t%s\r\n%s\t4\t5\r\n%s\t6\t7\r\n' "$s1" "$s2" "$a1" "$a2" >"$tmp/axes.pol"
  "$prog" --polar-info "$tmp/axes.pol" >"$tmp/out" 2>"$tmp/err" || { fail "axes $s1 $s2 / $a1 $a2: exit status $?"; continue; }
  got=$(awk '/^ *TWA\\TWS/ { s = $2 " " $3; getline; a = $1; getline; print s " | " a " " $1; exit }' "$tmp/out")
  [ "$got" = "$want" ] || fail "axes $s1 $s2 / $a1 $a2 printed \"$got\", \"$want\" expected"
  tws=$(report_of "$tmp/out" | awk '{ print $1 }' | paste -sd ' ')
  [ "$tws" = "${want%% |*}" ] || fail "axes $s1 $s2: report wind speeds \"$tws\""
done <<'CASES'
6|8|40|90|6 8 | 40 90
6.5|8.25|40.5|90|6.50 8.25 | 40.5 90.0
0.001|0.002|40|90|0.001 0.002 | 40 90
0.0001|0.0002|40|40.00001|0.0001 0.0002 | 40.00000 40.00001
0.00001|0.00002|40|90|0.00001 0.00002 | 40 90
1e-30|2e-30|40|90|1E-30 2E-30 | 40 90
CASES

# One more CR LF at the end of the default polar changes nothing in the report.
printf '\r\n' | cat "$def" - >"$tmp/crlf.pol"
"$prog" --polar-info "$tmp/crlf.pol" >"$tmp/out_crlf" 2>"$tmp/err" || fail "default polar + CR LF: exit status $?"
[ ! -s "$tmp/err" ] || fail "default polar + CR LF: stderr $(head -c 300 "$tmp/err")"
cmp -s <(tail -n +2 "$tmp/out100") <(tail -n +2 "$tmp/out_crlf") || fail "one more CR LF changes the report"

# Refusals: a clear message on stderr, exit status 1, nothing on stdout.
printf 'TWA\t6\r\n40\t3\r\n90\t4\r\n' >"$tmp/one_column.pol"
printf 'TWA\t6\t8\r\n40\t3\t4\r\n40\t3\t4\r\n' >"$tmp/equal_angles.pol"
: >"$tmp/empty.pol"
refuses 1 "n'existe pas" --polar-info "$tmp/absent.pol"
refuses 1 "n'est pas un fichier" --polar-info "$tmp"
refuses 1 "Polaire refusée" --polar-info "$tmp/one_column.pol"
refuses 1 "angles voisins sont égaux" --polar-info "$tmp/equal_angles.pol"
refuses 1 "vide" --polar-info "$tmp/empty.pol"
printf 'TWA\t8\t6\r\n40\t3\t4\r\n90\t3\t4\r\n' >"$tmp/down.pol"
printf 'TWA\t6\t8\r\n40\t3\t-4\r\n90\t3\t4\r\n' >"$tmp/negative.pol"
mkfifo "$tmp/fifo.pol"
refuses 1 "les forces de vent doivent croître" --polar-info "$tmp/down.pol"
refuses 1 "ligne 2, cellule 3 : la vitesse « -4 »" --polar-info "$tmp/negative.pol"
refuses 1 "tube nommé" --polar-info "$tmp/fifo.pol"  # not opened: no wait for a writer
refuses 1 "indiquez le fichier" --polar-info
for p in abc 101 -1 9.5 ""; do refuses 1 "pourcentage de polaire invalide" --polar-info "$def" --percent "$p"; done
refuses 1 "il manque le pourcentage" --polar-info "$def" --percent
refuses 1 "argument inattendu" --polar-info "$def" "$def"
finish "all checks passed ($count polar file(s))"
