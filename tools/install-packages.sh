#!/usr/bin/env bash
# Installs the Debian packages the build, the Wine test bench and the benchmarks need, and any
# packages named as arguments (./run-bench adds its peers' tools).
# Cheap when everything is there: one dpkg query, no apt call.
set -euo pipefail

packages=(
  cmake make ninja-build python3
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth
  dpkg-dev xz-utils
  googletest
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$p")
done

# PCRE2 is built from Debian's source package, which needs a deb-src entry.
src_list=/etc/apt/sources.list.d/vexil-deb-src.sources
need_src=0
[[ -f $src_list ]] || need_src=1

if (( ${#missing[@]} == 0 && need_src == 0 )); then
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  echo "install-packages: missing ${missing[*]:-deb-src entry}; run as root to install them" >&2
  exit 1
fi

if (( need_src )); then
  cat >"$src_list" <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
fi

echo "install-packages: installing ${missing[*]:-(sources list only)}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
if (( ${#missing[@]} )); then
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
