#!/usr/bin/env bash
# The layering check passes on the tree as it is and fails, naming the file
# and both layers, on a copy with one upward include planted.
set -euo pipefail
repo=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bash "$repo/tools/check-layers.sh" "$repo" >/dev/null

mkdir -p "$work/tools"
cp "$repo/README.md" "$work/"
cp "$repo/tools/check-layers.sh" "$work/tools/"
cp -R "$repo/src" "$work/src"
printf '#include "app/interface_builder.h"\n' >>"$work/src/ui/theme.cpp"
if out=$(bash "$work/tools/check-layers.sh" "$work" 2>&1); then
  echo "an include from ui up into app passed the check"; exit 1
fi
grep -q '^src/ui/theme.cpp:[0-9]*: ui -> app (app/interface_builder.h)$' <<<"$out" || { echo "unexpected report: $out"; exit 1; }

# A folder the table does not name is refused rather than passed over.
mkdir -p "$work/src/stray" && echo 'int x;' >"$work/src/stray/a.cpp"
sed -i '$d' "$work/src/ui/theme.cpp"
if bash "$work/tools/check-layers.sh" "$work" >/dev/null 2>&1; then
  echo "a folder outside the layout table passed the check"; exit 1
fi
