#!/usr/bin/env bash
# The floors of src/: the check of cmake/check_layers.cmake passes on the tree as
# it is, and refuses a copy of it in which one line has been added: an include of
# a folder above, through "..", of Qt in the core, or a file in an unknown folder.
# The configure step of the project stops on such a copy too.
set -u
source "$(dirname "$0")/lib.bash"
need cmake

check() { cmake -DVENTREL_SRC="$1" -P "$src/cmake/check_layers.cmake" >"$tmp/out" 2>&1; }

check "$src/src" || fail "the tree as it is is refused: $(head -c 600 "$tmp/out")"

# file of src/ | line added as line 2 | expected: "ok", or a piece of the message
cases=(
  'nav/conversions.cpp|#include "model/panel.h"|src/nav/conversions.cpp:2 : le dossier nav (couche 1) inclut model/panel.h du dossier model (couche 5)'
  'nav/trig.h|  #  include "sim/vect.h"|src/nav/trig.h:2 : le dossier nav (couche 1) inclut sim/vect.h du dossier sim (couche 2)'
  'sim/vect.h|#include "files/paths.h"|le dossier sim (couche 2) inclut files/paths.h'
  'nmea/frame.cpp|#include "model/transmission.h"|le dossier nmea (couche 3) inclut model/transmission.h'
  'model/panel.cpp|#include "program/program.h"|le dossier model (couche 5) inclut program/program.h'
  'qt/port_names.cpp|#include "ui/look.h"|le dossier qt (couche 8) inclut ui/look.h'
  'ui/look.cpp|#include "app/cli.h"|le dossier ui (couche 10) inclut app/cli.h'
  'version.h|#include "nav/trig.h"|src/version.h:2 : le dossier racine de src (couche 0) inclut nav/trig.h'
  'sim/vect.cpp|#include "../nav/trig.h"|src/sim/vect.cpp:2 : « ../nav/trig.h » remonte par « .. »'
  'files/paths.cpp|#include <QString>|src/files/paths.cpp:2 : le dossier files fait partie du noyau, qui ne voit pas Qt'
  'program/program.cpp|#include <QtCore/QObject>|le dossier program fait partie du noyau'
  'extra/new.h|#include "nav/trig.h"|src/extra/new.h : le dossier extra n'"'"'est pas une couche connue'
  'app/main.cpp|#include "nav/trig.h"|ok'
  'model/panel.cpp|#include "model/dial.h"|ok'
  'ui/look.cpp|#include <QWidget>|ok'
  'nav/conversions.cpp|// #include "model/panel.h"|ok'
  'nav/conversions.cpp|#include "panel.h"|ok'
)
for c in "${cases[@]}"; do
  IFS='|' read -r file line expected <<<"$c"
  rm -rf "$tmp/src" && cp -r "$src/src" "$tmp/src" || { fail "cannot copy $src/src"; break; }
  f=$tmp/src/$file
  if [ -e "$f" ]; then
    sed -i "1a\\$line" "$f"
  else
    mkdir -p "$(dirname "$f")" && printf '#pragma once\n%s\n' "$line" >"$f"
  fi
  [ "$(sed -n 2p "$f")" = "$line" ] || { fail "$file: the line was not added"; continue; }
  if check "$tmp/src"; then
    [ "$expected" = ok ] || fail "$file + '$line': accepted, refusal expected"
  elif [ "$expected" = ok ]; then
    fail "$file + '$line': refused: $(head -c 600 "$tmp/out")"
  else
    # The message is folded by CMake: compare without line breaks nor indentation.
    tr -s ' \n' ' ' <"$tmp/out" | grep -qF -- "$expected" ||
      fail "$file + '$line': message \"$(head -c 600 "$tmp/out")\" lacks \"$expected\""
  fi
done

# The configure step refuses the project whose nav/ includes model/ (the core
# alone, no tests, so that no Qt nor GoogleTest is looked for).
mkdir -p "$tmp/project" && cp -r "$src/CMakeLists.txt" "$src/cmake" "$src/src" "$tmp/project/" || fail "cannot copy the project"
sed -i '1a\#include "model/panel.h"' "$tmp/project/src/nav/geodesy.cpp"
if cmake -S "$tmp/project" -B "$tmp/project/build" -DVENTREL_GUI=OFF -DVENTREL_TESTS=OFF >"$tmp/out" 2>&1; then
  fail "the project with an upward include was configured"
else
  tr -s ' \n' ' ' <"$tmp/out" | grep -qF 'src/nav/geodesy.cpp:2 : le dossier nav (couche 1) inclut model/panel.h' ||
    fail "configure message \"$(head -c 600 "$tmp/out")\" lacks the upward include"
fi

finish "${#cases[@]} altered trees and one project checked"
