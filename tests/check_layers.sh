#!/usr/bin/env bash
# Checks the layering of the sources: each folder includes only its own and
# the lower layers' headers, and no folder below the windows includes a Qt
# Widgets header (nor one below the printing layer a Qt Gui header).
set -uo pipefail
SRC=${1:?source folder}
QT=$(dirname "$(find /usr/include -path '*/qt6/QtCore/QObject' -print -quit)")/..

declare -A ALLOWED=(
    [core]="core"
    [domain]="core domain"
    [db]="core domain db"
    [output]="core domain output"
    [print]="core domain output print"
    [widgets]="core domain output print widgets"
    [gui]="core domain db output print widgets gui"
    [app]="core domain db output print widgets gui app"
    [cli]="core domain db output print cli"
    [editor]="core domain db output print widgets cli editor"
)
NO_WIDGETS="core domain db output print cli"
NO_GUI="core domain db output"

status=0
fail() { echo "$1"; status=1; }

for layer in "${!ALLOWED[@]}"; do
    [ -d "$SRC/$layer" ] || continue
    for f in "$SRC/$layer"/*; do
        case "$f" in *.h | *.cpp) ;; *) continue ;; esac
        while IFS= read -r inc; do
            dir=${inc%%/*}
            [ "$dir" = "$inc" ] && continue # a header of the same folder or a generated form
            [[ " ${ALLOWED[$layer]} " == *" $dir "* ]] || fail "$f: includes \"$inc\" from a higher layer"
        done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$f")
        while IFS= read -r inc; do
            name=${inc#*/}
            if [[ " $NO_WIDGETS " == *" $layer "* ]] &&
                { [ -e "$QT/QtWidgets/$name" ] || [ -e "$QT/QtPrintSupport/$name" ] || [[ $inc == QtWidgets/* ]]; }; then
                fail "$f: includes the widget header <$inc>"
            fi
            if [[ " $NO_GUI " == *" $layer "* ]] && { [ -e "$QT/QtGui/$name" ] || [[ $inc == QtGui/* ]]; }; then
                fail "$f: includes the Qt Gui header <$inc>"
            fi
        done < <(sed -n 's/^#include <\([^>]*\)>.*/\1/p' "$f")
    done
done
# Only the material editor writes to the database: no statement that changes
# data stands anywhere else in the sources, and the programs of Prolis carry
# none of the writing module.
while IFS= read -r hit; do
    fail "$hit: a statement that writes to the database outside src/editor"
done < <(grep -rniE '"(insert into|update [a-z_]+ set|delete from|replace into)' "$SRC" --include='*.cpp' --include='*.h' |
         grep -v "^$SRC/editor/" | cut -d: -f1-2)
shift
for program in "$@"; do
    [ -x "$program" ] || { fail "$program: not built"; continue; }
    if nm -C "$program" 2>/dev/null | grep -q 'prolis::edit::MaterialStore'; then
        fail "$program: links the database writing module"
    fi
done
[ $status -eq 0 ] && echo "layers: every include points down; only MatEdit writes"
exit $status
