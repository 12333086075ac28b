#!/usr/bin/env python3
"""The silence heard where one song leads to the next.

Usage: bench/player/join_silence.py BUILD_DIR

Two pieces of one continuous noise recording without a single zero sample (2.5 s
each, 44.1 kHz stereo) are played one after the other by the real program from its
command line, through SDL's disk driver at real time, and every run of zero frames
between the first and the last sound of the output is the silence at the join.
Cases: two Wave files, the two pieces encoded by lame (its header states the encoder
delay and padding), and Wave then MP3. (A song at another rate opens the device anew,
and the disk driver starts its file again there, so that join is not measured here.)
Beside: the figures of the build before songs were joined,
and mpv (--gapless-audio=yes, raw float output) on the same files when it is installed.
"""

import array
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
import wave

BEFORE_MS = {"Wave + Wave": "67 ms", "MP3 + MP3": "113 ms", "Wave + MP3": "-"}


def noise(frames, rng):
    samples = array.array("h", (rng.choice((-1, 1)) * rng.randint(1, 12000) for _ in range(2 * frames)))
    return samples


def write_wave(path, samples, rate):
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(samples.tobytes())


def interior_silence(raw_path):
    """Zero frames between the first and the last sounding frame, and their frames."""
    data = array.array("f")
    with open(raw_path, "rb") as f:
        data.frombytes(f.read())
    frames = len(data) // 2
    sounding = [i for i in range(frames) if data[2 * i] != 0.0 or data[2 * i + 1] != 0.0]
    if not sounding:
        return None
    first, last = sounding[0], sounding[-1]
    return (last - first + 1) - len(sounding)


def run_pelto(build, home, files, seconds):
    raw = os.path.join(home, "played.raw")
    if os.path.exists(raw):
        os.remove(raw)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", SDL_AUDIODRIVER="disk",
               SDL_DISKAUDIOFILE=raw, PELTO_HOME=home, XDG_RUNTIME_DIR=home)
    for name in ("Pelto.m3u", "Pelto.cfg"):
        if os.path.exists(os.path.join(home, name)):
            os.remove(os.path.join(home, name))
    proc = subprocess.Popen([os.path.join(build, "pelto")] + files, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(seconds + 2.5)
    proc.terminate()
    proc.wait(timeout=20)
    return raw


def run_mpv(files, out):
    if not shutil.which("mpv"):
        return None
    subprocess.run(["mpv", "--no-config", "--really-quiet", "--vo=null", "--gapless-audio=yes",
                    "--ao=pcm", "--ao-pcm-file=" + out, "--ao-pcm-waveheader=no",
                    "--audio-format=float", "--audio-channels=stereo"] + files,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    return out


def main():
    build = os.path.realpath(sys.argv[1] if len(sys.argv) > 1 else "build")
    work = tempfile.mkdtemp()
    try:
        home = os.path.join(work, "home")
        os.mkdir(home)
        os.symlink(os.path.join(build, "skin"), os.path.join(home, "skin"))
        rng = random.Random(7)
        frames = int(44100 * 2.5)
        whole = noise(2 * frames + 333, rng)
        a, b = whole[: 2 * frames], whole[2 * frames:]
        paths = {}
        for name, samples in (("a", a), ("b", b)):
            paths[name + ".wav"] = os.path.join(work, name + ".wav")
            write_wave(paths[name + ".wav"], samples, 44100)
            paths[name + ".mp3"] = os.path.join(work, name + ".mp3")
            subprocess.run(["lame", "--quiet", "-b", "160", paths[name + ".wav"],
                            paths[name + ".mp3"]], check=True)
        cases = [("Wave + Wave", ["a.wav", "b.wav"]), ("MP3 + MP3", ["a.mp3", "b.mp3"]),
                 ("Wave + MP3", ["a.wav", "b.mp3"])]
        print(f"{'join':<20} {'pelto':>12} {'before':>8} {'mpv':>12}")
        for name, files in cases:
            files = [paths[f] for f in files]
            gap = interior_silence(run_pelto(build, home, files, 5.1))
            pelto = "-" if gap is None else f"{gap / 44.1:.1f} ms"
            out = run_mpv(files, os.path.join(work, "mpv.raw"))
            if out is None:
                mpv = "not installed"
            else:
                gap = interior_silence(out)
                mpv = "-" if gap is None else f"{gap / 44.1:.1f} ms"
            print(f"{name:<20} {pelto:>12} {BEFORE_MS[name]:>8} {mpv:>12}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
