#!/bin/sh
# Rebuilds the ARJ test archives of this folder and the peers' listings of them.
# Needs arj (ARJ32 3.10 of Debian's arj package), 7zz and lsar. Run from anywhere, as root (the
# owner names of comments.arj are the account's): sh tests/data/arj/make_fixtures.sh
# The main header records the moment the archive was made, so a rebuilt archive differs from the
# committed one in those bytes; its members list the same.
set -eu

out=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# arj on Linux stores Unix times (UTC); with -2d it stores DOS times, which are local times. Make
# and list everything in UTC so that both kinds show the same clock time.
export TZ=UTC
# -y answers arj's questions; stdin is /dev/null so that it never waits for a terminal. arj 3.10
# hangs on a name that starts with a dot given on the command line (docs/.hidden is fine).

mkdir -p "$work/src/docs"
cd "$work/src"
printf 'Read me first.\n' >readme.txt
i=1
while [ $i -le 40 ]; do
    echo "Line $i of the guide, with words repeated to compress well." >>docs/guide.doc
    i=$((i + 1))
done
: >empty.txt
printf 'export PATH=$HOME/bin:$PATH\n' >docs/.hidden
printf 'x=1\n' >' spaced .txt '
printf 'caf\303\251\n' >"$(printf 'caf\303\251.txt')"
printf 'cv\n' >"$(printf 'r\351sum\351.doc')"
printf 'Hello' >"$work/archive-comment.txt"
printf 'Signed copy' >"$work/member-comment.txt"
touch -d '2021-03-04 15:41:56' readme.txt
touch -d '2022-11-05 07:08:10' docs/guide.doc
touch -d '2000-01-01 00:00:00' empty.txt
touch -d '2018-02-28 12:00:00' docs/.hidden
touch -d '2021-03-04 15:41:57' ' spaced .txt '
touch -d '2023-05-06 07:08:09' "$(printf 'caf\303\251.txt')"
touch -d '2012-08-09 10:11:12' "$(printf 'r\351sum\351.doc')"

# unix.arj: arj's defaults on Linux: host UNIX, Unix times (to the second), a 46-byte fixed
# header part. A 0-byte member, a name starting with a dot, spaces around a name, a UTF-8 name and
# a Windows-1252 name.
rm -f "$out/unix.arj"
arj a -y "$out/unix.arj" readme.txt docs/guide.doc empty.txt docs/.hidden ' spaced .txt ' \
    "$(printf 'caf\303\251.txt')" "$(printf 'r\351sum\351.doc')" </dev/null >/dev/null

# dos.arj: -2d (ARJ/DOS compatibility) writes host MS-DOS and DOS dates and times.
rm -f "$out/dos.arj"
arj a -y -2d "$out/dos.arj" readme.txt docs/guide.doc </dev/null >/dev/null

# comments.arj: an archive comment of five characters, a comment on the first member, and -2o
# owner extended headers on every member.
rm -f "$out/comments.arj"
arj a -y -2o "$out/comments.arj" readme.txt empty.txt docs/guide.doc </dev/null >/dev/null
arj c -y "$out/comments.arj" "-z$work/archive-comment.txt" </dev/null >/dev/null
arj c -y "$out/comments.arj" readme.txt "-jz$work/member-comment.txt" </dev/null >/dev/null

# tree.arj: arj -r walks the folders, and -a1 adds each folder as an entry of its own (file type
# 3), an empty folder among them.
mkdir -p "$work/tree/docs/api" "$work/tree/empty"
cd "$work/tree"
printf 'Read me first.\n' >readme.txt
printf '<html></html>\n' >docs/api/index.html
printf 'The guide.\n' >docs/guide.doc
touch -d '2021-03-04 15:41:56' readme.txt docs/api/index.html docs/guide.doc
touch -d '2021-03-04 09:00:00' docs/api docs empty
rm -f "$out/tree.arj"
arj a -r -a1 -y "$out/tree.arj" '*' </dev/null >/dev/null

# ibm437.arj: host MS-DOS (-2d), names and the archive comment in IBM437 bytes:
# "filename_with_\221o\206.txt" is filename_with_æoå.txt, "GR\201\341E.TXT" GRÜßE.TXT, and the
# comment "Gr\201\341e" Grüße.
mkdir -p "$work/ibm437"
cd "$work/ibm437"
aeoa=$(printf 'filename_with_\221o\206.txt')
gruesse=$(printf 'GR\201\341E.TXT')
printf 'x\n' >"$aeoa"
printf 'y\n' >"$gruesse"
printf 'Gr\201\341e' >"$work/ibm437-comment.txt"
touch -d '2023-05-06 07:08:10' "$aeoa" "$gruesse"
rm -f "$out/ibm437.arj"
arj a -y -2d "$out/ibm437.arj" "$aeoa" "$gruesse" </dev/null >/dev/null
arj c -y "$out/ibm437.arj" "-z$work/ibm437-comment.txt" </dev/null >/dev/null

# What the peers list for each archive, each listed alone.
for archive in unix dos comments tree ibm437; do
    rm -rf "$work/list" && mkdir "$work/list" && cp "$out/$archive.arj" "$work/list/"
    (cd "$work/list" && 7zz l -slt "$archive.arj" >"$out/$archive.7z.txt" 2>&1) || true
    (cd "$work/list" && lsar -j "$archive.arj" >"$out/$archive.lsar.json" 2>/dev/null) || true
done
