#!/usr/bin/env python3
"""What the real program costs while nothing plays, and while a song plays.

Usage: bench/player/idle.py BUILD_DIR MP3 [SECONDS]   (default 20 s)
       PELTO_BENCH_PEER="mpv --ao=null" bench/player/idle.py ...

Starts pelto (offscreen, SDL's dummy driver, which plays in real time into nothing)
in a fresh program folder and, after it has settled, watches it for SECONDS:
  empty list   no Pelto.m3u
  stopped      a Pelto.m3u holding MP3, restored and not played
  paused       MP3 from the command line, paused through the media player interface
  playing      MP3 from the command line
For each: the share of one core (user + system time of all threads), wake-ups per
second (voluntary and involuntary context switches of all threads, from
/proc/PID/task/*/status) and the resident memory at the end and at its peak.
Runs the program on a session bus of its own (dbus-run-session) for the pause.
PELTO_BENCH_PEER names another player's command, which is run on MP3 and watched the
same way while it plays ("not installed" when its program is missing).
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

from procstat import cpu_seconds, memory_mb


def switches(pid):
    """Context switches so far of each thread, by thread id."""
    counts = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/status") as f:
                counts[tid] = sum(int(line.split()[-1]) for line in f
                                  if line.startswith(("voluntary_ctxt", "nonvoluntary_ctxt")))
        except FileNotFoundError:
            pass
    return counts


def watch(pid, seconds):
    """Threads come and go (a pause may end one): their switches are summed from
    samples every quarter of a second, so only the last moments of a thread that ends
    are missed."""
    last, woken = switches(pid), 0
    c0, t0 = cpu_seconds(pid), time.monotonic()
    while time.monotonic() - t0 < seconds:
        time.sleep(0.25)
        now = switches(pid)
        woken += sum(count - last.get(tid, 0) for tid, count in now.items())
        last = now
    c1, t1 = cpu_seconds(pid), time.monotonic()
    rss, peak = memory_mb(pid)
    elapsed = t1 - t0
    return 100 * (c1 - c0) / elapsed, woken / elapsed, rss, peak


def main():
    if "DBUS_SESSION_BUS_ADDRESS" not in os.environ or os.environ.get("PELTO_IDLE_BUS") != "own":
        os.execvp("dbus-run-session", ["dbus-run-session", "--", "env", "PELTO_IDLE_BUS=own",
                                       sys.executable] + sys.argv)
    build, song = os.path.realpath(sys.argv[1]), os.path.realpath(sys.argv[2])
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 20
    work = tempfile.mkdtemp()
    try:
        home = os.path.join(work, "home")
        os.mkdir(home)
        os.symlink(os.path.join(build, "skin"), os.path.join(home, "skin"))
        env = dict(os.environ, SDL_AUDIODRIVER="dummy", QT_QPA_PLATFORM="offscreen",
                   PELTO_HOME=home, XDG_RUNTIME_DIR=work)
        print(f"{'':13s} {'core %':>7s} {'wake-ups/s':>10s} {'RSS MB':>7s} {'peak MB':>7s}")
        for case in ("empty list", "stopped", "paused", "playing"):
            for name in ("Pelto.m3u", "Pelto.cfg"):
                if os.path.exists(os.path.join(home, name)):
                    os.remove(os.path.join(home, name))
            args = []
            if case == "stopped":
                with open(os.path.join(home, "Pelto.m3u"), "w") as f:
                    f.write(song + "\r\n")
            elif case in ("paused", "playing"):
                args = [song]
            p = subprocess.Popen([os.path.join(build, "pelto")] + args, env=env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(3)
            if case == "paused":
                subprocess.run(["playerctl", "-p", "pelto", "pause"], check=True)
                time.sleep(1)
            core, wakeups, rss, peak = watch(p.pid, seconds)
            p.terminate()
            p.wait()
            print(f"{case:13s} {core:7.2f} {wakeups:10.1f} {rss:7.1f} {peak:7.1f}")
        peer = os.environ.get("PELTO_BENCH_PEER", "").split()
        if peer and not shutil.which(peer[0]):
            print(f"{' '.join(peer)}: not installed")
        elif peer:
            p = subprocess.Popen(peer + [song], stdin=subprocess.DEVNULL,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(3)
            core, wakeups, rss, peak = watch(p.pid, seconds)
            p.terminate()
            p.wait()
            print(f"{peer[0] + ', playing':13s} {core:7.2f} {wakeups:10.1f} {rss:7.1f} {peak:7.1f}"
                  f"   ({' '.join(peer)})")
    finally:
        shutil.rmtree(work, ignore_errors=True)


main()
