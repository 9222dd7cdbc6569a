#!/usr/bin/env bash
# ventrel --headless and the files it writes (--log, --log-stamped): only a regular
# file, a link to one or a free name becomes the list; a device, a named pipe, a
# socket, a folder, a link that leads nowhere or to such a thing, and the files the
# run reads are refused with exit status 2 before anything starts, and left as
# they were. A configuration over 1 MiB or that is no file is not read.
set -u
source "$(dirname "$0")/lib.bash"
need perl

# What stands at a path: its kind, where a link leads, device numbers, content.
snapshot() {
  local p=$1
  if [ -L "$p" ]; then echo "link $(readlink "$p")"; fi
  stat -L -c '%F %t:%T' "$p" 2>/dev/null || echo absent
  if [ -f "$p" ]; then sha256sum <"$p"; fi
}
make_socket() { perl -MIO::Socket::UNIX -e 'IO::Socket::UNIX->new(Type => SOCK_STREAM(), Local => $ARGV[0], Listen => 1) or exit 1' "$1"; }

# Each kind of target: how to make it at $t (in the folder $d), then "ok" when the
# list replaces it, or a part of the refusal's message.
targets=(
  "absent|:|ok"
  "regular file|echo old >\"\$t\"|ok"
  "link to a regular file|echo old >\"\$d/real\"; ln -s real \"\$t\"|ok"
  "dangling link|ln -s nowhere/none \"\$t\"|vers « nowhere/none », qui n'existe pas"
  "looping link|ln -s \"\$t\" \"\$d/loop\"; ln -s loop \"\$t\"|tourne en boucle"
  "folder|mkdir -p \"\$t/inside\"|c'est un dossier"
  "named pipe|mkfifo \"\$t\"|c'est un tube nommé (FIFO)"
  "link to a named pipe|mkfifo \"\$d/pipe\"; ln -s pipe \"\$t\"|qui est un tube nommé (FIFO)"
  "device node 1:3|mknod -m 666 \"\$t\" c 1 3|c'est un périphérique"
  "full device 1:7|mknod -m 666 \"\$t\" c 1 7|c'est un périphérique"
  "socket|make_socket \"\$t\"|c'est une socket"
  "read-only folder|chmod 555 \"\$d\"; [ ! -w \"\$d\" ]|protégé en écriture"
)
n=0
for option in --log --log-stamped; do
  for row in "${targets[@]}"; do
    IFS='|' read -r name make want <<<"$row"
    n=$((n + 1))
    d=$tmp/case$n
    t=$d/list.txt
    mkdir -p "$d"
    if ! eval "$make" 2>/dev/null; then
      chmod 755 "$d"
      echo "skipped: $option over $name (cannot be made here)"
      continue
    fi
    before=$(snapshot "$t")
    timeout 60 "$prog" --headless --fast --stdout --duration 2 --start-time "2026-12-06 10:00:00" \
      "$option" "$t" >"$tmp/out" 2>"$tmp/err" </dev/null
    rc=$?
    chmod 755 "$d"
    if [ "$want" = ok ]; then
      [ "$rc" -eq 0 ] || fail "$option over $name: exit status $rc, $(head -c 300 "$tmp/err")"
      [ -f "$t" ] && grep -q '\$..DPT,' "$t" || fail "$option over $name: the list was not written"
      case $name in link*) [ -L "$t" ] || fail "$option over $name: the link was replaced" ;; esac
    else
      [ "$rc" -eq 2 ] || fail "$option over $name: exit status $rc, 2 expected"
      grep -qF -- "$want" "$tmp/err" || fail "$option over $name: message \"$(head -c 300 "$tmp/err")\" lacks \"$want\""
      grep -qF -- "(option $option)" "$tmp/err" || fail "$option over $name: the message does not name the option"
      [ ! -s "$tmp/out" ] || fail "$option over $name: something was sent"
      [ "$(snapshot "$t")" = "$before" ] || fail "$option over $name: changed from \"$before\" to \"$(snapshot "$t")\""
    fi
    ls -A "$d" | grep -q '\.tmp$' && fail "$option over $name: a temporary file is left"
  done
done

# The files the run reads: the configuration (as named, through a link, another
# spelling), the default one beside the program, the polar in use.
mkdir -p "$tmp/in/pol"
cp "$src/data/DefPolars/First31_7.pol" "$tmp/in/pol/Mine.pol"
printf '[REPERTOIRES]\r\nPolars=%s/\r\n[Parametres]\r\nPolaireAct=Mine.pol\r\n[NMEA]\r\niAPB=1\r\n' "$tmp/in/pol" >"$tmp/in/conf.ini"
ln -s conf.ini "$tmp/in/conf-link.ini"
default=$(dirname "$prog")/Ventrel.ini
[ -f "$default" ] && cp -p "$default" "$tmp/default.keep"
inputs=(
  "the configuration|--config $tmp/in/conf.ini|$tmp/in/conf.ini|la configuration lue"
  "a link to the configuration|--config $tmp/in/conf.ini|$tmp/in/conf-link.ini|la configuration lue"
  "the configuration spelt another way|--config $tmp/in/conf.ini|$tmp/in/pol/../conf.ini|la configuration lue"
  "the polar in use|--config $tmp/in/conf.ini|$tmp/in/pol/Mine.pol|la polaire en cours"
  "the default configuration||$default|la configuration lue"
)
for row in "${inputs[@]}"; do
  IFS='|' read -r name config out want <<<"$row"
  [ -e "$out" ] || { echo "skipped: $name (absent)"; continue; }
  for option in --log --log-stamped; do
    before=$(snapshot "$out")
    # shellcheck disable=SC2086
    timeout 60 "$prog" --headless --fast --stdout --duration 2 $config "$option" "$out" >"$tmp/out" 2>"$tmp/err" </dev/null
    rc=$?
    [ "$rc" -eq 2 ] || fail "$option = $name: exit status $rc, 2 expected"
    grep -qF -- "$want" "$tmp/err" || fail "$option = $name: message \"$(head -c 300 "$tmp/err")\" lacks \"$want\""
    [ ! -s "$tmp/out" ] || fail "$option = $name: something was sent"
    [ "$(snapshot "$out")" = "$before" ] || fail "$option = $name: the file was changed"
  done
done
if [ -f "$tmp/default.keep" ] && ! cmp -s "$tmp/default.keep" "$default"; then
  cp -p "$tmp/default.keep" "$default"
  fail "the default configuration beside the program was written over (put back)"
fi
# Two spellings of one list.
refuses 2 "même fichier" --headless --stdout --fast --duration 1 --log "$tmp/raw.txt" --log-stamped "$tmp/./raw.txt"

# A configuration over 1 MiB is not read (the run goes on with the default one);
# one that is a named pipe does not hold the program.
{ printf '[NMEA]\r\niGGA=1\r\n'; head -c 2000000 /dev/zero | tr '\0' ';'; } >"$tmp/big.ini"
timeout 60 "$prog" --headless --fast --stdout --duration 1 --config "$tmp/big.ini" >"$tmp/out" 2>"$tmp/err" </dev/null
grep -qF "« big.ini » est trop grand pour une configuration (plus de 1 Mio)" "$tmp/err" ||
  fail "a 2 MB configuration: \"$(head -c 300 "$tmp/err")\""
mkfifo "$tmp/pipe.ini"
timeout 20 "$prog" --headless --fast --stdout --duration 1 --config "$tmp/pipe.ini" >"$tmp/out" 2>"$tmp/err" </dev/null
rc=$?
[ "$rc" -eq 2 ] || fail "a named pipe as configuration: exit status $rc, 2 expected"
[ -p "$tmp/pipe.ini" ] || fail "the named pipe given as configuration is gone"
finish "all checks passed"
