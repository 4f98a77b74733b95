#!/bin/sh
# Fails when the Windows port's library holds writable global or static data:
# the port's state belongs to its objects. The Windows objects' symbol table
# names sections by number, so each object's .data, .bss and .tls sections
# are found from its section symbols first. The personality routine's
# reference (DW.ref.*) is the compiler's own.
#
#   no_writable_globals.sh <objdump> <library>...
objdump=$1
shift
found=$(for lib in "$@"; do
    "$objdump" -t "$lib" | awk '
        function flush(   i) {
            for (i = 1; i <= count; i++)
                if (writable[section[i]]) print member ": " name[i]
            count = 0
            split("", writable)
        }
        / file format / { flush(); member = $1; sub(/:$/, "", member); next }
        /^\[ *[0-9]+\]\(sec +[0-9]+\)/ {
            number = $0
            sub(/^[^(]*\(sec +/, "", number)
            sub(/\).*$/, "", number)
            type = $0
            sub(/^.*\(ty +/, "", type)
            sub(/\).*$/, "", type)
            symbol = $NF
            if (symbol ~ /^\./) {
                if (symbol ~ /^\.(data|bss|tls)/) writable[number] = 1
            } else if (number > 0 && type == 0) {
                count++
                section[count] = number
                name[count] = symbol
            }
        }
        END { flush() }' | grep -v 'DW\.ref\.'
done)
if [ -n "$found" ]; then
    echo "writable global data in the Windows port:"
    echo "$found"
    exit 1
fi
echo "no writable global data in $# Windows port libraries"
