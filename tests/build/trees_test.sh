#!/usr/bin/env bash
# The build trees stay one per configuration: no script configures a tree but script/build-tree,
# no two trees share a folder, each folder is configured with one set of options whoever asks,
# and asking again configures nothing (cmake and emcmake are stand-ins that log their calls).
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cd "$source_dir"
callers=(script/* bench/*.sh bench/*/*.sh tests/windows/*.sh)
configuring="$(grep -l -E '(^|[^-])cmake +(-S|-B)' "${callers[@]}" | grep -v -x script/build-tree || true)"
[ -z "$configuring" ] || fail "configures a tree itself instead of script/build-tree: $configuring"
mapfile -t trees < <(cat "${callers[@]}" | grep -v -E '^\s*#' | grep -o -E 'script/build-tree [a-z]+' |
  awk '{print $2}' | sort -u)
[ ${#trees[@]} -ge 5 ] || fail "found only these trees in use: ${trees[*]}"

mkdir -p "$work/root/script" "$work/bin"
cp script/build-tree "$work/root/script/"
cat >"$work/bin/cmake" <<'STUB'
#!/usr/bin/env bash
if [ "$1" = --build ]; then exit 0; fi
while [ $# -gt 0 ]; do
  case "$1" in -B) dir="$2"; shift ;; -D*) options+=" $1" ;; esac
  shift
done
mkdir -p "$dir" && : >"$dir/CMakeCache.txt"
echo "$dir$options" >>"$LOG"
STUB
printf '#!/usr/bin/env bash\nexec "$@"\n' >"$work/bin/emcmake"
chmod +x "$work/bin/cmake" "$work/bin/emcmake"
export PATH="$work/bin:$PATH" LOG="$work/configured"

for tree in "${trees[@]}"; do
  : >"$LOG"
  "$work/root/script/build-tree" "$tree"
  mine="$(tail -n1 "$LOG" | cut -d' ' -f1)"
  "$work/root/script/build-tree" "$tree"
  [ "$(grep -c "^$mine " "$LOG")" -eq 1 ] || fail "$tree: $mine configured again: $(cat "$LOG")"
  echo "$tree $mine" >>"$work/folders"
  sort -u "$LOG" >>"$work/option_sets"
done
shared="$(awk '{print $2}' "$work/folders" | sort | uniq -d)"
[ -z "$shared" ] || fail "trees share $shared: $(cat "$work/folders")"
twice="$(sort -u "$work/option_sets" | awk '{print $1}' | sort | uniq -d)"
[ -z "$twice" ] || fail "$twice is configured with two sets of options"
echo "ok: ${#trees[@]} trees: $(tr '\n' ' ' <"$work/folders")"
