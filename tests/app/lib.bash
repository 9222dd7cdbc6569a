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

# gpsd in the foreground (-N), reading SOURCE at once (-n: a device, tcp://HOST:PORT
# or udp://HOST:PORT), never writing to it (-b), on loopback (its default without
# -G), on a port where it answers: gpsd_port; its output in LOG.
start_gpsd() {
  local source=$1 log=$2 p
  gpsd_port=""
  for _ in 1 2 3 4 5; do
    p=$((20000 + RANDOM % 30000))
    gpsd -N -n -b -S "$p" "$source" >"$log" 2>&1 &
    pids+=($!)
    for _ in $(seq 30); do
      kill -0 "${pids[-1]}" 2>/dev/null || break
      timeout 1 gpspipe -w -n 1 "localhost:$p" 2>/dev/null | grep -q '"class":"VERSION"' && gpsd_port=$p && return 0
      sleep 0.1
    done
    kill "${pids[-1]}" 2>/dev/null
  done
  return 1
}

# The sentences SENT (no CR) against the reports REPORTS of `gpspipe -w`: every
# position fix gpsd reports must be the boat's position of the run's own RMC
# sentence of that second, and its speed and course those of an RMC or VTG
# sentence of the same cycle. Prints the problems, nothing when all agree.
gpsd_problems() {
  awk -F, '
    function deg(v, h,   d, x) { d = int(v / 100); x = d + (v - 100 * d) / 60; return (h == "S" || h == "W") ? -x : x }
    function get(key,   v) { if (!match($0, "\"" key "\":[^,}]*")) return ""
      v = substr($0, RSTART + length(key) + 3, RLENGTH - length(key) - 3); gsub(/"/, "", v); return v }
    function abs(x) { return x < 0 ? -x : x }
    FILENAME == ARGV[1] && /^\$..RMC,/ { t = substr($2, 1, 6); lat[t] = deg($4, $5); lon[t] = deg($6, $7)
                                          sog[++n] = $8; cog[n] = $9; idx[t] = n }
    FILENAME == ARGV[1] && /^\$..VTG,/ { sog[++n] = $6; cog[n] = $2 }
    FILENAME == ARGV[1] || !/"class":"TPV"/ { next }
    {
      t = get("time"); if (t == "" || get("lat") == "") next
      hms = substr(t, 12, 2) substr(t, 15, 2) substr(t, 18, 2)
      if (!(hms in lat)) next   # a report of a second without RMC (ZDA time)
      checked++
      if (abs(get("lat") - lat[hms]) > 2e-6 || abs(get("lon") - lon[hms]) > 2e-6)
        printf "at %s gpsd has %s %s, the run %.9f %.9f\n", hms, get("lat"), get("lon"), lat[hms], lon[hms]
      sp = get("speed"); tr = get("track")
      if (sp == "" || tr == "") { printf "at %s gpsd gives no speed or course\n", hms; next }
      ok = 0; i = idx[hms]
      for (j = i - 2; j <= i + 2; j++)
        if (j in sog && abs(sp - sog[j] * 1852 / 3600) < 0.001 && abs(tr - cog[j]) < 0.01) ok = 1
      if (!ok) printf "at %s gpsd has %s m/s on %s, the run %s kn on %s\n", hms, sp, tr, sog[i], cog[i]
    }
    END { if (checked < 3) printf "only %d position reports matched a second of the run\n", checked }
  ' "$1" "$2"
}

# Starts "$prog" --headless ARGS... in the background (standard output in
# $tmp/run.out, standard error in ERR) with a TCP server on a port the system
# chooses, and waits until it listens: run_pid, run_port.
start_tcp_run() {
  local err=$1
  shift
  "$prog" --headless --tcp 127.0.0.1:0 "$@" >"$tmp/run.out" 2>"$err" &
  run_pid=$!
  pids+=("$run_pid")
  run_port=""
  for _ in $(seq 100); do
    run_port=$(sed -n 's/^Serveur TCP à l.écoute sur 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$err" | head -1)
    [ -n "$run_port" ] && return 0
    kill -0 "$run_pid" 2>/dev/null || break
    sleep 0.1
  done
  return 1
}

# The JavaScript NMEA parsers of tests/nmea_consumers/package.json, installed with npm
# into $build/nmea_consumers (reused while package.json is unchanged); sets build and
# nmea_parsers (the folder holding node_modules).
install_nmea_parsers() {
  build=$(cd "$(dirname "$prog")/.." && pwd)
  nmea_parsers=$build/nmea_consumers
  if ! cmp -s "$src/tests/nmea_consumers/package.json" "$nmea_parsers/package.json" ||
    [ ! -d "$nmea_parsers/node_modules/nmea-simple" ] ||
    [ ! -d "$nmea_parsers/node_modules/@signalk/nmea0183-signalk" ]; then
    mkdir -p "$nmea_parsers"
    cp "$src/tests/nmea_consumers/package.json" "$nmea_parsers/package.json"
    (cd "$nmea_parsers" && npm install --no-audit --no-fund --no-package-lock --loglevel=error) >&2
  fi
}
