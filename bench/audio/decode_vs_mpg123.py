#!/usr/bin/env python3
"""Decoding a 180 s MP3 through the engine against `mpg123 -t`, as whole processes.

Usage: bench/audio/decode_vs_mpg123.py SONG START ENGINE
  SONG    the 180 s MP3
  START   its first 2 s as an MP3 of their own
  ENGINE  bench_audio_decode of the build to measure

Each tool decodes both files, in turns, 9 times; the best CPU time (user + system,
which a busy machine disturbs less than wall time) and wall time of each count. Taking
the 2 s file's time off leaves the decoding without the start-up (the engine loads Qt,
which costs it some 8 ms more than mpg123).
"""
import resource, subprocess, sys, time
song, start, engine = sys.argv[1], sys.argv[2], sys.argv[3]
tools = {"mpg123 -t": ["mpg123", "-q", "-t"], "engine": [engine]}
best = {(name, f): (1e9, 1e9) for name in tools for f in (song, start)}
def cpu():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime
for _ in range(9):
    for f in (song, start):
        for name, cmd in tools.items():
            before = cpu()
            t = time.perf_counter()
            subprocess.run(cmd + [f], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            wall = time.perf_counter() - t
            used = cpu() - before
            best[name, f] = (min(best[name, f][0], used), min(best[name, f][1], wall))
for name in tools:
    (c, w), (c2, _) = best[name, song], best[name, start]
    print(f"{name:10s}: CPU {c:.3f} s = {180/c:5.0f} x real time   (wall {w:.3f} s = {180/w:5.0f} x);"
          f" without start-up {178/(c-c2):5.0f} x")
m, e = best["mpg123 -t", song], best["engine", song]
ms, es = best["mpg123 -t", start], best["engine", start]
print(f"engine throughput / mpg123 -t throughput: CPU {m[0]/e[0]:.3f}, wall {m[1]/e[1]:.3f};"
      f" without start-up, CPU {(m[0]-ms[0])/(e[0]-es[0]):.3f}")
