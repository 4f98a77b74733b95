# shellcheck shell=bash
# Sourced by the Windows test scripts, which compare what Wine shows with the
# headless render of the same theme: sets `tool` to the Linux glimmora-tool
# ($GLIMMORA_TOOL, else build/tools/glimmora-tool, built here when missing).
# Run from the top of the tree.
tool="${GLIMMORA_TOOL:-$PWD/build/tools/glimmora-tool}"
if [ ! -x "$tool" ]; then
    cmake --preset default >/dev/null
    cmake --build build -j2 --target glimmora-tool >/dev/null
fi
