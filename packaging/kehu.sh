#!/bin/sh
# Starts the installed program of the same name as this launcher (kehu or kehu-cli) in its
# program directory (lib/kehu beside this bin/), where it keeps its database and settings.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/kehu/$(basename "$0")" "$@"
