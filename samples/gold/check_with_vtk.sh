#!/bin/sh
# Cross-checks the sample expectations with an independent reader: VTK's
# EnSight readers (Debian package python3-vtk9) write an oracle for each
# sample, and compare_report.py compares <case>.expect.json with it.
# Usage: samples/gold/check_with_vtk.sh [ENCODING]   (default le)
# Known differences, where VTK 9.1 and our loader part ways on purpose:
# "g_" element types (VTK refuses them), two blocks of one type in a variable
# file, curvilinear "range" blocks (VTK reads i*j*k coordinates), static
# parts beside transient particles (VTK repeats them at every step), part
# number 0 in C binary, and a missing variable file.
set -u
here=$(cd "$(dirname "$0")" && pwd)
tools="$here/../../../shared/tools"
enc=${1:-le}
py=/usr/bin/python3
if ! $py -c "import vtk, numpy" 2>/dev/null; then
  echo "check_with_vtk.sh: needs python3-vtk9 and python3-numpy (apt-get install python3-vtk9)"
  exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for expect in "$here"/*/*.expect.json; do
  name=$(basename "$expect" .expect.json)
  case_file="$here/$name/$enc/$name.case"
  note=""
  $py "$tools/make_oracle.py" "$case_file" "$work/$name.json" > "$work/$name.log" 2>&1 || note=" (VTK reported errors)"
  if [ ! -s "$work/$name.json" ]; then
    echo "$name: VTK could not read it: $(tail -n 1 "$work/$name.log")"
    continue
  fi
  result=$(python3 "$tools/compare_report.py" "$expect" "$work/$name.json")
  echo "$name: $(echo "$result" | tail -n 1)$note"
  echo "$result" | grep -q "^MISMATCH" && status=1
done
exit $status
