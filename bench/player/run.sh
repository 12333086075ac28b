#!/usr/bin/env bash
# The whole program, side by side with references in the same run:
#  1. playing a 320 kbit/s MP3 for 20 s (SDL's dummy driver, real time into nothing):
#     CPU share of one core and peak memory of `pelto` with its window, timers and
#     scrolling line, against the bare engine polled the same way (bench_audio_play);
#  2. start-up with a 10,000-row Pelto.m3u, until the main window is visible (Xvfb),
#     against the same start with an empty playlist and against `mpg123 -t -n 1`
#     opening the same 10,000 files.
# Usage: bench/player/run.sh [BUILD_DIR]   (default: $PELTO_BUILD_DIR or build)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="$(realpath "${1:-${PELTO_BUILD_DIR:-build}}")"
cmake --build "$build" --target pelto bench_audio_play pelto_skins >/dev/null
media=$(mktemp -d)
trap 'rm -rf "$media"' EXIT

sox -n -r 44100 -c 2 -b 16 "$media/short.wav" synth 30 pinknoise synth 30 sine mix 300-600 \
    gain -8 2>/dev/null
lame --quiet -b 320 --tt "A title long enough to scroll in the standard skin's first line" \
    "$media/short.wav" "$media/song320.mp3"
mkdir "$media/home" "$media/many"
ln -s "$build/skin" "$media/home/skin"
for i in $(seq -w 1 10000); do ln "$media/song320.mp3" "$media/many/song$i.mp3"; done
ls "$media/many"/*.mp3 > "$media/many.m3u"

python3 - "$build" "$media" <<'PY'
import os, resource, shutil, subprocess, sys, time
build, media = sys.argv[1], sys.argv[2]
home = os.path.join(media, "home")
song = os.path.join(media, "song320.mp3")

def run_for(cmd, seconds, env):
    """Runs cmd for `seconds`, then SIGTERM; returns (CPU s, peak RSS MB)."""
    p = subprocess.Popen(cmd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(seconds)
    p.terminate()
    _, _, usage = os.wait4(p.pid, 0)
    return usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024

env = dict(os.environ, SDL_AUDIODRIVER="dummy", QT_QPA_PLATFORM="offscreen", PELTO_HOME=home,
           XDG_RUNTIME_DIR=media)
print("== playing a 320 kbit/s MP3 for 20 s (SDL dummy driver)")
secs = 20
for name, cmd in [("pelto", [os.path.join(build, "pelto"), song]),
                  ("engine alone", [os.path.join(build, "bench_audio_play"), song, str(secs + 5)])]:
    cpu, rss = run_for(cmd, secs, env)
    print(f"{name:13s}: {100 * cpu / secs:5.2f} % of one core, peak RSS {rss:6.1f} MB")
    for f in ("Pelto.m3u", "Pelto.cfg"):
        if os.path.exists(os.path.join(home, f)):
            os.remove(os.path.join(home, f))

print("== start-up until the main window is visible (Xvfb), median of 5")
def startup(rows_file):
    m3u = os.path.join(home, "Pelto.m3u")
    if rows_file:
        shutil.copy(rows_file, m3u)
    elif os.path.exists(m3u):
        os.remove(m3u)
    script = (f'start=$(date +%s.%N); "{build}/pelto" & pid=$!; '
              'until xdotool search --onlyvisible --name "^Pelto$" >/dev/null 2>&1; '
              'do sleep 0.01; done; '
              'end=$(date +%s.%N); kill $pid; wait $pid; echo "$start $end"')
    out = subprocess.run(["xvfb-run", "-a", "bash", "-c", script], env=dict(env, QT_QPA_PLATFORM="xcb"),
                         capture_output=True, text=True, check=True).stdout.split()
    return float(out[-1]) - float(out[-2])
def median(xs):
    return sorted(xs)[len(xs) // 2]
empty = median([startup(None) for _ in range(5)])
full = median([startup(os.path.join(media, "many.m3u")) for _ in range(5)])
t = time.perf_counter()
subprocess.run(["mpg123", "-q", "-t", "-n", "1", "--list", os.path.join(media, "many.m3u")],
               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
ref = time.perf_counter() - t
print(f"pelto, empty playlist      : {empty:6.3f} s")
print(f"pelto, 10,000-row Pelto.m3u: {full:6.3f} s")
print(f"mpg123 -t -n 1, same files : {ref:6.3f} s")
PY
