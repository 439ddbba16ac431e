#!/usr/bin/env python3
"""Writes the benchmark tree: 10,000 text files, about 40 MB, in 100 folders,
mixing ASCII, UTF-8 with and without mark, GBK and UTF-16 LE/BE."""
import os
import random
import sys

FILES = 10_000
TOTAL_BYTES = 40 * 1024 * 1024
FOLDERS = 100

WORDS = ["timer", "task", "shutdown", "remind", "alarm", "Orvane", "folder", "batch",
         "replace", "extract", "download", "value", "market", "report"]
CHINESE = ["定时", "关机", "提醒", "闹钟", "批量", "替换", "下载", "截取", "文件", "内容"]
ENCODINGS = ["ascii", "utf-8", "utf-8-sig", "gbk", "utf-16-le", "utf-16-be"]


def line(rng, n, chinese):
    words = [rng.choice(WORDS) for _ in range(rng.randint(4, 10))]
    if chinese:
        words.insert(rng.randrange(len(words)), rng.choice(CHINESE))
    link = f'<a href="http://example.com/p/{n}.htm">{rng.choice(WORDS)}</a>'
    return f"line {n}: {' '.join(words)} {link}\n"


def encode(text, encoding):
    if encoding == "utf-16-le":
        return b"\xff\xfe" + text.encode("utf-16-le")
    if encoding == "utf-16-be":
        return b"\xfe\xff" + text.encode("utf-16-be")
    return text.encode(encoding)


def main(root):
    rng = random.Random(20240601)
    per_file = TOTAL_BYTES // FILES
    written = 0
    for i in range(FILES):
        encoding = ENCODINGS[i % len(ENCODINGS)]
        # UTF-16 doubles the bytes of the text; aim every file at the same size on disk.
        target = rng.randint(per_file // 2, per_file * 3 // 2)
        unit = 2 if encoding.startswith("utf-16") else 1
        lines = []
        size = 0
        n = 0
        while size < target:
            text = line(rng, n, encoding != "ascii")
            lines.append(text)
            size += len(text.encode("utf-8")) * unit
            n += 1
        folder = os.path.join(root, f"d{i % FOLDERS:03d}")
        os.makedirs(folder, exist_ok=True)
        data = encode("".join(lines), encoding)
        with open(os.path.join(folder, f"f{i:05d}.txt"), "wb") as f:
            f.write(data)
        written += len(data)
    print(f"{FILES} files, {written / 1024 / 1024:.1f} MB in {root}")


if __name__ == "__main__":
    main(sys.argv[1])
