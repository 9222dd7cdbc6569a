#!/usr/bin/env bash
# The polar of a headless run. A configured polar that cannot be used (missing,
# misspelt, in a missing folder, a folder, a FIFO, refused by the parser) is named
# on standard error before the default polar is read: the run then sends the same
# sentences as one configured with the default polar. A FIFO is never opened (the
# run would wait for a writer). Blank lines added to the default polar change nothing.
set -u
source "$(dirname "$0")/lib.bash"
need timeout

ini="$src/tests/app/runs/headless.ini"
def="$src/data/DefPolars/First31_7.pol"
# The recorded run's configuration with another polar: its folder, its file.
config() { sed "s|^Polars=.*|Polars=$1|; s|^PolaireAct=.*|PolaireAct=$2|" "$ini" >"$tmp/polar.ini"; }
run() {  # the output file; the configuration is $tmp/polar.ini
  timeout 120 "$prog" --headless --fast --stdout --duration 20 --config "$tmp/polar.ini" \
    --start-time "2026-12-06 10:00:00" >"$1" 2>"$tmp/err"
}

config "DefPolars/" "FIRST31_7.pol"
run "$tmp/ref" || fail "default polar: exit status $?"
[ ! -s "$tmp/err" ] || fail "default polar: stderr $(head -c 300 "$tmp/err")"
[ -s "$tmp/ref" ] || fail "default polar: no sentence"

mkdir -p "$tmp/pol/folder.pol"
mkfifo "$tmp/pol/fifo.pol"
printf 'TWA\t6\t8\r\n90\t4\t5\r\n40\t6\t7\r\n' >"$tmp/pol/down.pol"
printf 'TWA\t6\t8\r\n40\t4\t5\r\n90\t6\t1e4000\r\n' >"$tmp/pol/huge.pol"
while IFS='|' read -r folder file shown why; do
  config "$folder" "$file"
  run "$tmp/out"
  rc=$?
  [ "$rc" -eq 0 ] || { fail "$file: exit status $rc ($(head -c 300 "$tmp/err"))"; continue; }
  grep -qF "$shown » ne peut pas servir, la polaire par défaut" "$tmp/err" ||
    fail "$file: no warning naming it: $(head -c 300 "$tmp/err")"
  grep -qF "$why" "$tmp/err" || fail "$file: reason \"$why\" missing: $(head -c 300 "$tmp/err")"
  [ "$(grep -c 'ne peut pas servir' "$tmp/err")" -eq 1 ] || fail "$file: warned more than once"
  cmp -s "$tmp/out" "$tmp/ref" || fail "$file: the run differs from the one on the default polar"
done <<EOF
$tmp/pol/|absent.pol|« $tmp/pol/absent.pol|le fichier n'existe pas dans ce dossier.
DefPolars/|FIRST31_8.pol|/DefPolars/FIRST31_8.pol|n'existe pas
$tmp/nowhere/|FIRST31_7.pol|$tmp/nowhere/FIRST31_7.pol|le dossier « $tmp/nowhere/ » n'existe pas.
$tmp/pol/|folder.pol|$tmp/pol/folder.pol|c'est un dossier.
$tmp/pol/|fifo.pol|$tmp/pol/fifo.pol|c'est un tube nommé (FIFO).
$tmp/pol/|down.pol|$tmp/pol/down.pol|les angles doivent croître de haut en bas
$tmp/pol/|huge.pol|$tmp/pol/huge.pol|ligne 3, cellule 3 : la vitesse « 1e4000 »
EOF

# The default polar with blank lines at its end and between its rows.
awk '{ print } NR == 3 { printf "\r\n" } END { printf "\r\n \t\r\n" }' "$def" >"$tmp/pol/blank.pol"
config "$tmp/pol/" "blank.pol"
run "$tmp/out" || fail "blank lines: exit status $?"
[ ! -s "$tmp/err" ] || fail "blank lines: stderr $(head -c 300 "$tmp/err")"
cmp -s "$tmp/out" "$tmp/ref" || fail "blank lines change the run"
finish "all checks passed"
