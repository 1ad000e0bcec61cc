#!/usr/bin/env python3
"""Compares two 32-bit float WAV renders sample by sample.

usage: compare-wav.py REFERENCE.wav OTHER.wav [MIN_DB]
Prints the largest sample difference and how far it lies below the reference's peak; fails
(exit 1) when the lengths or formats differ or the difference is less than MIN_DB (default 80)
below the peak. Plain Python: no package beyond the interpreter."""
import array
import math
import struct
import sys


def read_float_wav(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError(f"{path}: not a WAV file")
    at, fmt, samples = 12, None, None
    while at + 8 <= len(data):
        tag, size = data[at:at + 4], struct.unpack_from("<I", data, at + 4)[0]
        body = data[at + 8:at + 8 + size]
        if tag == b"fmt ":
            fmt = struct.unpack_from("<HHIIHH", body)
        elif tag == b"data":
            samples = array.array("f")
            samples.frombytes(body[:len(body) - len(body) % 4])
            if sys.byteorder != "little":
                samples.byteswap()
        at += 8 + size + (size & 1)
    if fmt is None or samples is None:
        raise ValueError(f"{path}: no format or data chunk")
    kind, channels, rate, _, _, bits = fmt
    if bits != 32 or kind not in (3, 0xFFFE):
        raise ValueError(f"{path}: not 32-bit float samples")
    return channels, rate, samples


def main(argv):
    if len(argv) not in (3, 4):
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    min_db = float(argv[3]) if len(argv) == 4 else 80.0
    try:
        ref, other = read_float_wav(argv[1]), read_float_wav(argv[2])
    except (OSError, ValueError, struct.error) as e:
        print(f"compare-wav: {e}", file=sys.stderr)
        return 1
    if ref[:2] != other[:2] or len(ref[2]) != len(other[2]):
        print(f"compare-wav: formats or lengths differ: {ref[:2]} {len(ref[2])} vs {other[:2]} {len(other[2])}")
        return 1
    a, b = ref[2], other[2]
    peak = max((abs(x) for x in a), default=0.0)
    diff = max((abs(x - y) for x, y in zip(a, b)), default=0.0)
    below = math.inf if diff == 0 else 20 * math.log10(peak / diff) if peak > 0 else -math.inf
    frames = len(a) // ref[0]
    print(f"{argv[2]}: {frames} frames, peak {peak:.6f}, largest sample difference {diff:.3g} "
          f"({'identical' if diff == 0 else f'{below:.1f} dB below the peak'})")
    if peak == 0 or below < min_db:
        print(f"compare-wav: the difference must lie at least {min_db:g} dB below a non-silent signal")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
