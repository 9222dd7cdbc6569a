#!/usr/bin/env bash
# Runs one fuzz target, built with libFuzzer:
#   run_fuzz.sh <target> <seed folder> <seconds> <max bytes> <memory MiB> <artifact folder> [dictionary]
# With 0 seconds every seed is run once (the regression cases). Otherwise the target
# fuzzes for that long on a scratch copy of the seeds, so that nothing is written into
# the repository; an input that breaks it is kept in the artifact folder. The status
# is 1 when an input breaks the target. A fuzzing run's executions are written to
# <artifact folder>/last-run.txt.
set -euo pipefail
target=$1 seeds=$2 seconds=$3 max_len=$4 rss_mb=$5 artifacts=$6 dict=${7:-}
name=$(basename "$target")

mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

shopt -s nullglob
seed_files=("$seeds"/*)
if [ "${#seed_files[@]}" -eq 0 ]; then
  echo "$name : aucun fichier dans le dossier des entrées de départ « $seeds »." >&2
  exit 1
fi

options=(-rss_limit_mb="$rss_mb" -timeout=10 -artifact_prefix="$artifacts/" -print_final_stats=1)
status=0
if [ "$seconds" -eq 0 ]; then
  "$target" "${options[@]}" "${seed_files[@]}" >"$work/log" 2>&1 || status=$?
else
  mkdir "$work/corpus"
  cp -- "${seed_files[@]}" "$work/corpus/"
  [ -n "$dict" ] && options+=(-dict="$dict")
  start=$(date +%s)
  "$target" "${options[@]}" -max_total_time="$seconds" -max_len="$max_len" "$work/corpus" \
    >"$work/log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/log" | tail -n 1)
  found=$(find "$work/corpus" -type f | wc -l)
  echo "$name : ${runs:-?} exécutions en $(($(date +%s) - start)) s (${rate:-?} par seconde)," \
    "${#seed_files[@]} entrées de départ, $found à la fin" | tee "$artifacts/last-run.txt"
fi

if [ "$status" -ne 0 ]; then
  echo "$name : ÉCHEC (statut $status). Fin du journal du fuzzer :" >&2
  tail -n 60 "$work/log" >&2
  if [ "$seconds" -eq 0 ]; then
    # The files run in turn: the last one started is the one that failed.
    echo "Entrée fautive : « $(sed -n 's/^Running: //p' "$work/log" | tail -n 1) »." >&2
  else
    # The input libFuzzer kept: the newest file of the artifact folder.
    kept_files=("$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/timeout-* "$artifacts"/oom-*)
    kept=""
    [ "${#kept_files[@]}" -gt 0 ] && kept=$(ls -t -- "${kept_files[@]}" | head -n 1)
    if [ -n "$kept" ]; then
      echo "Entrée fautive gardée dans « $kept » ($(wc -c <"$kept") octets ; début ci-dessous)." >&2
      od -A d -c -- "$kept" | head -n 20 >&2
      echo "Pour en faire un cas de régression : corrigez le défaut, puis copiez ce fichier dans" \
        "« $seeds/ » sous un nom qui dit ce qu'il était." >&2
    fi
  fi
  exit 1
fi
[ "$seconds" -eq 0 ] && echo "$name : ${#seed_files[@]} entrées rejouées sans défaut."
exit 0
