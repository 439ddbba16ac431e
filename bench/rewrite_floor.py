#!/usr/bin/env python3
"""The file-system floor of a safe rewrite: for every file, read it, write the
same bytes beside it and rename that over it. No decoding, no search."""
import os
import sys

for folder, _, names in os.walk(sys.argv[1]):
    for name in names:
        path = os.path.join(folder, name)
        with open(path, "rb") as f:
            data = f.read()
        temp = path + ".tmp"
        with open(temp, "wb") as f:
            f.write(data)
        os.rename(temp, path)
