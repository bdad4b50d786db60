#!/usr/bin/env bash
# Fails when a file under src/ includes a header from a layer above its own.
# The layers are the src/ rows of the README's layout table, bottom first;
# a folder may include from its own layer and from any row above it in the
# table. Prints every upward include as "file:line: layer -> layer (header)".
#   bash tools/check-layers.sh [REPOSITORY-ROOT]
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root"

# The order: every table row whose first cell names a src/ folder.
mapfile -t layers < <(sed -n 's/^| `src\/\([a-z_/]*\)` |.*/\1/p' README.md)
if [ ${#layers[@]} -lt 2 ]; then
  echo "check-layers: no src/ rows found in README.md's layout table" >&2
  exit 2
fi

# rank of a path below src/: the longest table row that is a prefix of it.
rank_of() {
  local path=$1 best=-1 best_len=0 i
  for i in "${!layers[@]}"; do
    case "$path/" in
      "${layers[$i]}/"*)
        if [ ${#layers[$i]} -gt "$best_len" ]; then best=$i; best_len=${#layers[$i]}; fi ;;
    esac
  done
  echo "$best"
}

declare -A rank_cache
rank() {
  local dir=$1
  if [ -z "${rank_cache[$dir]+x}" ]; then rank_cache[$dir]=$(rank_of "$dir"); fi
  echo "${rank_cache[$dir]}"
}

status=0
unknown=()
while IFS= read -r -d '' file; do
  rel=${file#src/}
  from_dir=${rel%/*}
  from=$(rank "$from_dir")
  if [ "$from" -lt 0 ]; then unknown+=("$file"); continue; fi
  while IFS=: read -r line header; do
    [ -n "$header" ] || continue
    to_dir=${header%/*}
    [ "$to_dir" != "$header" ] || continue  # a header beside the file
    [ -e "src/$header" ] || continue        # not one of ours
    to=$(rank "$to_dir")
    if [ "$to" -gt "$from" ]; then
      echo "$file:$line: ${layers[$from]} -> ${layers[$to]} ($header)"
      status=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
           sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/' || true)
done < <(find src -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

if [ ${#unknown[@]} -gt 0 ]; then
  printf 'check-layers: %s is in no layer of the README layout table\n' "${unknown[@]}" >&2
  status=1
fi
[ "$status" -eq 0 ] && echo "check-layers: no file includes from a layer above its own (${#layers[@]} layers)"
exit "$status"
