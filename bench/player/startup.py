#!/usr/bin/env python3
"""Start-up of the real program with a long Pelto.m3u, with and without the row-facts
cache, with the page cache warm and cold.

Usage: bench/player/startup.py BUILD_DIR FOLDER [RUNS]   (default 5 runs)

Every file in FOLDER (made a while ago: their times are set an hour back, since a file
changed a moment ago is not kept in the cache) is listed in the Pelto.m3u of a fresh
program folder; pelto starts there (offscreen, SDL's dummy driver) and is timed from
its start until its load has ended with the main window shown (the moment it writes
PELTO_TEST_STATE_FILE). Cases:
  empty playlist     the same start with an empty Pelto.m3u, for comparison
  no cache, warm     Pelto.rowcache removed before each start: every file is read
  cache, warm        the cache the previous start wrote at its exit
  cache, cold        the same after the files, the playlist and the cache were dropped
                     from the page cache
  no cache, cold     both
Cold: posix_fadvise(DONTNEED) on each of those files, which any user may do (the
folder and inode caches stay warm); with PELTO_BENCH_DROP_CACHES=1 and root, the whole
page cache is dropped instead (/proc/sys/vm/drop_caches), which also slows everything
else running on the machine for a moment.
Prints the median time, processor time and memory (peak and resident at the end of
the load) of each case.
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from procstat import cpu_seconds, memory_mb


def status(pid):
    rss, peak = memory_mb(pid)
    return peak, rss, cpu_seconds(pid)


def evict(paths):
    if os.environ.get("PELTO_BENCH_DROP_CACHES") == "1" and os.geteuid() == 0:
        os.sync()
        with open("/proc/sys/vm/drop_caches", "w") as f:
            f.write("3\n")
        return
    for path in paths:
        try:
            fd = os.open(path, os.O_RDONLY)
        except OSError:
            continue
        try:
            os.fdatasync(fd)
            os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
        finally:
            os.close(fd)


def main():
    build, folder = os.path.realpath(sys.argv[1]), os.path.realpath(sys.argv[2])
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    files = sorted(os.path.join(folder, n) for n in os.listdir(folder)
                   if n.lower().endswith((".mp3", ".mp2", ".mp1", ".rmp", ".wav")))
    hour_ago = time.time() - 3600
    for f in files:
        os.utime(f, (hour_ago, hour_ago))
    work = tempfile.mkdtemp()
    try:
        home = os.path.join(work, "home")
        os.mkdir(home)
        os.symlink(os.path.join(build, "skin"), os.path.join(home, "skin"))
        m3u, cache = os.path.join(home, "Pelto.m3u"), os.path.join(home, "Pelto.rowcache")
        listing = "".join(f + "\r\n" for f in files)
        state = os.path.join(work, "state.json")
        env = dict(os.environ, SDL_AUDIODRIVER="dummy", QT_QPA_PLATFORM="offscreen",
                   PELTO_HOME=home, XDG_RUNTIME_DIR=work, PELTO_TEST_STATE_FILE=state,
                   PELTO_TEST_STATE_ROWS="0")

        def start(keep_cache, cold, rows=True):
            with open(m3u, "w") as f:
                f.write(listing if rows else "")
            if not keep_cache and os.path.exists(cache):
                os.remove(cache)
            if cold:
                evict(files + [m3u, cache])
            if os.path.exists(state):
                os.remove(state)
            t = time.perf_counter()
            p = subprocess.Popen([os.path.join(build, "pelto")], env=env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            while not os.path.exists(state):
                if p.poll() is not None:
                    sys.exit("pelto ended during its load")
                time.sleep(0.001)
            elapsed = time.perf_counter() - t
            peak, rss, cpu = status(p.pid)
            p.terminate()
            p.wait()
            return elapsed, cpu, peak, rss

        print(f"{len(files)} rows; median of {runs} starts")
        print(f"{'':18s} {'load s':>7s} {'CPU s':>7s} {'peak MB':>8s} {'RSS MB':>7s}")
        empty = [start(False, False, rows=False) for _ in range(runs)]
        med = [statistics.median(column) for column in zip(*empty)]
        print(f"{'empty playlist':18s} {med[0]:7.3f} {med[1]:7.3f} {med[2]:8.1f} {med[3]:7.1f}")
        start(False, False)  # writes the cache at its exit, and warms everything
        for name, keep, cold in (("no cache, warm", False, False), ("cache, warm", True, False),
                                 ("cache, cold", True, True), ("no cache, cold", False, True)):
            if keep and not os.path.exists(cache):
                start(False, False)
            figures = [start(keep, cold) for _ in range(runs)]
            med = [statistics.median(column) for column in zip(*figures)]
            print(f"{name:18s} {med[0]:7.3f} {med[1]:7.3f} {med[2]:8.1f} {med[3]:7.1f}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


main()
