#!/usr/bin/env python3
"""Writes the piece-square block R16.bin from the readable White table psq_white.txt.

Regenerate after editing the table (from the repository root), then re-run cmake so the
build embeds the new block:
    python3 resources/make_psq.py resources/psq_white.txt resources/R16.bin

R16.bin holds 13 rows of 64 little-endian 32-bit cells, one row per piece code -6..+6
(row index = code + 6), squares a1 = 0 .. h8 = 63. A cell keeps the middle-game value
plus 30000 in its low half and the endgame value plus 30000 in its high half. Black's
rows are White's mirrored by rank and negated; the empty row (code 0) is raw zero.
The engine checks every property of the block when it loads it.
"""

import struct
import sys

PIECES = ["pawn", "knight", "bishop", "rook", "queen", "king"]
OFFSET = 30000


def read_boards(path):
    """Returns {(piece, phase): [64 values indexed by square]}."""
    boards = {}
    current = None
    rows = []
    with open(path, encoding="ascii") as text:
        for number, line in enumerate(text, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            words = line.split()
            if words[0] in PIECES:
                if len(words) != 2 or words[1] not in ("mg", "eg"):
                    sys.exit(f"{path}:{number}: expected '<piece> mg' or '<piece> eg'")
                current = (words[0], words[1])
                if current in boards:
                    sys.exit(f"{path}:{number}: {words[0]} {words[1]} given twice")
                rows = []
                boards[current] = rows
                continue
            if current is None or len(words) != 8 or len(rows) == 8:
                sys.exit(f"{path}:{number}: expected a row of 8 values under a board heading")
            rows.append([int(word) for word in words])
    squares = {}
    for key, rows in boards.items():
        if len(rows) != 8:
            sys.exit(f"{path}: {key[0]} {key[1]} has {len(rows)} rows, not 8")
        # The text shows rank 8 first; square index = rank * 8 + file.
        squares[key] = [rows[7 - square // 8][square % 8] for square in range(64)]
    missing = [f"{p} {h}" for p in PIECES for h in ("mg", "eg") if (p, h) not in squares]
    if missing:
        sys.exit(f"{path}: missing boards: {', '.join(missing)}")
    return squares


def cell(mg, eg):
    low, high = mg + OFFSET, eg + OFFSET
    if not (0 <= low <= 0xFFFF and 0 <= high <= 0xFFFF):
        sys.exit(f"value pair {mg}/{eg} does not fit a cell")
    return low | (high << 16)


def build_cells(squares):
    cells = []
    for code in range(-6, 7):
        if code == 0:
            cells.extend([0] * 64)
            continue
        mg = squares[(PIECES[abs(code) - 1], "mg")]
        eg = squares[(PIECES[abs(code) - 1], "eg")]
        for square in range(64):
            if code > 0:
                cells.append(cell(mg[square], eg[square]))
            else:
                mirror = square ^ 56
                cells.append(cell(-mg[mirror], -eg[mirror]))
    return cells


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_psq.py psq_white.txt R16.bin")
    cells = build_cells(read_boards(sys.argv[1]))
    with open(sys.argv[2], "wb") as out:
        out.write(struct.pack("<832I", *cells))


if __name__ == "__main__":
    main()
