#!/usr/bin/env bash
# Audio benchmarks, side by side with mpg123 on the same files in one run:
#  1. decoding a 3-minute 128 kbit/s MP3 through the engine to a null output, against
#     `mpg123 -t` (decode, no output); both timed as whole processes;
#  2. the CPU time and memory used while playing a 320 kbit/s MP3 for 30 s (SDL's
#     dummy driver, which plays in real time into nothing), then paused and stopped;
#  3. seeks on a 30-minute MP3: the slowest and the median of 20, from the seek until
#     the first frame of the target is rendered, with the page cache cold and warm;
#  4. the cost of reading the tag and length of one file (warm cache), for 2000 names
#     of a 10 s MP3 with an Info header, of one with a constant bitrate and no header,
#     and of one with a variable bitrate and no header (a quiet second, then music);
#     and for 200 names of a 180 s MP3 without a header (its frame headers are walked).
# Usage: bench/audio/run.sh [BUILD_DIR]   (default: $PELTO_BUILD_DIR or build)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-${PELTO_BUILD_DIR:-build}}"
cmake --build "$build" --target bench_audio_decode bench_audio_play bench_audio_seek \
    bench_audio_fileinfo >/dev/null
media=$(mktemp -d)
trap 'rm -rf "$media"' EXIT

# Music-like media: a chord with a moving tone over pink noise, so the encoder works
# as it would on music.
sox -n -r 44100 -c 2 -b 16 "$media/long.wav" synth 180 pinknoise synth 180 sine mix 220-880 \
    gain -8 2>/dev/null
lame --quiet -b 128 "$media/long.wav" "$media/song128.mp3"
sox -n -r 44100 -c 2 -b 16 "$media/short.wav" synth 35 pinknoise synth 35 sine mix 300-600 \
    gain -8 2>/dev/null
lame --quiet -b 320 "$media/short.wav" "$media/song320.mp3"

echo "== decoding a 180 s 128 kbit/s MP3: whole processes, run in turns, best of 9"
# CPU time (user + system) of each process, which a busy machine disturbs less than
# wall time; wall time is shown too. Each tool also decodes the first 2 s of the song:
# taking that off leaves the decoding alone, without the start-up (the engine loads Qt,
# which costs it some 8 ms more than mpg123).
sox "$media/long.wav" "$media/start.wav" trim 0 2
lame --quiet -b 128 "$media/start.wav" "$media/start128.mp3"
python3 bench/audio/decode_vs_mpg123.py "$media/song128.mp3" "$media/start128.mp3" \
    "$build/bench_audio_decode"
"$build/bench_audio_decode" "$media/song128.mp3" 3

echo "== playing a 320 kbit/s MP3 for 30 s (SDL dummy driver)"
SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=offscreen "$build/bench_audio_play" "$media/song320.mp3" 30

echo "== seeking in a 30-minute 128 kbit/s MP3 (no header: its frames are indexed while it plays)"
lame --quiet -b 128 -t "$media/long.wav" "$media/piece.mp3"
for i in $(seq 10); do cat "$media/piece.mp3"; done >"$media/long30.mp3"
"$build/bench_audio_seek" "$media/long30.mp3" 20

echo "== file information, one thread, warm cache"
sox -n -r 44100 -c 2 -b 16 "$media/ten.wav" synth 10 pinknoise gain -8 2>/dev/null
sox -n -r 44100 -c 2 -b 16 "$media/quiet.wav" trim 0 1
sox "$media/quiet.wav" "$media/ten.wav" "$media/quiet_ten.wav" trim 0 10
lame --quiet -b 128 --tt "Title" --id3v1-only "$media/ten.wav" "$media/info.mp3"
lame --quiet -b 128 -t --tt "Title" --id3v1-only "$media/ten.wav" "$media/cbr.mp3"
lame --quiet -V 2 -t --tt "Title" --id3v1-only "$media/quiet_ten.wav" "$media/vbr.mp3"
lame --quiet -b 128 -t "$media/long.wav" "$media/long_cbr.mp3"
files_of() { # files_of KIND COUNT: COUNT names of $media/KIND.mp3
    mkdir "$media/$1"
    for i in $(seq "$2"); do ln "$media/$1.mp3" "$media/$1/$i.mp3"; done
}
files_of info 2000
files_of cbr 2000
files_of vbr 2000
files_of long_cbr 200
printf '%-32s' "10 s, Info header:"
"$build/bench_audio_fileinfo" "$media/info"/*.mp3
printf '%-32s' "10 s, headerless CBR:"
"$build/bench_audio_fileinfo" "$media/cbr"/*.mp3
printf '%-32s' "10 s, headerless VBR:"
"$build/bench_audio_fileinfo" "$media/vbr"/*.mp3
printf '%-32s' "180 s, headerless CBR:"
"$build/bench_audio_fileinfo" "$media/long_cbr"/*.mp3
