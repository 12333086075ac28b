#!/usr/bin/env bash
# Makes the small tagged files in fixtures/ with independent tools (lame, id3v2, eyeD3,
# mutagen) and a few hand-built tags for what no tool writes (version 2.2, unsynchronised
# tags, RIFF-wrapped MPEG). Every file holds the same few frames of silence.
# Rerun after changing it, then commit the files: the tests read them as they are.
set -euo pipefail
cd "$(dirname "$0")"
out=fixtures
rm -rf "$out"; mkdir -p "$out"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT

sox -n -r 22050 -c 1 -b 16 "$tmp/silence.wav" trim 0 0.1
lame --quiet -b 32 "$tmp/silence.wav" "$out/plain.mp3"

sjis() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

# lame's own tags: version 2 in UTF-16 and version 1.
lame --quiet -b 32 --id3v2-utf16 --tt "朝の歌" --ta "小鳥たち" --tl "最初のアルバム" \
     --tc "デモ" --ty 2001 --tg Pop --tn 3/12 "$tmp/silence.wav" "$out/lame_utf16.mp3"

# id3v2 passes its arguments' bytes on as they are: Shift-JIS in "Latin-1" frames (2.3)
# and in the version 1 tag.
cp "$out/plain.mp3" "$out/id3v2_sjis.mp3"
id3v2 -2 -t "$(sjis 'ｱｻﾉｳﾀ 朝の歌')" -a "$(sjis '小鳥たち')" -A "$(sjis '最初のアルバム')" \
      -c "$(sjis 'デモ～')" -g 13 -y 2001 -T 5/9 "$out/id3v2_sjis.mp3"
cp "$out/plain.mp3" "$out/id3v1_sjis.mp3"
id3v2 -1 -t "$(sjis '朝の歌')" -a "$(sjis '小鳥たち')" -A "$(sjis 'アルバム')" \
      -c "$(sjis 'デモ')" -g 13 -y 2001 "$out/id3v1_sjis.mp3"

# eyeD3: version 2.4 in UTF-8, and 2.3 in UTF-16.
cp "$out/plain.mp3" "$out/eyed3_utf8.mp3"
eyeD3 -Q --to-v2.4 --encoding utf8 -t "Morning Song ♪" -a "The Birds" -A "First Album" \
      -c "Demo" -G "Rock" --recording-date 2001-04-05 -n 7 -N 10 "$out/eyed3_utf8.mp3" >/dev/null
cp "$out/plain.mp3" "$out/eyed3_utf16.mp3"
eyeD3 -Q --to-v2.3 --encoding utf16 -t "夜の歌" -a "フクロウ" -A "二枚目" -c "ライブ" \
      -G 8 --recording-date 1999 -n 11 "$out/eyed3_utf16.mp3" >/dev/null

# mutagen: 2.4 with UTF-16BE and several values in one frame, 2.3 with "Latin-1"
# frames holding Shift-JIS bytes, and spaces kept around a title.
/usr/bin/python3 - "$out" <<'PY'
import shutil, sys
from mutagen.id3 import ID3, TIT2, TPE1, TALB, COMM, TCON, TDRC, TRCK
out = sys.argv[1]
def tag(name, frames, version):
    path = f"{out}/{name}"
    shutil.copy(f"{out}/plain.mp3", path)
    t = ID3()
    for f in frames:
        t.add(f)
    t.save(path, v2_version=version)
sj = lambda s: s.encode("cp932").decode("latin-1")
tag("mutagen_utf16be.mp3", [TIT2(encoding=2, text=["最初", "二番目"]), TPE1(encoding=2, text="歌手"),
    TALB(encoding=2, text="盤"), COMM(encoding=2, lang="jpn", desc="", text="説明"),
    TCON(encoding=2, text=["17", "Pop"]), TDRC(encoding=2, text="2010-10-10"),
    TRCK(encoding=2, text="/8")], 4)
tag("mutagen_sjis.mp3", [TIT2(encoding=0, text=sj("  ライブ  ")), TPE1(encoding=0, text=sj("表示")),
    TALB(encoding=0, text="Plain ASCII"), COMM(encoding=0, lang="eng", desc="first", text=sj("一番")),
    COMM(encoding=0, lang="eng", desc="", text="second"), TCON(encoding=0, text="(13)"),
    TRCK(encoding=0, text="12")], 3)
PY

# Hand-built: version 2.2, 2.3 with an extended header, unsynchronised 2.3 and 2.4 tags,
# RIFF-wrapped MPEG with SIF information (Shift-JIS), with and without an ID3v2 tag in
# its data, and a Wave file.
/usr/bin/python3 - "$out" "$tmp/silence.wav" <<'PY'
import struct, sys
out, wav = sys.argv[1], sys.argv[2]
audio = open(f"{out}/plain.mp3", "rb").read()
def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])
def unsync(data):
    res = bytearray()
    for i, b in enumerate(data):
        res.append(b)
        if b == 0xFF and (i + 1 == len(data) or data[i + 1] >= 0xE0 or data[i + 1] == 0):
            res.append(0)
    return bytes(res)
def utf16(s):
    return b"\x01" + "\ufeff".encode("utf-16-le") + s.encode("utf-16-le")
def v22frame(fid, body):
    return fid + len(body).to_bytes(3, "big") + body
def v23frame(fid, body, flags=b"\0\0"):
    return fid + struct.pack(">I", len(body)) + flags + body
def v24frame(fid, body, flags=b"\0\0"):
    return fid + syncsafe(len(body)) + flags + body
def tag(version, flags, frames):
    return b"ID3" + bytes([version, 0, flags]) + syncsafe(len(frames)) + frames
# 2.2: three-character frame ids, "Latin-1" holding Shift-JIS, a UTF-16 comment.
v22 = b"".join([
    v22frame(b"TT2", b"\0" + "古い形式".encode("cp932")),
    v22frame(b"TP1", b"\0" + "作者".encode("cp932")),
    v22frame(b"TAL", b"\0Album 2.2"),
    v22frame(b"COM", b"\x01eng" + "\ufeff".encode("utf-16-le") + b"\0\0" + "\ufeff注釈".encode("utf-16-le")),
    v22frame(b"TCO", b"\0(8)"),
    v22frame(b"TYE", b"\x001987"),
    v22frame(b"TRK", b"\x004/10")]) + b"\0" * 32
open(f"{out}/v22.mp3", "wb").write(tag(2, 0, v22) + audio)
# 2.3 with the whole tag unsynchronised (UTF-16 texts hold 0xFF bytes); its first
# comment frame has a description.
v23 = b"".join([v23frame(b"TIT2", utf16("ÿ同期")), v23frame(b"TPE1", utf16("ÿÿ")),
                v23frame(b"COMM", b"\0engnote\0first"), v23frame(b"COMM", b"\0eng\0second"),
                v23frame(b"TRCK", b"\x002/3")])
open(f"{out}/unsync23.mp3", "wb").write(tag(3, 0x80, unsync(v23)) + audio)
# 2.3 with an extended header (its size field counts neither itself nor is it
# syncsafe), without and with a CRC of the frames, followed by padding.
import zlib
ext_frames = b"".join([v23frame(b"TIT2", utf16("拡張ヘッダ")), v23frame(b"TPE1", b"\0Ext Artist"),
                       v23frame(b"TALB", b"\0Ext Album"), v23frame(b"TRCK", b"\x006/7")])
pad = 64
for name, crc in (("ext23.mp3", False), ("ext23_crc.mp3", True)):
    extended = (struct.pack(">IHI", 10, 0x8000, pad) + struct.pack(">I", zlib.crc32(ext_frames))
                if crc else struct.pack(">IHI", 6, 0, pad))
    open(f"{out}/{name}", "wb").write(tag(3, 0x40, extended + ext_frames + b"\0" * pad) + audio)
# 2.4 with unsynchronised frames (frame flag 0x02) and data length indicators (0x01).
def v24unsync(fid, body):
    data = unsync(body)
    return v24frame(fid, syncsafe(len(body)) + data, b"\0\x03")
v24 = b"".join([v24unsync(b"TIT2", utf16("ÿ四番")), v24frame(b"TPE1", b"\x03" + "Ä UTF-8".encode()),
                v24frame(b"TCON", b"\x0313\x00Rock"), v24frame(b"TDRC", b"\x032004-02-29T10:20")])
open(f"{out}/unsync24.mp3", "wb").write(tag(4, 0x80, v24) + audio)
# RIFF-wrapped MPEG.
def chunk(cid, body):
    return cid + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")
def info(items):
    return chunk(b"LIST", b"INFO" + b"".join(chunk(k, v.encode("cp932") + b"\0") for k, v in items))
def riff(form, chunks):
    body = form + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body
fmt = chunk(b"fmt ", b"\x55\x00\x01\x00" + b"\0" * 12)
sif = info([(b"INAM", "包まれた歌"), (b"IART", "リフ"), (b"IPRD", "RIFF盤"), (b"ICMT", " 空白 "),
            (b"IGNR", "Jazz"), (b"ICRD", "2003-03-03"), (b"IPRT", "9/12")])
open(f"{out}/riff_sif.rmp", "wb").write(riff(b"RMP3", [fmt, chunk(b"data", audio), sif]))
tagged = open(f"{out}/eyed3_utf8.mp3", "rb").read()
open(f"{out}/riff_both.rmp", "wb").write(riff(b"RMP3", [fmt, chunk(b"data", tagged), sif]))
open(f"{out}/riff_plain.rmp", "wb").write(riff(b"RMP3", [fmt, chunk(b"data", audio)]))
# A Wave file with INFO, named as MPEG to show that content decides.
pcm = open(wav, "rb").read()
open(f"{out}/wave_named.mp3", "wb").write(pcm[:4] + struct.pack("<I", len(pcm) - 8 + len(sif)) + pcm[8:] + sif)
PY
ls -l "$out"
