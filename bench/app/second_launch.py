#!/usr/bin/env python3
"""Time a second launch from start to exit, while a first copy runs.

Usage: bench/app/second_launch.py [BUILD_DIR] [RUNS]   (defaults: build, 20)

A first copy starts in a fresh program folder (PELTO_HOME in a temporary folder);
then RUNS later launches with no arguments hand their (empty) command line to it and
end. Each launch is timed from the fork to its exit. Side by side, in the same run:
  /bin/true          the cost of starting any process at all on this machine
  instance_probe     the same entry and hand-off in a program without the player
                     (built with the tests)
  pelto              the real program
Prints the median and the spread (min / max) of each, in milliseconds, and the
median processor time (user + system) the launch itself used: on a busy machine the
elapsed time is mostly waiting for a processor, the processor time is not.
"""

import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time


def children_cpu_ms():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (usage.ru_utime + usage.ru_stime) * 1000


def timed(cmd, env, runs):
    """Elapsed and processor milliseconds of each run."""
    times, cpu = [], []
    for _ in range(runs):
        cpu_before = children_cpu_ms()
        start = time.perf_counter()
        result = subprocess.run(cmd, env=env, stdout=subprocess.DEVNULL, timeout=60)
        times.append((time.perf_counter() - start) * 1000)
        cpu.append(children_cpu_ms() - cpu_before)
        if result.returncode != 0:
            sys.exit(f"{cmd[0]} ended with {result.returncode}")
    return times, cpu


def with_first_copy(program, runs):
    """Starts a first copy of program, times later launches, then ends it."""
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, PELTO_HOME=home, PROBE_LOG=os.path.join(home, "probe.log"),
                   QT_QPA_PLATFORM="offscreen", SDL_AUDIODRIVER="dummy")
        first = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL)
        try:
            # A later launch returns only once the first copy has loaded and dealt
            # with it, so this one also waits for the start to finish.
            timed([program], env, 1)
            return timed([program], env, runs)
        finally:
            first.terminate()
            first.wait(10)


def row(name, measured):
    times, cpu = measured
    print(f"{name:<16} {statistics.median(times):8.1f} {min(times):8.1f} {max(times):8.1f}"
          f" {statistics.median(cpu):8.1f}")


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    print(f"second launch, {runs} runs, ms; load average {os.getloadavg()[0]:.1f}"
          f" on {os.cpu_count()} processors")
    print(f"{'':<16} {'median':>8} {'min':>8} {'max':>8} {'cpu':>8}")
    row("/bin/true", timed(["/bin/true"], os.environ, runs))
    for name in ("instance_probe", "pelto"):
        program = os.path.join(build, name)
        if os.access(program, os.X_OK):
            row(name, with_first_copy(program, runs))
        else:
            print(f"{name:<16} (not built in {build})")


if __name__ == "__main__":
    main()
