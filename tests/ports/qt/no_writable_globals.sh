#!/bin/sh
# Fails when the Qt port's library holds writable global or static data: the
# port's state lives in its objects. Allowed besides what the core's check
# allows are the type caches Qt's own headers instantiate, shared with the Qt
# libraries and filled in by them: the meta-type record of each QObject
# class (moc) and of each argument type of a signal connected with
# arguments, whose type id is mutable (QMetaTypeInterfaceWrapper<T>::metaType),
# and such a signal's table of argument type ids with its guard
# (ConnectionTypes<...>::types()::t) and the id of a QObject pointer type
# (QMetaTypeIdQObject<T>::qt_metatype_id()::metatype_id).
qt_caches='_ZN9QtPrivate25QMetaTypeInterfaceWrapperI.*E8metaTypeE$'
qt_caches="$qt_caches|_Z(GV)?ZN9QtPrivate15ConnectionTypesI.*E5typesEvE1t$"
qt_caches="$qt_caches|_ZZN18QMetaTypeIdQObjectI.*E14qt_metatype_idEvE11metatype_id$"
found=$(for lib in "$@"; do
    objdump -t "$lib" | awk '$0 ~ /\.(data|bss)/ && $0 !~ /\.rel\.ro/ && $0 ~ / O /' |
        grep -vE 'DW\.ref\.|__odr_asan|__asan_|__ubsan_|__sancov_' | grep -vE "$qt_caches"
done)
if [ -n "$found" ]; then
    echo "writable global data in the Qt port:"
    echo "$found"
    exit 1
fi
echo "no writable global data in the Qt port"
