#!/usr/bin/env python3
"""Writes a UTF-8 text file re-encoded as Shift-JIS (code page 932)."""
import sys

with open(sys.argv[1], encoding="utf-8") as src:
    text = src.read()
with open(sys.argv[2], "wb") as dst:
    dst.write(text.encode("cp932"))
