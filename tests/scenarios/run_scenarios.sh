#!/usr/bin/env bash
# run_scenarios.sh RUNNER SCRIPT...
# Runs the scripts one after the other in one scratch directory, as successive starts of
# the program. A script holding the line "# needs: ordinary user" is about permissions,
# which root would bypass: run as root, this starts the runner as the user nobody (the
# runner, the scripts and the scratch directory are copied where nobody can reach them).
set -euo pipefail
runner=$1
shift

needs_ordinary_user=no
for script in "$@"; do
  grep -q '^# needs: ordinary user' "$script" && needs_ordinary_user=yes
done

work=$(mktemp -d)
trap 'chmod -R u+rwX "$work" 2>/dev/null; rm -rf "$work"' EXIT
mkdir "$work/root"
run=()
if [ "$needs_ordinary_user" = yes ] && [ "$(id -u)" -eq 0 ]; then
  if ! command -v setpriv >/dev/null; then
    echo "skipped: this scenario needs an ordinary user and setpriv is not available"
    exit 77
  fi
  cp "$runner" "$@" "$work/"
  chmod 755 "$work"
  chown -R nobody:nogroup "$work/root"
  runner="$work/$(basename "$runner")"
  run=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

for script in "$@"; do
  [ "${run[*]-}" ] && script="$work/$(basename "$script")"
  echo "== $(basename "$script")"
  "${run[@]}" "$runner" --root "$work/root" "$script"
done
