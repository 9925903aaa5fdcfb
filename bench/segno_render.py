"""Times segno writing one QR symbol as SVG and as PNG, inside this one Python process.

Usage: segno_render.py PAYLOAD_FILE MASK SCALE REPETITIONS

The payload file holds the bytes (ASCII) to encode; the symbol is made once, as version 40, level
L, one byte segment, the given mask, a border of 4 modules, and only saving it is timed. Every
repetition saves into a fresh in-memory buffer and is measured in thread CPU time. Prints one line
per measurement, "name microseconds bytes", with the median time, then the symbol's modules as
one line of 0 and 1 (row by row, border included) so that the caller can check that both
programs drew the same symbol.
"""
import io
import statistics
import sys
import time

import segno


def timed(save, repetitions):
    times = []
    size = 0
    for _ in range(repetitions):
        buffer = io.BytesIO()
        start = time.thread_time_ns()
        save(buffer)
        times.append(time.thread_time_ns() - start)
        size = len(buffer.getvalue())
    return statistics.median(times) / 1000.0, size


def main():
    payload_file, mask, scale, repetitions = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
    with open(payload_file, 'rb') as f:
        payload = f.read().decode('ascii')
    symbol = segno.make(payload, version=40, error='l', mode='byte', mask=mask, boost_error=False)
    if symbol.version != 40 or symbol.mask != mask:
        sys.exit('segno made version %s mask %s' % (symbol.version, symbol.mask))
    svg_us, svg_bytes = timed(lambda b: symbol.save(b, kind='svg', border=4), repetitions)
    png1_us, png1_bytes = timed(lambda b: symbol.save(b, kind='png', border=4, scale=1), repetitions)
    png_us, png_bytes = timed(lambda b: symbol.save(b, kind='png', border=4, scale=scale), repetitions)
    print('svg %.1f %d' % (svg_us, svg_bytes))
    print('png1 %.1f %d' % (png1_us, png1_bytes))
    print('png%d %.1f %d' % (scale, png_us, png_bytes))
    print(''.join('1' if dark else '0' for row in symbol.matrix_iter(border=4) for dark in row))
    print('segno %s python %s' % (segno.__version__, sys.version.split()[0]))


if __name__ == '__main__':
    main()
