#!/usr/bin/env bash
# ventrel --headless on the virtual clock: the options refused with exit status 2
# and nothing started; a fast run to standard output reproducible to the byte with
# --start-time and equal to its recorded run; every sentence framed, with CR LF and
# a checksum computed here with its own XOR; the groups 1, 2, 3 one a second with
# the clock of their second; the raw and time-stamped lists written at the end.
# Usage: bash headless.sh <path-to-ventrel> <source-dir>
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

start="2026-12-31 22:59:40"
cfg=$src/tests/app/runs/headless.ini
record=$src/tests/app/runs/headless_60s.nmea

# ---- Refusals: exit status 2, the message on stderr, nothing on stdout, no file.
printf '[COM]\r\niVit=1234\r\n' >"$tmp/bad_speed.ini"
expect_refusal() {
  local pattern=$1
  shift
  "$prog" --headless "$@" >"$tmp/out" 2>"$tmp/err" </dev/null
  local rc=$?
  [ "$rc" -eq 2 ] || fail "$*: exit status $rc, 2 expected"
  grep -q -- "$pattern" "$tmp/err" || fail "$*: message \"$(head -c 300 "$tmp/err")\" lacks \"$pattern\""
  [ ! -s "$tmp/out" ] || fail "$*: something was written on stdout"
  [ ! -e "$tmp/raw.txt" ] || fail "$*: the log file was written"
  rm -f "$tmp/raw.txt"
}
expect_refusal "Indiquez --port"
expect_refusal "Option inconnue : --bogus" --stdout --bogus
expect_refusal "Option répétée : --stdout" --stdout --stdout
expect_refusal "Il manque la valeur de l'option --baud" --stdout --baud
expect_refusal "Vitesse invalide : « 5000 »" --stdout --baud 5000
expect_refusal "Vitesse invalide : « 04800 »" --stdout --baud 04800
for d in -3 1.5 abc ""; do
  expect_refusal "Durée invalide" --stdout --fast --duration "$d"
done
for t in "2026-13-01 00:00:00" "2027-02-29 12:00:00" "2026-12-06T12:00:00" "2026-12-06 24:00:00"; do
  expect_refusal "Heure de départ invalide" --stdout --start-time "$t"
done
expect_refusal "Port invalide" --port bogus
expect_refusal "--fast ne s'emploie pas avec --port" --fast --port COM1
expect_refusal "Fichier de configuration introuvable" --stdout --config "$tmp/absent.ini"
expect_refusal "Dossier introuvable" --stdout --log "$tmp/absent/raw.txt"
expect_refusal "même fichier" --stdout --log "$tmp/raw.txt" --log-stamped "$tmp/raw.txt"
expect_refusal "Vitesse invalide dans la configuration" --stdout --config "$tmp/bad_speed.ini"
expect_refusal "Ce Com n'est pas disponible" --port "$tmp/no-such-device" --log "$tmp/raw.txt" --duration 1
"$prog" --help | grep -q -- "--headless" || fail "--help does not mention --headless"

# ---- A fast run, twice, and under a French locale.
run() {
  "$prog" --headless --fast --stdout --config "$cfg" --start-time "$start" --duration 60 "$@"
}
run --log "$tmp/raw.txt" --log-stamped "$tmp/hms.txt" >"$tmp/run1" 2>"$tmp/err1" || fail "fast run: exit status $?"
[ ! -s "$tmp/err1" ] || fail "fast run wrote on stderr: $(head -c 300 "$tmp/err1")"
run >"$tmp/run2" 2>/dev/null
cmp -s "$tmp/run1" "$tmp/run2" || fail "two runs with the same start time differ"
fr=$(locale -a 2>/dev/null | grep -i -m1 '^fr_FR\.utf-\?8$')
if [ -n "$fr" ]; then
  LC_ALL=$fr run >"$tmp/run_fr" 2>/dev/null
  cmp -s "$tmp/run1" "$tmp/run_fr" || fail "the run differs under $fr"
fi

# The recorded run (without its header lines and CRs).
grep -v '^#' "$record" >"$tmp/expected"
tr -d '\r' <"$tmp/run1" | diff -q - "$tmp/expected" >/dev/null ||
  fail "the run differs from $record (see tests/app/runs/regenerate.sh)"

# Every line: "$", at most 82 characters with CR LF, CR LF, and its checksum.
perl -ne '
  my $line = $_;
  unless ($line =~ /\r\n\z/) { print "line $.: no CR LF\n"; next }
  $line =~ s/\r\n\z//;
  if (length($line) + 2 > 82) { print "line $.: longer than 82 characters\n" }
  my ($body, $sum) = $line =~ /^\$([A-Z]{5},[^*]*)\*([0-9A-F]{2})$/;
  unless (defined $sum) { print "line $.: not a sentence: $line\n"; next }
  my $x = 0;
  $x ^= ord($_) for split //, $body;
  printf "line %d: checksum %s, computed %02X\n", $., $sum, $x if sprintf("%02X", $x) ne $sum;
' "$tmp/run1" >"$tmp/framing"
[ ! -s "$tmp/framing" ] || fail "framing: $(head -5 "$tmp/framing")"

# The groups: 1 at second 0, 2 at 1, 3 at 2, 1 at 3, ...: 61 groups for 60 s.
# Group 1 begins with DPT, group 2 with VHW, group 3 with GSV.
tr -d '\r' <"$tmp/run1" | awk '
  /^\$..DPT,/ { g = 1 } /^\$..VHW,/ { g = 2 } /^\$..GSV,3,1,/ { g = 3 }
  /^\$..(DPT|VHW),/ || /^\$..GSV,3,1,/ {
    if (n > 0 && g != prev % 3 + 1) printf "group %d follows group %d\n", g, prev
    if (n == 0 && g != 1) printf "the run begins with group %d\n", g
    prev = g; n++
  }
  END { if (n != 61) printf "%d groups, 61 expected\n", n }' >"$tmp/groups"
[ ! -s "$tmp/groups" ] || fail "groups: $(head -3 "$tmp/groups")"

# The clock of each group: RMC of group 2 at second 3k+1, ZDA of group 3 at 3k+2;
# local 22:59:40 with UTC = local + 1 h, so second s is 23:59:40 + s UTC, and the
# date turns to 1 January 2027 at s = 20.
tr -d '\r' <"$tmp/run1" | awk -F, '
  function utc(s,   t) { t = 23 * 3600 + 59 * 60 + 40 + s; t %= 86400
    return sprintf("%02d%02d%02d.00", int(t / 3600), int(t % 3600 / 60), t % 60) }
  /^\$..RMC/ { s = 3 * n2++ + 1; if ($2 != utc(s)) printf "RMC of second %d at %s, %s expected\n", s, $2, utc(s)
               d = s < 20 ? "311226" : "010127"; if ($10 != d) printf "RMC of second %d dated %s\n", s, $10 }
  /^\$..ZDA/ { s = 3 * n3++ + 2; if ($2 != utc(s)) printf "ZDA of second %d at %s, %s expected\n", s, $2, utc(s)
               d = s < 20 ? "31,12,2026" : "01,01,2027"; if ($3 "," $4 "," $5 != d) printf "ZDA of second %d dated %s\n", s, $3 "," $4 "," $5 }
  END { if (n2 != 20 || n3 != 20) printf "%d RMC and %d ZDA, 20 each expected\n", n2, n3 }' >"$tmp/clock"
[ ! -s "$tmp/clock" ] || fail "clock: $(head -3 "$tmp/clock")"

# The raw list is what was sent; the time-stamped one starts with an empty line,
# then "NMEA183:" + local date + "Z" + local time of the sentence's second + ":".
cmp -s "$tmp/raw.txt" "$tmp/run1" || fail "the raw list differs from what was sent"
head -c 2 "$tmp/hms.txt" | od -c | grep -q '\\r  \\n' || fail "the time-stamped list does not start with an empty line"
tail -n +2 "$tmp/hms.txt" | tr -d '\r' | awk -F: '
  $1 != "NMEA183" { print "no NMEA183 prefix: " $0; next }
  /:\$..DPT,/ { s = 3 * n1++ } /:\$..VHW,/ { s = 3 * n2++ + 1 } /:\$..GSV,3,1,/ { s = 3 * n3++ + 2 }
  { t = 22 * 3600 + 59 * 60 + 40 + s
    want = sprintf("2026-12-31Z%02d:%02d:%02d.000", int(t / 3600), int(t % 3600 / 60), t % 60)
    if ($2 ":" $3 ":" $4 != want) printf "stamp %s for second %d, %s expected\n", $2 ":" $3 ":" $4, s, want }' >"$tmp/stamps"
[ ! -s "$tmp/stamps" ] || fail "stamps: $(head -3 "$tmp/stamps")"
tail -n +2 "$tmp/hms.txt" | tr -d '\r' | sed 's/^NMEA183:[0-9-]*Z[0-9:.]*://' >"$tmp/hms_sentences"
tr -d '\r' <"$tmp/raw.txt" | cmp -s - "$tmp/hms_sentences" || fail "the time-stamped list does not hold the sentences sent"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "headless: all checks passed"
