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
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
