#!/usr/bin/env python3
# answer_password.py PASSWORD COMMAND...: runs COMMAND on a terminal of its own,
# as a person at a keyboard would, typing PASSWORD at each prompt that ends in
# a colon once the terminal's echo is off: a prompt that leaves the echo on
# would show the password, and ends the run with 125. Exits as COMMAND does;
# 124 if it is silent for a minute.
import os
import pty
import select
import signal
import sys
import termios
import time


def echo_off_soon(fd):
    until = time.monotonic() + 10
    while time.monotonic() < until:
        if not termios.tcgetattr(fd)[3] & termios.ECHO:
            return True
        time.sleep(0.02)
    return False


password = sys.argv[1].encode()
pid, fd = pty.fork()
if pid == 0:
    os.execvp(sys.argv[2], sys.argv[2:])
seen = b""
answered_at = 0
while True:
    ready, _, _ = select.select([fd], [], [], 60)
    if not ready:
        os.kill(pid, signal.SIGKILL)
        os.waitpid(pid, 0)
        sys.exit(124)
    try:
        chunk = os.read(fd, 4096)
    except OSError:  # the terminal is gone with the command
        break
    if not chunk:
        break
    seen += chunk
    sys.stdout.buffer.write(chunk)
    sys.stdout.flush()
    tail = seen.rstrip(b" ")
    if len(seen) > answered_at and (tail.endswith(b":") or tail.endswith("：".encode())):
        if not echo_off_soon(fd):
            os.kill(pid, signal.SIGKILL)
            os.waitpid(pid, 0)
            sys.exit(125)
        os.write(fd, password + b"\n")
        answered_at = len(seen)
_, status = os.waitpid(pid, 0)
sys.exit(os.waitstatus_to_exitcode(status))
