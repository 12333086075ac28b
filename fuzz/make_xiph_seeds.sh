#!/usr/bin/env bash
# Makes the seed corpus of fuzz_xiph_open (corpus/xiph_open): small FLAC, Ogg Vorbis
# and Opus files, mono and stereo, tagged, and damaged copies of them (cut short, a
# lying FLAC total, a comment that claims 1 GB, garbage after an Ogg page header).
# Needs sox, flac, vorbis-tools, opus-tools, id3v2 and python3. The seeds are committed.
set -euo pipefail
cd "$(dirname "$0")"
out=corpus/xiph_open
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

sox -R -n -r 8000 -c 1 -b 16 "$tmp/m.wav" synth 0.3 sine 440 gain -6
sox -R -n -r 16000 -c 2 -b 24 "$tmp/s24.wav" synth 0.2 sine 440 sine 660 gain -6
sox -R -n -r 8000 -c 2 -b 16 "$tmp/s.wav" synth 0.3 sine 440 sine 660 gain -6
sox -R -n -r 8000 -c 3 -b 16 "$tmp/t.wav" synth 0.2 sine 440 sine 550 sine 660 gain -6

flac -s -f --no-padding --tag=TITLE=日本語の題 --tag=ARTIST=歌手 -o "$out/mono.flac" "$tmp/m.wav"
flac -s -f --no-padding -o "$out/stereo24.flac" "$tmp/s24.wav"
flac -s -f --no-padding --channel-map=none -o "$out/three.flac" "$tmp/t.wav"
cp "$out/mono.flac" "$tmp/id3.flac" && id3v2 -t "ID3 title" "$tmp/id3.flac" && cp "$tmp/id3.flac" "$out/id3v2_then.flac"
oggenc -Q -q 0 -t "題" -a "歌手" -o "$out/stereo.ogg" "$tmp/s.wav"
opusenc --quiet --bitrate 16 --title "題" --artist "歌手" "$tmp/s.wav" "$out/stereo.opus"
opusenc --quiet --bitrate 16 "$tmp/t.wav" "$out/three.opus"

python3 - "$out" <<'PY'
import sys, os
out = sys.argv[1]
def crc_table():
    t = []
    for i in range(256):
        r = i << 24
        for _ in range(8):
            r = ((r << 1) ^ 0x04C11DB7) & 0xFFFFFFFF if r & 0x80000000 else (r << 1) & 0xFFFFFFFF
        t.append(r)
    return t
T = crc_table()
def crc(b):
    c = 0
    for x in b:
        c = ((c << 8) & 0xFFFFFFFF) ^ T[((c >> 24) & 0xFF) ^ x]
    return c
def fix(b):
    i = 0
    while i + 27 <= len(b) and b[i:i+4] == b'OggS':
        n = b[i+26]
        size = 27 + n + sum(b[i+27:i+27+n])
        if i + size > len(b):
            break
        p = bytearray(b[i:i+size]); p[22:26] = b'\0\0\0\0'
        b[i+22:i+26] = crc(p).to_bytes(4, 'little')
        i += size
    return b
def read(name):
    return bytearray(open(os.path.join(out, name), 'rb').read())
def write(name, b):
    open(os.path.join(out, name), 'wb').write(b)
flac = read('mono.flac')
for name, total in (('lying_total_big.flac', 10**9), ('lying_total_small.flac', 100), ('no_total.flac', 0)):
    b = bytearray(flac); at = 8 + 13
    b[at] = (b[at] & 0xF0) | ((total >> 32) & 0x0F); b[at+1:at+5] = (total & 0xFFFFFFFF).to_bytes(4, 'big')
    write(name, b)
write('cut.flac', flac[:len(flac) // 2])
at = 4
while True:
    t, l = flac[at] & 0x7F, int.from_bytes(flac[at+1:at+4], 'big')
    if t == 4:
        break
    at += 4 + l
b = bytearray(flac); b[at+4:at+8] = (1 << 30).to_bytes(4, 'little'); write('comment_1gb.flac', b)
for src, mark in (('stereo.ogg', b'\x03vorbis'), ('stereo.opus', b'OpusTags')):
    ext = os.path.splitext(src)[1]
    d = read(src)
    at = d.find(mark) + len(mark)
    b = bytearray(d); b[at:at+4] = (1 << 30).to_bytes(4, 'little'); write('comment_1gb' + ext, fix(b))
    write('cut' + ext, d[:len(d) * 2 // 3])
    first = 27 + d[26]
    write('garbage_after_page_header' + ext, d[:first] + bytes((i * 37 + 11) & 0xFF for i in range(3000)))
    # the last page's granule position a lie
    j = d.rfind(b'OggS'); b = bytearray(d)
    b[j+6:j+14] = (1 << 40).to_bytes(8, 'little'); write('lying_granule' + ext, fix(b))
PY
ls -la "$out"
