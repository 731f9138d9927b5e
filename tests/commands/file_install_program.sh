#!/usr/bin/env bash
# FileInstall in a packaged program: the packager puts the file a script installs into the
# program's container, and the program installs it with the file gone from disk.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
folder=$root/build/testarea/commands_file_install
rm -rf "$folder"
mkdir -p "$folder"
cp "$root/tests/commands/install_program.vx3" "$folder/"
printf 'carried inside' >"$folder/payload.txt"
if ! timeout 90 "$root/tools/wine-run" 'C:\vexil\vexilc.exe' 'T:\commands_file_install\install_program.vx3' >/dev/null 2>&1; then
  echo "FAIL: packaging failed"; exit 1
fi
rm "$folder/payload.txt"
out=$(cd "$folder" && timeout 90 "$root/tools/wine-run" 'T:\commands_file_install\install_program.exe' 2>/dev/null)
out=${out//$'\r'/}
expected='payload on disk 0, install 1, content carried inside'
if [[ $out != "$expected" ]]; then echo "FAIL: output differs"; diff <(echo "$expected") <(echo "$out"); exit 1; fi
# A script whose payload is missing does not package.
rm -f "$folder/install_program.exe"
if timeout 90 "$root/tools/wine-run" 'C:\vexil\vexilc.exe' 'T:\commands_file_install\install_program.vx3' >/dev/null 2>&1 ||
   [[ -e $folder/install_program.exe ]]; then
  echo "FAIL: a script whose payload is missing was packaged"; exit 1
fi
echo "ok"
