#!/bin/sh
# Starts the installed program in its program directory (lib/kehu beside this bin/),
# where it keeps its database and settings.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/kehu/kehu" "$@"
