#!/usr/bin/env bash
# Scenarios run headless: every shipped scenario passes in a fast run and its
# JUnit file says so; a scenario whose expectation cannot hold exits 1 and its
# JUnit file carries the failure; malformed scenarios give their line and column,
# exit 2 and run nothing; events land on the seconds they name.
set -u
source "$(dirname "$0")/lib.bash"
export TZ='<+02>-2'

# 1. The shipped examples.
shipped=0
for f in "$src"/data/scenarios/*.yaml; do
  shipped=$((shipped + 1))
  name=$(basename "$f" .yaml)
  "$prog" --check-scenario "$f" >"$tmp/check" 2>&1 || fail "$name: --check-scenario refuses it: $(head -c 300 "$tmp/check")"
  "$prog" --headless --fast --scenario "$f" --junit "$tmp/$name.xml" >"$tmp/out" 2>"$tmp/err"
  rc=$?
  [ "$rc" -eq 0 ] || fail "$name: exit status $rc: $(grep -E 'ÉCHEC|refusé|:[0-9]+:[0-9]+' "$tmp/err" | head -5)"
  grep -q '<testsuite' "$tmp/$name.xml" 2>/dev/null || fail "$name: no JUnit suite written"
  ! grep -q '<failure' "$tmp/$name.xml" 2>/dev/null || fail "$name: the JUnit file holds a failure"
done
[ "$shipped" -ge 3 ] || fail "only $shipped shipped scenarios in data/scenarios"

# 2. A scenario that must fail: the boat cannot be 0.001 nm from a point it never
# reaches. Exit 1, the report says which expectation, JUnit holds one failure.
cat >"$tmp/fails.yaml" <<'EOF'
duration: 30
events:
  - at: 5
    wind: {speed: 14, from: 10, over: 10}
  - at: 10
    tack:
expect:
  - at: 20
    tacks: {min: 1}
  - within: {lat: 0, lon: 0, radius: 0.001}
EOF
"$prog" --headless --fast --scenario "$tmp/fails.yaml" --junit "$tmp/fails.xml" --stdout >"$tmp/out" 2>"$tmp/err"
rc=$?
[ "$rc" -eq 1 ] || fail "failing expectation: exit status $rc, 1 expected"
grep -q 'ÉCHEC' "$tmp/err" || fail "failing expectation: the report has no ÉCHEC line: $(tail -5 "$tmp/err")"
[ "$(grep -c '<testcase' "$tmp/fails.xml" 2>/dev/null)" -eq 2 ] || fail "JUnit: two test cases expected"
[ "$(grep -c '<failure' "$tmp/fails.xml" 2>/dev/null)" -eq 1 ] || fail "JUnit: exactly one failure expected"
[ -s "$tmp/out" ] || fail "failing expectation: the run sent nothing"

# 3. Events land on their second: the wind of 33 kn asked at 10 s is in the MWD
# sentences (group 1) of the seconds after it, not before (the shipped
# configuration varies the wind by some knots around what is asked).
cat >"$tmp/timing.yaml" <<'EOF'
start: "2026-12-06 10:00:00"
duration: 20
events:
  - at: 10
    wind: {speed: 33, from: 200}
EOF
"$prog" --headless --fast --scenario "$tmp/timing.yaml" --stdout >"$tmp/timing.nmea" 2>"$tmp/err" ||
  fail "timing scenario: exit status $?: $(head -3 "$tmp/err")"
# Knots of each MWD (field 6), with the second it was sent (every 3 s from 0).
speeds=$(tr -d '\r' <"$tmp/timing.nmea" | awk -F, '/^\$..MWD,/ { printf "%d:%s ", 3 * n++, $6 }')
for pair in $speeds; do
  t=${pair%%:*} kn=${pair#*:}
  if [ "$t" -lt 10 ]; then
    awk -v k="$kn" 'BEGIN { exit !(k < 22) }' || fail "timing: MWD at $t s has $kn kn before the change"
  else
    awk -v k="$kn" 'BEGIN { exit !(k > 22) }' || fail "timing: MWD at $t s has $kn kn after the change"
  fi
done
[ "$(echo "$speeds" | wc -w)" -eq 7 ] || fail "timing: 7 MWD expected in 20 s: $speeds"

# 4. Malformed scenarios: line and column, status 2, nothing sent.
while IFS='|' read -r name text where; do
  printf '%b' "$text" >"$tmp/$name.yaml"
  "$prog" --headless --fast --stdout --scenario "$tmp/$name.yaml" >"$tmp/out" 2>"$tmp/err"
  rc=$?
  [ "$rc" -eq 2 ] || fail "$name: exit status $rc, 2 expected"
  grep -q "$name.yaml:$where" "$tmp/err" || fail "$name: \"$(head -c 300 "$tmp/err")\" lacks $name.yaml:$where"
  [ ! -s "$tmp/out" ] || fail "$name: something was sent"
  "$prog" --check-scenario "$tmp/$name.yaml" >/dev/null 2>&1
  [ $? -eq 2 ] || fail "$name: --check-scenario does not refuse it"
done <<'EOF'
syntax|duration: 30\nevents:\n  - at: 5\n    wind: {speed: 12\n|5:1 : syntaxe YAML
unknown_command|duration: 30\nevents:\n  - at: 5\n    jibe:\n|4:5
bad_number|duration: 30\nevents:\n  - at: 5\n    wind: {speed: 12,5}\n|4:
past_end|duration: 30\nevents:\n  - at: 00:01:00\n    tack:\n|3:
EOF

finish "$shipped shipped scenarios pass, a failing one exits 1, malformed ones give line and column"
