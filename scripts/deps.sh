#!/bin/sh
# Installs the build tools and test libraries from Debian's packages when one is missing.
# A machine that already has them pays one dpkg query and nothing else.
set -e
needed="cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev"
missing=""
for p in $needed; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
$SUDO apt-get update -q
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing
