#!/usr/bin/env python3
# The far end of the serial line of BRLTTY's TTY braille driver.
#   braille_pty.py serve LOG KEYS: open a pseudo-terminal, print its path,
#     append all the driver draws to LOG and pass on to the driver the bytes
#     appended to KEYS (the display's keys).
#   braille_pty.py frames LOG: one line per drawing of the display: its text,
#     a tab, its braille cells without dots 7 and 8, a tab, and the cells
#     that had dots 7 and 8 (the cursor), comma-separated.
import os, pty, select, sys, tty


def serve(log_path, keys_path):
    master, slave = pty.openpty()
    tty.setraw(slave)
    print(os.ttyname(slave), flush=True)
    sent = 0
    with open(log_path, 'ab', buffering=0) as log:
        while True:
            ready, _, _ = select.select([master], [], [], 0.05)
            if ready:
                try:
                    log.write(os.read(master, 4096))
                except OSError:
                    pass
            try:
                with open(keys_path, 'rb') as f:
                    f.seek(sent)
                    chunk = f.read()
            except FileNotFoundError:
                chunk = b''
            if chunk:
                os.write(master, chunk)
                sent += len(chunk)


# The driver clears the screen, writes the text, moves one row down to the
# start of the line and writes the cells.
def frames(log_path):
    data = open(log_path, 'rb').read().decode('utf-8', 'replace')
    for chunk in data.split('\x1b[H\x1b[J')[1:]:
        text, _, rest = chunk.partition('\r')
        if '\x1b[1B' not in rest:
            continue
        cells = rest.split('\x1b[1B', 1)[1]
        cells = ''.join(c for c in cells if 0x2800 <= ord(c) <= 0x28FF)
        plain = ''.join(chr(0x2800 | ((ord(c) - 0x2800) & 0x3F)) for c in cells)
        cursor = [str(i) for i, c in enumerate(cells) if (ord(c) - 0x2800) & 0xC0 == 0xC0]
        print(text + '\t' + plain.rstrip('\u2800') + '\t' + ','.join(cursor))


if sys.argv[1] == 'serve':
    serve(sys.argv[2], sys.argv[3])
else:
    frames(sys.argv[2])
