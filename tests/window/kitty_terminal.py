#!/usr/bin/env python3
"""Plays a terminal that speaks the kitty keyboard protocol to the program:
answers its query, turns the braille keyboard on with Ctrl+Alt+F11, types
chords as key presses and releases, and checks what the program asked of the
terminal and where the typed project directory led it.

kitty_terminal.py PROGRAM WORKDIR -> exit status 0 when all went as it should.
"""
import fcntl, os, pty, select, struct, sys, termios, time

program, work = sys.argv[1], sys.argv[2]
pid, fd = pty.fork()
if pid == 0:
    os.chdir(os.path.join(work, "projeto"))
    os.execv(program, [program])

fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack("HHHH", 25, 80, 0, 0))
output = b""


def read_for(seconds):
    global output
    end = time.time() + seconds
    while time.time() < end:
        ready, _, _ = select.select([fd], [], [], 0.05)
        if ready:
            try:
                output += os.read(fd, 65536)
            except OSError:
                return


def wait_for(text, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        if text in output:
            return
        read_for(0.1)
    sys.exit("did not see %r; last output: %r" % (text, output[-400:]))


def send(data):
    os.write(fd, data)
    read_for(0.15)


def chord(*codes):
    for c in codes:
        send(b"\x1b[%du" % c)
    for c in codes:
        send(b"\x1b[%d;1:3u" % c)


F, D, SPACE = ord("f"), ord("d"), ord(" ")
try:
    wait_for(b"\x1b[?u")
    send(b"\x1b[?0u")
    wait_for("Pressionando ENTER usarei o padrão".encode())
    send(b"\x1b[23;7~")                 # Ctrl+Alt+F11: mode 1
    wait_for(b"\x1b[>15u")
    chord(F, D)                         # b
    chord(F)                            # a
    chord(SPACE, F, D)                  # Ctrl+B ends the field
    wait_for(b"OK, irei trabalhar em :")
    wait_for(("%s/projeto/ba" % work).encode())
    send(b"\x1b[24;7~")                 # Ctrl+Alt+F12: off
    wait_for(b"\x1b[<u")
finally:
    os.kill(pid, 15)
    read_for(0.5)
    os.waitpid(pid, 0)
