#!/usr/bin/env bash
# ventrel --headless on the virtual clock: the options refused with exit status 2
# and nothing started; a fast run to standard output reproducible to the byte with
# --start-time, under a French locale too, and equal to its recorded run; its raw
# and time-stamped lists; then a simulated day. Every line of both runs a sentence
# with CR LF and a checksum computed here; the groups 1, 2, 3 one a second, each
# RMC and ZDA with the UTC time and date of its second; the shipped configuration
# on the machine's own UTC offset.
set -u
source "$(dirname "$0")/lib.bash"

refused() { refuses 2 "$1" --headless "${@:2}"; }
printf '[COM]\r\niVit=1234\r\n[NMEA]\r\niAPB=1\r\n' >"$tmp/bad_speed.ini"
refused "Indiquez --port"
refused "Option inconnue : --bogus" --stdout --bogus
refused "Option répétée : --stdout" --stdout --stdout
refused "Il manque la valeur de l'option --baud" --stdout --baud
refused "Vitesse invalide : « 5000 »" --stdout --baud 5000
refused "Vitesse invalide : « 04800 »" --stdout --baud 04800
for d in -3 1.5 abc "" 1000000001 9223372036854775807; do
  refused "Durée invalide" --stdout --fast --duration "$d"
done
for t in "2026-13-01 00:00:00" "2027-02-29 12:00:00" "2026-12-06T12:00:00" "2026-12-06 24:00:00"; do
  refused "Heure de départ invalide" --stdout --start-time "$t"
done
refused "Port invalide" --port bogus
refused "--fast ne s'emploie pas avec --port" --fast --port COM1
refused "Fichier de configuration introuvable" --stdout --config "$tmp/absent.ini"
refused "Dossier introuvable" --stdout --log "$tmp/absent/raw.txt"
refused "même fichier" --stdout --log "$tmp/raw.txt" --log-stamped "$tmp/raw.txt"
refused "Vitesse invalide dans la configuration" --stdout --config "$tmp/bad_speed.ini"
refused "ne peut pas être ouvert : le périphérique $tmp/no-such-device n'existe pas" --port "$tmp/no-such-device" \
  --log "$tmp/raw.txt" --duration 1
grep -q "^Ce port n'est pas disponible" "$tmp/err" || fail "the port message does not start cleanly: $(head -c 300 "$tmp/err")"
refused "Valeur invalide pour --port-loss : « later »" --port COM1 --port-loss later
refused "--port-loss ne s'emploie qu'avec --port" --stdout --port-loss exit
"$prog" --help | grep -q -- "--headless" || fail "--help does not mention --headless"
# The version comes from the project's version in CMakeLists.txt, and from there only.
version=$(sed -n 's/^project(ventrel VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
[ -n "$version" ] || fail "no version found in project() of $src/CMakeLists.txt"
[ "$("$prog" --version)" = "ventrel $version" ] || fail "--version says \"$("$prog" --version)\", not ventrel $version"

# From local 22:59:40 on 31 December 2026, UTC = local + 1 h (the configuration's
# idTU): second s is 23:59:40 + s UTC, and the UTC date turns at s = 20.
run() {
  "$prog" --headless --fast --stdout --config "$src/tests/app/runs/headless.ini" \
    --start-time "2026-12-31 22:59:40" "$@" 2>"$tmp/err" || fail "$*: exit status $?"
  [ ! -s "$tmp/err" ] || fail "$*: stderr $(head -c 300 "$tmp/err")"
}
check_run() {  # the file of a run, its number of groups
  perl -ne '
    unless (s/\r\n\z//) { print "line $.: no CR LF\n"; next }
    print "line $.: longer than 82 characters\n" if length($_) + 2 > 82;
    my ($body, $sum) = /^\$([A-Z]{5},[^*]*)\*([0-9A-F]{2})$/ or do { print "line $.: not a sentence: $_\n"; next };
    my $x = 0;
    $x ^= ord($_) for split //, $body;
    printf "line %d: checksum %s, computed %02X\n", $., $sum, $x if sprintf("%02X", $x) ne $sum;
  ' "$1" >"$tmp/problems"
  tr -d '\r' <"$1" | awk -F, -v groups="$2" '
    function utc(s,   t) { t = (23 * 3600 + 59 * 60 + 40 + s) % 86400
      return sprintf("%02d%02d%02d.00", int(t / 3600), int(t % 3600 / 60), t % 60) }
    /^\$..DPT,/ { g = 1 } /^\$..VHW,/ { g = 2 } /^\$..GSV,3,1,/ { g = 3 }
    /^\$..(DPT|VHW),/ || /^\$..GSV,3,1,/ {
      if (g != (n % 3) + 1) { printf "group %d at group %d\n", g, n; exit }
      n++
    }
    /^\$..RMC/ { s = 3 * n2++ + 1; d = s < 20 ? "311226" : "010127"; got = $2 " " $10 }
    /^\$..ZDA/ { s = 3 * n3++ + 2; d = s < 20 ? "31,12,2026" : "01,01,2027"; got = $2 " " $3 "," $4 "," $5 }
    /^\$..(RMC|ZDA)/ && got != utc(s) " " d { printf "%s of second %d: %s, %s %s expected\n", $1, s, got, utc(s), d }
    END { if (n != groups || n2 != int((groups + 1) / 3) || n3 != int(groups / 3))
            printf "%d groups, %d RMC, %d ZDA for %d groups\n", n, n2, n3, groups }' >>"$tmp/problems"
  [ ! -s "$tmp/problems" ] || fail "$1: $(head -5 "$tmp/problems")"
}

# 60 s: groups at seconds 0 to 60, twice alike, alike under a French locale, and
# as recorded (without the record's header lines and the CRs).
run --duration 60 --log "$tmp/raw.txt" --log-stamped "$tmp/hms.txt" >"$tmp/run1"
check_run "$tmp/run1" 61
run --duration 60 >"$tmp/run2"
cmp -s "$tmp/run1" "$tmp/run2" || fail "two runs with the same start time differ"
fr=$(locale -a 2>/dev/null | grep -i -m1 '^fr_FR\.utf-\?8$')
if [ -n "$fr" ]; then
  LC_ALL=$fr run --duration 60 >"$tmp/run_fr"
  cmp -s "$tmp/run1" "$tmp/run_fr" || fail "the run differs under $fr"
fi
record=$src/tests/app/runs/headless_60s.nmea
tr -d '\r' <"$tmp/run1" | cmp -s - <(grep -v '^#' "$record") ||
  fail "the run differs from $record (see tests/app/runs/regenerate.sh)"

# The raw list is what was sent; the time-stamped one starts with an empty line,
# then "NMEA183:" + local date + "Z" + local time of the sentence's second + ":".
cmp -s "$tmp/raw.txt" "$tmp/run1" || fail "the raw list differs from what was sent"
head -c 2 "$tmp/hms.txt" | cmp -s - <(printf '\r\n') || fail "the time-stamped list does not start with an empty line"
tail -n +2 "$tmp/hms.txt" | tr -d '\r' | awk -F: '
  /:\$..DPT,/ { s = 3 * n1++ } /:\$..VHW,/ { s = 3 * n2++ + 1 } /:\$..GSV,3,1,/ { s = 3 * n3++ + 2 }
  { t = 22 * 3600 + 59 * 60 + 40 + s
    want = sprintf("NMEA183:2026-12-31Z%02d:%02d:%02d.000", int(t / 3600), int(t % 3600 / 60), t % 60)
    got = $1 ":" $2 ":" $3 ":" $4
    if (got != want) printf "stamp %s for second %d, %s expected\n", got, s, want }
' >"$tmp/stamps"
[ ! -s "$tmp/stamps" ] || fail "stamps: $(head -3 "$tmp/stamps")"
tail -n +2 "$tmp/hms.txt" | sed 's/^NMEA183:[0-9-]*Z[0-9:.]*://' | cmp -s - "$tmp/raw.txt" ||
  fail "the time-stamped list does not hold the sentences sent"

# The shipped configuration takes the machine's own UTC offset (idTU=auto): in a
# zone given by TZ, its run is the run of the same file with that zone's offset
# written as a number, and in another zone it differs. December: New York is
# UTC - 5, Kolkata UTC + 5 h 30.
shipped=$(dirname "$prog")/Ventrel.ini
grep -q '^idTU=auto' "$shipped" || fail "$shipped does not say idTU=auto"
zoned() {  # zone, then the options of the run
  TZ=$1 "$prog" --headless --fast --stdout --duration 30 --start-time "2026-12-06 10:00:00" "${@:2}" 2>"$tmp/err" ||
    fail "TZ=$1: exit status $?"
  [ ! -s "$tmp/err" ] || fail "TZ=$1: stderr $(head -c 300 "$tmp/err")"
}
for pair in "<+02>-2 -2" "EST5EDT,M3.2.0,M11.1.0 5" "<+0530>-5:30 -5.30" "UTC0 0"; do
  zone=${pair% *}
  sed "s/^idTU=auto/idTU=${pair##* }/" "$shipped" >"$tmp/number.ini"
  zoned "$zone" >"$tmp/auto"
  zoned "UTC0" --config "$tmp/number.ini" >"$tmp/number"
  cmp -s "$tmp/auto" "$tmp/number" || fail "TZ=$zone: idTU=auto differs from idTU=${pair##* }"
  zoned "<+03>-3" >"$tmp/other"
  ! cmp -s "$tmp/auto" "$tmp/other" || fail "TZ=$zone: the same run as in UTC + 3"
done

# Real time ten times as fast sends what the virtual clock sends, times included,
# in about a tenth of the time; speeds outside 1 to 100 and --speed with --fast
# are refused.
run --duration 30 >"$tmp/fast30"
start=$(date +%s%N)
"$prog" --headless --speed 10 --stdout --duration 30 --config "$src/tests/app/runs/headless.ini" \
  --start-time "2026-12-31 22:59:40" >"$tmp/speed10" 2>"$tmp/err" ||
  fail "--speed 10: exit status $?"
took=$((($(date +%s%N) - start) / 1000000))
cmp -s "$tmp/fast30" "$tmp/speed10" || fail "--speed 10 sends other sentences than --fast"
[ "$took" -lt 20000 ] || fail "--speed 10: 30 simulated seconds took $took ms"
rm -f "$tmp/raw.txt"
for bad in 0 101 1.5 x; do refuses 2 "de 1 à 100" --headless --stdout --speed "$bad"; done
refuses 2 "ne s'emploie pas avec --fast" --headless --stdout --fast --speed 2
refuses 2 "AUTO, STDBY ou NAV" --headless --stdout --pilot nav

# A simulated day: groups at seconds 0 to 86 400.
run --duration 86400 >"$tmp/day"
check_run "$tmp/day" 86401
finish "all checks passed"
