#!/bin/sh
# The saver as Windows reads it. Its manifest asks for per-monitor DPI
# awareness (v2, with the older dpiAware beside it), the common controls of
# version 6, runs as the user who starts it and names Windows 10 and 11; it
# carries its icon and its version information with the project's version;
# and it imports no ANSI function (...A) of its own: every path, file,
# registry key, argument, process and window text crosses in UTF-16. The few
# ANSI imports left belong to the C and C++ runtimes linked in and take none
# of the program's names or texts.
#
#   saver_binary.sh <objdump> <wrestool> <glimmora.scr> <version>
objdump=$1
wrestool=$2
saver=$3
version=$4
status=0
fail() {
    echo "FAIL: $*"
    status=1
}

manifest=$("$wrestool" -x --raw --type=24 "$saver") || fail "no manifest resource"
for want in \
    '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>' \
    '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>' \
    'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
    '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' \
    '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>'; do
    case "$manifest" in
    *"$want"*) ;;
    *) fail "the manifest lacks $want" ;;
    esac
done

# The icon group Explorer shows first, with its four sizes.
"$wrestool" -l --type=14 --name=100 "$saver" | grep -q group_icon || fail "no icon group 100"
icons=$("$wrestool" -l --type=3 "$saver" | grep -c 'type=icon')
[ "$icons" -ge 4 ] || fail "$icons icon images, 4 expected"

# The version texts are UTF-16; without their zero bytes each name runs into its value.
texts=$("$wrestool" -x --raw --type=16 "$saver" | tr -d '\000')
for want in "FileVersion$version" "ProductVersion$version" "OriginalFilenameglimmora.scr" \
    "LegalCopyrightCopyright (c) 2026 The Glimmora authors, MIT licence" \
    "CompanyNameTarnwell"; do
    case "$texts" in
    *"$want"*) ;;
    *) fail "the version information lacks $want" ;;
    esac
done

imports=$("$objdump" -p "$saver" | awk '
    /DLL Name:/ { dll = $3; next }
    /^\t[0-9a-f]+\t? +[0-9]+ +[A-Za-z_]/ && dll != "" { print dll ":" $NF }')
runtime='KERNEL32.dll:CreateEventA KERNEL32.dll:CreateSemaphoreA KERNEL32.dll:FormatMessageA
KERNEL32.dll:GetStartupInfoA KERNEL32.dll:OutputDebugStringA'
for import in $imports; do
    case "$import" in
    *[a-z0-9]A)
        echo "$runtime" | tr ' ' '\n' | grep -qx "$import" || fail "ANSI import $import"
        ;;
    esac
done
for want in KERNEL32.dll:CreateProcessW KERNEL32.dll:FindFirstFileW KERNEL32.dll:GetModuleFileNameW \
    ADVAPI32.dll:RegCreateKeyExW USER32.dll:CreateWindowExW USER32.dll:DialogBoxIndirectParamW \
    USER32.dll:MessageBoxW SHELL32.dll:CommandLineToArgvW SHELL32.dll:ShellExecuteW \
    GDI32.dll:TextOutW msvcrt.dll:_wfopen; do
    echo "$imports" | grep -qx "$want" || fail "no import $want"
done

[ "$status" -eq 0 ] && echo "manifest, icon, version $version and UTF-16 imports of $saver"
exit "$status"
