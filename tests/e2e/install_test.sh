#!/bin/sh
# make install with DESTDIR and PREFIX: the engine and its manual page land under the stage,
# and the staged engine answers. Arguments: the source folder and the build folder.
set -eu
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
# Called from make test: the outer make's job-server settings do not apply here.
env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL \
  make -s -C "$1" install BUILD_DIR="$2" DESTDIR="$stage" PREFIX=/opt/tavrin >/dev/null
test -x "$stage/opt/tavrin/bin/tavrin"
head -n 1 "$stage/opt/tavrin/share/man/man6/tavrin.6" | grep -q '^\.TH TAVRIN 6'
printf 'uci\nquit\n' | "$stage/opt/tavrin/bin/tavrin" | grep -qx uciok
