#!/bin/sh
# Fails when a header of the platform interface names a class, struct or enum
# of the core above it: the platform speaks only its own types.
src="$1"
names=$(cat "$src"/base/*.h "$src"/image/*.h "$src"/sound/*.h "$src"/display/*.h "$src"/script/*.h \
            "$src"/settings/*.h "$src"/engine/*.h "$src"/ui/*.h "$src"/app/*.h |
        sed -nE 's/^(class|struct|enum class|enum) ([A-Za-z_][A-Za-z0-9_]*)( [^;]*)?\{.*$/\2/p' |
        sort -u)
found=""
for name in $names; do
    hits=$(grep -nw "$name" "$src"/platform/*.h)
    [ -n "$hits" ] && found="$found$hits
"
done
if [ -n "$found" ]; then
    echo "the platform interface names core types:"
    printf '%s' "$found"
    exit 1
fi
echo "the platform interface names no core type ($(echo "$names" | wc -w) names checked)"
