#!/usr/bin/env python3
"""A printer on a pseudo-terminal, for the bridge's serial test under Wine.

Opens a pty, prints the path of its slave side (one line, then flushed), and
answers every request frame (STX ... ETX) it reads with the answer given,
byte for byte. Each frame received is appended to the log as one line of
hexadecimal before the answer goes out, so a test that has the answer knows the
request is in the log. --mute reads and logs but never answers.

    fake_printer.py --answer 503033 --log /tmp/x/printer.log [--mute]

Runs until SIGTERM or SIGINT.
"""
import argparse
import os
import select
import signal
import sys
import tty

STX, ETX = 0x02, 0x03


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--answer", required=True, help="the answer to every frame, in hexadecimal")
    parser.add_argument("--log", required=True, help="file the frames received are appended to")
    parser.add_argument("--mute", action="store_true", help="never answer")
    options = parser.parse_args()
    try:
        answer = bytes.fromhex(options.answer)
    except ValueError:
        parser.error("--answer must be hexadecimal")

    master, slave = os.openpty()
    # Raw both ways: no echo of the request, no line-end translation.
    tty.setraw(slave)
    tty.setraw(master)
    # The slave stays open here too, so the master never reads EIO between two
    # openings by Wine.
    print(os.ttyname(slave), flush=True)

    running = True

    def stop(signum, frame):
        nonlocal running
        running = False

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)

    pending = bytearray()
    while running:
        try:
            ready, _, _ = select.select([master], [], [], 0.2)
        except InterruptedError:
            continue
        if not ready:
            continue
        try:
            data = os.read(master, 4096)
        except OSError:
            continue
        pending += data
        while True:
            start = pending.find(STX)
            if start < 0:
                pending.clear()
                break
            end = pending.find(ETX, start + 1)
            if end < 0:
                del pending[:start]
                break
            frame = bytes(pending[start:end + 1])
            del pending[:end + 1]
            with open(options.log, "a", encoding="ascii") as log:
                log.write(frame.hex() + "\n")
            if not options.mute:
                os.write(master, answer)
    return 0


if __name__ == "__main__":
    sys.exit(main())
