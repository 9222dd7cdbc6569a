# Sourced by the tests of this folder, run as `bash test.sh <path-to-ventrel> <source-dir>`:
# a temporary folder removed at the end with the processes listed in pids, checks
# counted by fail and reported by finish.
prog=$1
src=$2
tmp=$(mktemp -d)
pids=()
failures=0
trap 'set +e; kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$tmp"' EXIT

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
need() { for t; do command -v "$t" >/dev/null || { echo "missing: $t (./test.sh installs it)" >&2; exit 1; }; done; }
finish() {
  [ "$failures" -eq 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
  echo "$(basename "$0" .sh): $*"
}

# The program, given the arguments after the first two, exits with status $1, says
# $2 on standard error, and writes nothing on standard output nor $tmp/raw.txt.
refuses() {
  local status=$1 pattern=$2
  shift 2
  "$prog" "$@" >"$tmp/out" 2>"$tmp/err" </dev/null
  local rc=$?
  [ "$rc" -eq "$status" ] || fail "$*: exit status $rc, $status expected"
  grep -q -- "$pattern" "$tmp/err" || fail "$*: message \"$(head -c 300 "$tmp/err")\" lacks \"$pattern\""
  [ ! -s "$tmp/out" ] || fail "$*: something was written on standard output"
  [ ! -e "$tmp/raw.txt" ] || fail "$*: the log file was written"
  rm -f "$tmp/raw.txt"
}

# The number of groups in a run: group 1 begins with DPT, 2 with VHW, 3 with GSV 1 of 3.
groups_in() { tr -d '\r' <"$1" | grep -c -E '^\$..(DPT|VHW),|^\$..GSV,3,1,'; }
