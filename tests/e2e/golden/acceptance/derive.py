#!/usr/bin/env python3
"""Writes the expected results files of the acceptance run from its table of
observations, by the results-file layouts the README describes. Run it from
this folder; it rewrites e0_N3/results.ascii and e0_N3/results.bin."""
import struct

EXPERIMENT = 0
CLIENT_ID = 0
# Observations of `-e 0 -N 3`, worked out independently of the program (see
# e0_N3/README.md): one row per replication, one column per reward node.
OBSERVATIONS = [
    [0, 0, 1, 0, 1],
    [0, 1, 1, 0, 1],
    [0, 1, 1, 0, 1],
]


def trimmed(value):
    text = "%.10f" % value
    while text.endswith("0") and not text.endswith(".0"):
        text = text[:-1]
    return text


def ascii_file():
    lines = ["#VELMOR_SIM_ASCII_FILE,VELMOR_VER=Version 2.4,FILE_VER=1,EXPERIMENTS=%d\n" % EXPERIMENT,
             "#FORMAT: (PV ID Number),(PV Value)\n"]
    for node in range(len(OBSERVATIONS[0])):
        for row in OBSERVATIONS:
            lines.append("%d,%s\n" % (node, trimmed(row[node])))
    return "".join(lines).encode()


def binary_file():
    header = ("VELMOR_SIM_BIN_FILE,256,VELMOR_VER=Version 2.4,FILE_VER=1,EXPERIMENTS=%d," %
              EXPERIMENT).encode()
    header += b"\0" * (256 - len(header))
    # One report (-N 3 with the default report size): one type-1 record per
    # node, n = 3 values each; length 9 + 7 R + 8 N.
    nodes = len(OBSERVATIONS[0])
    count = len(OBSERVATIONS)
    records = b""
    for node in range(nodes):
        records += struct.pack(">HBI", node, 1, count)
        records += b"".join(struct.pack(">d", row[node]) for row in OBSERVATIONS)
    length = 9 + 7 * nodes + 8 * nodes * count
    message = struct.pack(">IBHH", length, CLIENT_ID, EXPERIMENT, nodes) + records
    return header + message


with open("e0_N3/results.ascii", "wb") as f:
    f.write(ascii_file())
with open("e0_N3/results.bin", "wb") as f:
    f.write(binary_file())
