#!/usr/bin/env bash
# The build lists its files: the project as it is configures, and a copy of it with
# one file added that no list names (a source, a test, a Qt test, a shell test, a
# benchmark) is refused at the configure step with a message naming the file.
set -u
source "$(dirname "$0")/lib.bash"
need cmake

mkdir -p "$tmp/project" &&
  cp -r "$src/CMakeLists.txt" "$src/cmake" "$src/src" "$src/tests" "$src/bench" "$src/packaging" "$tmp/project/" ||
  { fail "cannot copy the project"; finish; }
configure() {  # <gui ON|OFF>
  rm -rf "$tmp/project/build"
  cmake -S "$tmp/project" -B "$tmp/project/build" -DVENTREL_GUI="$1" -DVENTREL_TESTS=ON \
    -DVENTREL_BENCH=ON >"$tmp/out" 2>&1
}

configure ON || fail "the project as it is is refused: $(tail -c 600 "$tmp/out")"

# file added | Qt layers | expected piece of the message
cases=(
  'src/nav/extra.cpp|OFF|Fichiers de src/ absents des listes de sources'
  'tests/nav/test_extra.cpp|OFF|Fichiers de tests/nav absents des listes'
  'tests/program/test_extra.cpp|OFF|Fichiers de tests/program absents des listes'
  'tests/app/extra.sh|OFF|Fichiers de tests/app absents des listes'
  'tests/ui/test_extra.cpp|ON|Fichiers de tests/ui absents des listes'
  'bench/bench_extra.cpp|OFF|bench/bench_extra.cpp est absent de la liste de bench/CMakeLists.txt'
)
for c in "${cases[@]}"; do
  IFS='|' read -r file gui expected <<<"$c"
  f=$tmp/project/$file
  echo '// added' >"$f" || { fail "$file: cannot be written"; continue; }
  if configure "$gui"; then
    fail "$file: the project was configured with a file that no list names"
  else
    tr -s ' \n' ' ' <"$tmp/out" | grep -qF -- "$expected" ||
      fail "$file: message \"$(tail -c 600 "$tmp/out")\" lacks \"$expected\""
    tr -s ' \n' ' ' <"$tmp/out" | grep -qF -- "$(basename "$file")" ||
      fail "$file: the message does not name the file"
  fi
  rm -f "$f"
done

finish "the project and ${#cases[@]} copies with an unlisted file configured"
