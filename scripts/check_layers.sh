#!/usr/bin/env bash
# check_layers.sh -- fails when a source file includes a header of a folder
# that does not stand below its own. Each folder has a floor; a file may
# include its own folder and folders on lower floors only, so no include
# runs back up and no two folders include each other.
set -euo pipefail
cd "$(dirname "$0")/.."

# Floor of each folder, ground first. Keep in step with the README's layout table.
declare -A FLOOR=(
    [common]=0
    [image]=1 [plan]=1 [directory]=1 [text]=1 [diagnostics]=1 [pagecode]=1
    [route]=2 [find]=2 [touch]=2
    [render]=3
    [kiosk]=4
    [app]=5
    [maintainer]=6 [bench]=6
    [tests]=7
)

status=0
while IFS= read -r file; do
    folder=${file%%/*}
    [ -n "${FLOOR[$folder]+set}" ] || { echo "check_layers: $file: folder \"$folder\" has no floor" >&2; status=1; continue; }
    while IFS=: read -r line target; do
        used=${target%%/*}
        [ "$used" = "$folder" ] && continue
        if [ -z "${FLOOR[$used]+set}" ]; then
            echo "check_layers: $file:$line: includes \"$target\" of folder \"$used\", which has no floor" >&2
            status=1
        elif [ "${FLOOR[$used]}" -ge "${FLOOR[$folder]}" ]; then
            echo "check_layers: $file:$line: $folder/ (floor ${FLOOR[$folder]}) includes \"$target\" of $used/ (floor ${FLOOR[$used]}), which does not stand below it" >&2
            status=1
        fi
    done < <(grep -n -o -E '^\s*#\s*include\s+"[a-z_]+/[^"]+"' "$file" | sed -E 's/^([0-9]+):.*"([^"]+)"/\1:\2/')
done < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h' | grep -v -E '^(build|data|docs|generators)')
[ "$status" -eq 0 ] && echo "Layers: every include stands below its folder"
exit "$status"
