#!/bin/sh
# Installs Debian packages that are missing: the named ones, or without names the build tools
# and test libraries. A machine that already has them pays one dpkg query and nothing else.
set -e
needed=${*:-"cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev"}
missing=""
for p in $needed; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
$SUDO apt-get update -q
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
