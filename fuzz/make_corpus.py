#!/usr/bin/env python3
"""Builds the seed corpora of fuzz/corpus/ from slices of the real captures in
test/data/logs and from the suite's test data. Run from the repository root; the
output is committed, so this only needs running again when a seed should change."""
import os
import re
import struct

LOGS = "test/data/logs"
OUT = "fuzz/corpus"
LINE = re.compile(r"\((\d+\.\d+)\) (\S+) ([0-9A-F]+)#([0-9A-F]*)")


def lines(name, start, count):
    with open(os.path.join(LOGS, name)) as log:
        return log.read().splitlines()[start:start + count]


def frames(text_lines):
    for line in text_lines:
        m = LINE.match(line)
        if m and len(m.group(3)) == 8:
            yield int(m.group(3), 16), bytes.fromhex(m.group(4))


def console(text_lines):  # the same frames as `candump -ta` shows them
    out, first = [], None
    for line in text_lines:
        m = LINE.match(line)
        if not m:
            continue
        t = float(m.group(1))
        first = t if first is None else first
        data = " ".join(m.group(4)[i:i + 2] for i in range(0, len(m.group(4)), 2))
        out.append(f" ({t - first:010.6f})  {m.group(2)}  {m.group(3)}   [{len(m.group(4)) // 2}]  {data}")
    return out


def host_layout(can_id, data):
    pf, ps = (can_id >> 16) & 0xFF, (can_id >> 8) & 0xFF
    pgn = (can_id >> 8) & 0x3FF00 if pf < 240 else (can_id >> 8) & 0x3FFFF
    dest = ps if pf < 240 else 0xFF
    return struct.pack("<I", pgn)[:3] + bytes([(can_id >> 26) & 7, can_id & 0xFF, dest]) + data


def write(target, name, blob):
    os.makedirs(os.path.join(OUT, target), exist_ok=True)
    with open(os.path.join(OUT, target, name), "wb") as f:
        f.write(blob)


SLICES = {  # (log, first line, lines): plain broadcasts, DM1 by BAM, VIN by BAM, 19 ECUs
    "idle-start": ("engine-idle-dm1.candump.log", 0, 40),
    "idle-dm1-bam": ("engine-idle-dm1.candump.log", 170, 30),
    "vin-bam": ("engine-vin-broadcast.candump.log", 40, 30),
    "mixed": ("mixed-19-ecus.candump.log", 0, 60),
}
for tag, (log, start, count) in SLICES.items():
    text = lines(log, start, count)
    write("fuzz_candump", tag + ".log", ("\n".join(text) + "\n").encode())
    write("fuzz_candump", tag + ".console", ("\n".join(console(text)) + "\n").encode())
    write("fuzz_transport", tag, b"".join(struct.pack("<I", i) + bytes([len(d)]) + d for i, d in frames(text)))
    messages = [host_layout(i, d) for i, d in frames(text)]
    write("fuzz_parse_message", tag, b"".join(bytes([n % 3, len(m)]) + m for n, m in enumerate(messages)))

# A reassembled DM1 with two faults and a DM4 with two freeze frames, as whole messages.
dm1 = host_layout(0x18FECA00, bytes([0x04, 0xFF, 0x6E, 0x00, 0x03, 0x01, 0xBE, 0x00, 0x04, 0x02]))
dm4 = host_layout(0x18FECD00, bytes([0x0B, 0x6E, 0x00, 0x03, 0x01, 1, 2, 3, 4, 5, 6, 7,
                                     0x05, 0xBE, 0x00, 0x04, 0x02, 9]))
write("fuzz_parse_message", "dm1-dm4", bytes([0, len(dm1)]) + dm1 + bytes([0, len(dm4)]) + dm4)
chain = bytes([0x0B, 0x6E, 0x00, 0x03, 0x01, 1, 2, 3, 4, 5, 6, 7, 0x05, 0xBE, 0x00, 0x04, 0x02, 9])
write("fuzz_freeze_frame", "first", struct.pack("<I", 110) + bytes([3]) + dm4[:6] + chain)
write("fuzz_freeze_frame", "second", struct.pack("<I", 190) + bytes([4]) + dm4[:6] + chain)
write("fuzz_freeze_frame", "not-available", struct.pack("<I", 190) + bytes([4]) + dm4[:6] + b"\xfe" + chain)

for tag, text in {"plain": "1\u00a7523\u00a73", "large": "4294967296\u00a7-99999999999999999999\u00a731",
                  "short": "2\u00a7"}.items():
    write("fuzz_fault_request", tag, b"".join(struct.pack("<H", ord(c)) for c in text))

for rec in ("engine-linux.rec", "engine-windows.rec"):
    with open(os.path.join("test/data/recordings", rec), "rb") as f:
        write("fuzz_recording_reader", rec, f.read())
write("fuzz_recording_reader", "address-only.rec", b"[ConnectionInfo]\r\nMID = 3\r\n")

for tag, text in {"crlf": "; host test switches\r\n[testing]\r\nMarlJ1939PromptShowAllParameters = 1\r\n",
                  "lf": "[Testing]\nMarlJ1939PromptShowAllParameters=1\n",
                  "off": "[Other]\nKey=2\n[Testing]\nMarlJ1939PromptShowAllParameters=0\n"}.items():
    write("fuzz_app_config", tag + ".ini", text.encode())
