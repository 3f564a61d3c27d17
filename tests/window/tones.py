#!/usr/bin/env python3
"""Prints the frequencies of the square-wave tones in a sound capture file,
in order, one per tone (a tone handed over in several buffers counts once).
A tone's buffer holds only the levels 96 and 160 (and 128 at its end);
its frequency is read from the number of periods in the buffer."""
import sys

data = open(sys.argv[1], 'rb').read()
pos, last, tones = 0, None, []
while pos < len(data):
    end = data.index(b'\n', pos)
    fields = data[pos:end].split()
    pos = end + 1
    if fields[0] != b'PLAY':
        if fields[0] == b'STOP':
            last = None
        continue
    rate, size = int(fields[2]), int(fields[5])
    samples = data[pos:pos + size]
    pos += size + 1
    if not samples or set(samples) - {96, 128, 160} or samples[0] != 96:
        last = None
        continue
    periods = sum(1 for a, b in zip(samples, samples[1:]) if a == 160 and b == 96) + 1
    frequency = round(rate * periods / len(samples) / 100) * 100
    if frequency != last:
        tones.append(frequency)
    last = frequency
print(' '.join(map(str, tones)))
