#!/bin/sh
# The program's dependencies run one way: app/ (the shell) -> the features (inventory/, remote/,
# listsort/, export/) -> common/. A feature includes only its own headers and common's, and
# common only its own. Prints every include under src/ that breaks this; exits with 1 if any.
cd "$(dirname "$0")/../src" || exit 2
status=0
for file in */*.h */*.cpp; do
    layer=${file%%/*}
    for included in $(sed -n 's|^ *# *include *"\([^/"]*\)/.*|\1|p' "$file"); do
        [ "$layer" = app ] || [ "$included" = common ] || [ "$included" = "$layer" ] && continue
        echo "src/$file includes a header of $included/"
        status=1
    done
done
exit $status
