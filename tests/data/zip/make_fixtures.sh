#!/bin/sh
# Rebuilds the ZIP test archives of this folder and the peers' listings of them.
# Needs zip (Info-ZIP 3.0), 7zz, python3, jar (JDK 17) and lsar. Run from anywhere:
#   sh tests/data/zip/make_fixtures.sh
# Archives made by zip carry the owner's uid/gid; run it as root (0/0) to get identical bytes.
set -eu

out=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# DOS dates and times are local times: make and list everything in UTC so that the Unix times
# of the extended-timestamp fields and the DOS fields tell the same time.
export TZ=UTC
# Info-ZIP zip 3.0 sets the UTF-8 flag on names only when it finds an en_US.UTF-8 locale. With
# no locale files at all it stores names as raw bytes, unmarked, like most Linux installations.
INFOZIP="env LOCPATH=/nonexistent LC_ALL=C zip -q"

# tree.zip: folders, names without an extension, with two dots, ending in a dot, starting with
# a dot, all spaces before the dot, a 0-byte member, a deflated member.
mkdir -p "$work/tree/docs/api/v2"
cd "$work/tree"
i=1
while [ $i -le 40 ]; do
    echo "Line $i of the API overview: every call is listed with its arguments." >>docs/api/readme.txt
    i=$((i + 1))
done
printf '<html><body>v2</body></html>\n' >docs/api/v2/index.html
mkdir -p "$work/payload" && printf 'payload\n' >"$work/payload/data.txt"
touch -d '2020-12-31 23:59:58' "$work/payload/data.txt"
tar --sort=name --mtime='2020-12-31 23:59:58' --owner=0 --group=0 --numeric-owner -C "$work/payload" -cf - data.txt | gzip -n -9 >archive.tar.gz
printf 'Remember the milk.\n' >notes.
printf 'export PATH=$HOME/bin:$PATH\n' >.profile
printf 'Read me first.\n' >readme
: >empty.txt
printf 'QUARTERLY REPORT\r\n' >REPORT.DOC
printf 'x=1\n' >'  .cfg'
printf 'old\n' >old.txt
touch -d '2021-03-04 15:41:56' docs/api/readme.txt
touch -d '2022-11-05 07:08:10' docs/api/v2/index.html
touch -d '2020-12-31 23:59:58' archive.tar.gz
touch -d '2019-07-14 08:30:00' notes.
touch -d '2018-02-28 12:00:00' .profile
touch -d '2024-02-29 18:45:30' readme
touch -d '2000-01-01 00:00:00' empty.txt
touch -d '1999-12-31 23:59:58' REPORT.DOC
touch -d '2021-03-04 15:41:58' '  .cfg'
touch -d '1980-01-01 00:00:00' old.txt
touch -d '2022-11-05 07:08:00' docs/api/v2
touch -d '2021-03-04 09:16:02' docs/api
touch -d '2021-03-04 09:15:00' docs
rm -f "$out/tree.zip"
$INFOZIP "$out/tree.zip" docs/ docs/api/ docs/api/readme.txt docs/api/v2/index.html archive.tar.gz notes. .profile \
    readme empty.txt REPORT.DOC '  .cfg' old.txt

# comment.zip: an archive comment and a comment on each member.
mkdir -p "$work/comment/data"
cd "$work/comment"
printf 'Dear reader,\nthe figures follow.\n' >letter.txt
printf 'quarter,value\n1,10\n2,12\n' >data/figures.csv
touch -d '2021-04-01 10:00:00' letter.txt
touch -d '2021-04-01 10:30:20' data/figures.csv
rm -f "$out/comment.zip"
printf 'Signed copy\nFigures for Q1\n' | $INFOZIP -c "$out/comment.zip" letter.txt data/figures.csv
printf 'Quarterly figures, second draft' | $INFOZIP -z "$out/comment.zip"

# UTF-8 names: the same tree written by three tools.
mkdir -p "$work/utf8/Ärger" "$work/utf8/日本"
cd "$work/utf8"
printf 'café\n' >café.txt
printf 'Überblick\n' >Ärger/Überblick.doc
printf 'メモ\n' >日本/メモ.txt
printf 'plain\n' >plain.txt
touch -d '2023-05-06 07:08:10' café.txt Ärger/Überblick.doc 日本/メモ.txt plain.txt
touch -d '2023-05-06 07:00:00' Ärger 日本
rm -f "$out/utf8-infozip.zip" "$out/utf8-7zip.zip" "$out/utf8-python.zip"
# zip stores the names unmarked; 7-Zip sets the UTF-8 flag (bit 11) on the names that need it.
$INFOZIP "$out/utf8-infozip.zip" café.txt Ärger/ Ärger/Überblick.doc 日本/メモ.txt plain.txt
7zz a -bso0 -bsp0 -tzip "$out/utf8-7zip.zip" café.txt Ärger 日本/メモ.txt plain.txt
# Python's zipfile sets the flag on non-ASCII names only.
python3 - "$out/utf8-python.zip" <<'EOF'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as archive:
    def add(name, data, when, method=zipfile.ZIP_STORED):
        info = zipfile.ZipInfo(name, when)
        info.compress_type = method
        info.external_attr = (0o40755 << 16 | 0x10) if name.endswith("/") else 0o100644 << 16
        archive.writestr(info, data)
    add("café.txt", b"caf\xc3\xa9\n", (2023, 5, 6, 7, 8, 10))
    add("Ärger/", b"", (2023, 5, 6, 7, 0, 0))
    add("Ärger/Überblick.doc", b"\xc3\x9cberblick\n" * 20, (2023, 5, 6, 7, 8, 10), zipfile.ZIP_DEFLATED)
    add("日本/メモ.txt", "メモ\n".encode(), (2023, 5, 6, 7, 8, 10))
    add("plain.txt", b"plain\n", (2023, 5, 6, 7, 8, 10))
EOF

# cp1252-infozip.zip: names in Windows-1252 bytes, as a Windows machine's files copied over
# keep them; zip stores the bytes unmarked.
mkdir -p "$work/cp1252"
cd "$work/cp1252"
cafe=$(printf 'caf\351.txt')
price=$(printf 'price \200 list.txt')
naive=$(printf 'na\357ve')
resume=$(printf 'r\351sum\351.doc')
mkdir "$naive"
printf 'x\n' >"$cafe"
printf 'EUR 10\n' >"$price"
printf 'cv\n' >"$naive/$resume"
touch -d '2012-08-09 10:11:12' "$cafe" "$price" "$naive/$resume"
touch -d '2012-08-09 10:00:00' "$naive"
rm -f "$out/cp1252-infozip.zip"
$INFOZIP "$out/cp1252-infozip.zip" "$cafe" "$price" "$naive/" "$naive/$resume"

# cp437-infozip.zip: names and an archive comment in IBM437 bytes, as MS-DOS tools wrote them and
# ZIP readers read names without the UTF-8 flag: "filename_with_\221o\206.txt" is
# filename_with_æoå.txt, "\216rger/\232berblick.doc" Ärger/Überblick.doc, "na\213ve \253.txt"
# naïve ½.txt, and the comment "Grüße aus Zürich". zip stores the bytes unmarked.
mkdir -p "$work/cp437"
cd "$work/cp437"
aeoa=$(printf 'filename_with_\221o\206.txt')
aerger=$(printf '\216rger')
ueberblick=$(printf '\232berblick.doc')
naive=$(printf 'na\213ve \253.txt')
mkdir "$aerger"
printf 'x\n' >"$aeoa"
printf 'y\n' >"$aerger/$ueberblick"
printf 'z\n' >"$naive"
touch -d '2023-05-06 07:08:10' "$aeoa" "$aerger/$ueberblick" "$naive"
touch -d '2023-05-06 07:00:00' "$aerger"
rm -f "$out/cp437-infozip.zip"
$INFOZIP "$out/cp437-infozip.zip" "$aeoa" "$aerger/" "$aerger/$ueberblick" "$naive"
printf 'Gr\201\341e aus Z\201rich' | $INFOZIP -z "$out/cp437-infozip.zip"

# tree-7zip.zip: a tree written by 7-Zip, which adds every folder it walks as an entry of its own
# (a trailing "/" and the directory attribute), an empty folder among them.
mkdir -p "$work/tree7/docs/api/v2" "$work/tree7/empty"
cd "$work/tree7"
printf 'API overview\n' >docs/api/readme.txt
printf '<html><body>v2</body></html>\n' >docs/api/v2/index.html
printf 'Read me first.\n' >readme
printf 'Remember the milk.\n' >notes.
touch -d '2021-03-04 15:41:56' docs/api/readme.txt docs/api/v2/index.html readme notes.
touch -d '2021-03-04 09:00:00' docs/api/v2 docs/api docs empty
rm -f "$out/tree-7zip.zip"
7zz a -bso0 -bsp0 -tzip "$out/tree-7zip.zip" docs empty readme notes.

# dos-backslash.zip: names with backslashes from an MS-DOS host (version made by 0), as old DOS and
# Windows tools wrote them; Python's zipfile keeps the names it is given.
python3 - "$out/dos-backslash.zip" <<'PYTHON'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as archive:
    def add(name, data, when, attributes):
        info = zipfile.ZipInfo(name, when)
        info.create_system = 0
        info.external_attr = attributes
        archive.writestr(info, data)
    add("DOCS\\", b"", (1995, 6, 1, 12, 0, 0), 0x10)
    add("DOCS\\README.TXT", b"Read me.\r\n", (1995, 6, 1, 12, 0, 2), 0x20)
    add("DOCS\\API\\INDEX.HTM", b"<html>\r\n", (1995, 6, 1, 12, 0, 4), 0x20)
    add("SETUP.EXE", b"MZ", (1995, 6, 1, 12, 0, 6), 0x20)
PYTHON

# zip64.zip: zip -fz writes Zip64 records although nothing needs them: the end record points to
# the Zip64 end record for the directory offset, and the unpacked sizes sit in Zip64 extra fields.
mkdir -p "$work/zip64"
cd "$work/zip64"
i=1
while [ $i -le 50 ]; do printf 'hello zip64\n' >>big.txt; i=$((i + 1)); done
printf 'small' >small.bin
touch -d '2022-06-30 23:59:58' big.txt small.bin
rm -f "$out/zip64.zip"
$INFOZIP -fz "$out/zip64.zip" big.txt small.bin

# empty.zip: an archive with no members is its end record alone.
rm -f "$out/empty.zip"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1], "w").close()' "$out/empty.zip"

# sfx-prepended.zip: a stub put in front of an archive, its offsets left as they were;
# sfx-adjusted.zip: the same with the offsets moved by zip -A, as self-extractors are made.
mkdir -p "$work/sfx/bin"
cd "$work/sfx"
printf '[setup]\ntarget=/opt/tool\n' >setup.ini
printf 'not really a program\n' >bin/tool.exe
touch -d '2015-10-21 16:29:00' setup.ini bin/tool.exe
$INFOZIP "$work/base.zip" setup.ini bin/tool.exe
{
    printf '#!/bin/sh\necho "This is a self-extracting archive."\nexit 0\n'
    head -c 2000 /dev/zero
} >"$work/stub"
cat "$work/stub" "$work/base.zip" >"$out/sfx-prepended.zip"
cp "$out/sfx-prepended.zip" "$out/sfx-adjusted.zip"
$INFOZIP -A "$out/sfx-adjusted.zip"

# greeting.jar: a ZIP by another name, as the JDK's jar writes it (a META-INF/ folder entry and
# a manifest first, the entries' times fixed by --date).
mkdir -p "$work/jar/hello"
cd "$work/jar"
printf 'Hello from a jar.\n' >hello/greeting.txt
rm -f "$out/greeting.jar"
jar --create --file "$out/greeting.jar" --date 2021-03-04T09:00:00Z hello/greeting.txt

# What the peers list for each archive.
cd "$out"
for archive in tree tree-7zip comment utf8-infozip utf8-7zip utf8-python cp1252-infozip cp437-infozip dos-backslash zip64 empty \
    sfx-prepended sfx-adjusted; do
    7zz l -slt -tzip "$archive.zip" >"$archive.7z.txt" || true
    lsar -j "$archive.zip" >"$archive.lsar.json" || true
done
7zz l -slt -tzip greeting.jar >greeting.7z.txt
lsar -j greeting.jar >greeting.lsar.json
