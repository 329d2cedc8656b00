#!/usr/bin/python3
"""OpenCV's counterparts of some of our operations, timed on the same
12-megapixel RGBA picture as vantrel_bench, so that one make bench run shows
both. Each figure is the median wall time of 15 runs (after one warm-up), on
every thread OpenCV uses by default.

  bilinear rotation by 45 degrees (warpAffine) into the turned box, as
  RotateBitmap's BM_Rotate45Reused does, and into a box of the same size;
  a 4x4 channel mix (cv2.transform); a copy of the bytes (numpy's copyto),
  the memcpy the other figures are measured against.
"""
import math
import statistics
import sys
import time

try:
    import cv2
    import numpy as np
except ImportError as error:
    sys.exit(f"OpenCV's counterparts need python3-opencv and python3-numpy: {error}")

WIDTH, HEIGHT = 4000, 3000
RUNS = 15


def median_ms(run):
    run()
    times = []
    for _ in range(RUNS):
        start = time.perf_counter()
        run()
        times.append((time.perf_counter() - start) * 1000.0)
    return statistics.median(times)


def rotation(picture, width, height):
    matrix = cv2.getRotationMatrix2D((WIDTH / 2.0, HEIGHT / 2.0), 45.0, 1.0)
    matrix[0, 2] += (width - WIDTH) / 2.0
    matrix[1, 2] += (height - HEIGHT) / 2.0
    out = np.zeros((height, width, 4), np.uint8)
    return lambda: cv2.warpAffine(picture, matrix, (width, height), dst=out,
                                  flags=cv2.INTER_LINEAR, borderMode=cv2.BORDER_CONSTANT)


def main():
    rng = np.random.default_rng(7)
    picture = rng.integers(0, 256, (HEIGHT, WIDTH, 4), dtype=np.uint8)
    turned = math.cos(math.pi / 4)
    box_width = int(WIDTH * turned + HEIGHT * turned)
    box_height = int(WIDTH * turned + HEIGHT * turned)
    copy = np.empty_like(picture)
    mix = np.array([[0.5, 0.3, 0.2, 0], [0.1, 0.8, 0.1, 0], [0.2, 0.2, 0.6, 0], [0, 0, 0, 1]],
                   np.float32)
    mixed = np.empty_like(picture)
    rows = [
        ("warpAffine 45 degrees, turned box", rotation(picture, box_width, box_height)),
        ("warpAffine 45 degrees, same size", rotation(picture, WIDTH, HEIGHT)),
        ("transform (4x4 channel mix)", lambda: cv2.transform(picture, mix, dst=mixed)),
        ("copyto (memcpy)", lambda: np.copyto(copy, picture)),
    ]
    print(f"OpenCV {cv2.__version__}, {cv2.getNumThreads()} threads, "
          f"{WIDTH}x{HEIGHT} RGBA, median wall time of {RUNS}")
    for name, run in rows:
        print(f"  {name:<36} {median_ms(run):8.2f} ms")


if __name__ == "__main__":
    main()
