#!/bin/sh
# Fails when a core layer library holds writable global or static data: all
# state belongs to the context objects. Constant tables with pointers land in
# .data.rel.ro and are fine; so are the sanitizers' and the unwinder's own
# symbols.
found=$(for lib in "$@"; do
    objdump -t "$lib" | awk '$0 ~ /\.(data|bss)/ && $0 !~ /\.rel\.ro/ && $0 ~ / O /' |
        grep -vE 'DW\.ref\.|__odr_asan|__asan_|__ubsan_|__sancov_'
done)
if [ -n "$found" ]; then
    echo "writable global data in the core:"
    echo "$found"
    exit 1
fi
echo "no writable global data in $# core libraries"
