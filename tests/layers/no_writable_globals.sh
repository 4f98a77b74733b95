#!/bin/sh
# Fails when a core layer library holds writable global or static data: all
# state belongs to the context objects. Constant tables with pointers land in
# .data.rel.ro and are fine.
found=$(for lib in "$@"; do
    objdump -t "$lib" | awk '/\.(data|bss)/ && !/\.rel\.ro/' |
        grep -vE '[[:space:]](\.data|\.bss)[[:space:]]+0+[[:space:]]+(\.data|\.bss)$|DW\.ref\.'
done)
if [ -n "$found" ]; then
    echo "writable global data in the core:"
    echo "$found"
    exit 1
fi
echo "no writable global data in $# core libraries"
