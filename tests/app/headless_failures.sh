#!/usr/bin/env bash
# ventrel --headless when its outputs fail or its configuration would send nothing:
# a write refused on standard output or in a list file ends the run with status 1
# and a French message, standard output holding whole sentences and the raw list
# exactly those; a reader that stops reading ends it cleanly; a configuration that
# cannot be read as one, or selects no sentence, is refused with status 2; the
# model's four diagnostic lines of a heading too close to the wind come once, then
# a count.
set -u
source "$(dirname "$0")/lib.bash"
need iconv perl

ini=$src/tests/app/runs/headless.ini
fast=(--headless --fast --stdout --config "$ini" --start-time "2026-12-31 22:59:40")

# Problems of a file that should hold whole sentences, each with CR LF; "" when none.
not_whole() {
  perl -e 'local $/; my $t = <STDIN>; exit 0 if $t eq "";
    print("no CR LF at the end\n"), exit 0 unless $t =~ /\r\n\z/;
    my $n = 0;
    for (split /\r\n/, $t) { $n++; print("line $n: $_\n"), exit 0 unless /^\$[A-Z]{5},[^*\r\n]*\*[0-9A-F]{2}$/ }' <"$1"
}

# Standard output refused: each case is a target (a shell redirection run under an
# optional file-size limit in KiB), the options, the message, and how many bytes
# may have gone out (at least, at most).
while IFS='|' read -r name limit target opts message least most; do
  rm -f "$tmp/raw.txt" "$tmp/out"
  printf 'old list\r\n' >"$tmp/raw.txt"
  # shellcheck disable=SC2086
  (
    [ "$limit" = - ] || ulimit -f "$limit"
    eval "exec \"\$prog\" \"\${fast[@]}\" $opts --log \"\$tmp/raw.txt\" $target 2>\"\$tmp/err\""
  )
  rc=$?
  [ "$rc" -eq 1 ] || fail "$name: exit status $rc, 1 expected"
  grep -q "$message" "$tmp/err" || fail "$name: message \"$(head -c 300 "$tmp/err")\" lacks \"$message\""
  [ -f "$tmp/raw.txt" ] || { fail "$name: no raw list"; continue; }
  problems=$(not_whole "$tmp/raw.txt")
  [ -z "$problems" ] || fail "$name: raw list: $problems"
  size=$(wc -c <"$tmp/raw.txt")
  [ "$size" -ge "$least" ] && [ "$size" -le "$most" ] || fail "$name: raw list of $size bytes"
  if [ -f "$tmp/out" ]; then
    problems=$(not_whole "$tmp/out")
    [ -z "$problems" ] || fail "$name: standard output: $problems"
    cmp -s "$tmp/out" "$tmp/raw.txt" || fail "$name: the raw list differs from what went out"
  fi
done <<'CASES'
full disk, fast|-|>/dev/full|--duration 100000|Écriture impossible sur la sortie standard (plus de place|0|0
full disk, real time|-|>/dev/full|--duration 20|Écriture impossible sur la sortie standard (plus de place|0|0
file-size limit cuts a buffer|100|>"$tmp/out"|--duration 100000|(fichier trop grand|65536|102400
CASES
[ "$(grep -c . "$tmp/err")" -le 2 ] || fail "standard output refused: $(cat "$tmp/err")"

# The raw list refused (file-size limit; standard output elsewhere): the run stops,
# status 1, and the old list stays as it was.
printf 'old list\r\n' >"$tmp/raw.txt"
(ulimit -f 64; exec "$prog" "${fast[@]}" --duration 100000 --log "$tmp/raw.txt" >/dev/null 2>"$tmp/err")
rc=$?
[ "$rc" -eq 1 ] || fail "list refused: exit status $rc, 1 expected"
grep -q "Écriture impossible dans un journal" "$tmp/err" || fail "list refused: $(head -c 300 "$tmp/err")"
grep -q "Impossible d'enregistrer le fichier « raw.txt »" "$tmp/err" || fail "list refused: the file is not named ($(head -c 300 "$tmp/err"))"
[ "$(cat "$tmp/raw.txt")" = $'old list\r' ] || fail "list refused: the old list was replaced"

# A reader that stops: a clean end, silent without a list, said with one; the list
# holds the whole sentences that went out, the first of them as the reader got them.
for log in "" "$tmp/raw.txt"; do
  rm -f "$tmp/raw.txt"
  "$prog" "${fast[@]}" --duration 100000 ${log:+--log "$log"} 2>"$tmp/err" | head -n 5 >"$tmp/head"
  rc=${PIPESTATUS[0]}
  [ "$rc" -eq 0 ] || fail "reader gone (log \"$log\"): exit status $rc"
  [ "$(wc -l <"$tmp/head")" -eq 5 ] || fail "reader gone: $(wc -l <"$tmp/head") lines read"
  if [ -z "$log" ]; then
    [ ! -s "$tmp/err" ] || fail "reader gone, no list: $(head -c 300 "$tmp/err")"
  else
    grep -q "fermée par son lecteur" "$tmp/err" || fail "reader gone, list: $(head -c 300 "$tmp/err")"
    problems=$(not_whole "$tmp/raw.txt")
    [ -z "$problems" ] || fail "reader gone: raw list: $problems"
    head -n 5 "$tmp/raw.txt" | cmp -s - "$tmp/head" || fail "reader gone: the list does not start as read"
  fi
done

# Configurations that would send nothing: refused before anything starts.
sed '/^\[NMEA\]/,$d' "$ini" >"$tmp/no_nmea.ini"
sed '/^\[NMEA\]/,$s/^\(i[A-Z][A-Z][A-Z]\)=1/\1=0/' "$ini" >"$tmp/all_off.ini"
: >"$tmp/empty.ini"
printf '\xEF\xBB\xBF\r\n  \r\n' >"$tmp/blank.ini"
perl -e 'srand(12); print map { chr(int(rand(256))) } 1 .. 4096' >"$tmp/random.ini"
{ cat "$ini"; printf '\0\0\0\0'; } >"$tmp/nul.ini"
iconv -f UTF-8 -t UTF-16 "$ini" >"$tmp/utf16.ini"
iconv -f UTF-8 -t UTF-16LE "$ini" >"$tmp/utf16le.ini"
rm -f "$tmp/raw.txt"
while IFS='|' read -r file message; do
  refuses 2 "$message" --headless --stdout --duration 5 --config "$tmp/$file" --log "$tmp/raw.txt"
  grep -q "$tmp/$file" "$tmp/err" || fail "$file: the file is not named ($(head -c 300 "$tmp/err"))"
  [ "$(grep -c . "$tmp/err")" -eq 1 ] || fail "$file: $(cat "$tmp/err")"
done <<'CASES'
no_nmea.ini|pas de section \[NMEA\], rien ne serait transmis
all_off.ini|toutes les phrases de sa section \[NMEA\] sont à 0
empty.ini|ne peut pas servir : il est vide
blank.ini|ne peut pas servir : il est vide
random.ini|ne peut pas servir : il contient
nul.ini|ne peut pas servir : il contient des octets nuls
utf16.ini|ne peut pas servir : il est en UTF-16
utf16le.ini|ne peut pas servir : il contient des octets nuls
CASES

# Heading straight into the wind for a simulated hour: the four diagnostic lines
# once, then one line with the count at the end (instead of four lines a tick:
# the start's computation, then one a tick).
sed -e 's/^iHDG=.*/iHDG=250/' -e 's/^i\(HDG\|TWS\|TWD\)var=1/i\1var=0/' "$ini" >"$tmp/into_wind.ini"
grep -q '^iTWD=250' "$tmp/into_wind.ini" || fail "into_wind.ini: the wind is no longer from 250"
"$prog" --headless --fast --stdout --config "$tmp/into_wind.ini" --duration 3600 >/dev/null 2>"$tmp/err" ||
  fail "into the wind: exit status $?"
head -n 4 "$tmp/err" | cut -d= -f1 | tr '\n' '|' | grep -qx ' A | Amin | Wsi | VAmin |' ||
  fail "into the wind: the four lines do not come first ($(head -4 "$tmp/err"))"
[ "$(wc -l <"$tmp/err")" -eq 5 ] || fail "into the wind: $(wc -l <"$tmp/err") lines on standard error, 5 expected"
tail -n 1 "$tmp/err" | grep -q "dure encore à la fin, après 3600 s (de 0 s à 3600 s), 3601 calcul" ||
  fail "into the wind: last line \"$(tail -n 1 "$tmp/err")\""
finish "all checks passed"
