#!/usr/bin/env python3
"""Writes COUNT hostile files of just under 256 KiB into FOLDER, as a pupil
who wants to flood the teacher's side would: in turn the largest record the
reader accepts (64 steps, every text near its 2,000-character limit, no two
alike), a record of 80,000 steps, one whose name runs to 250,000 characters,
and 120,000 nested brackets. Usage: hostile_records.py FOLDER COUNT [USER]"""
import json
import os
import sys

LIMIT = 256 * 1024


def record(user, k, **changes):
    r = {
        "format": 1, "id": "%032x" % (0xfeed0000 + k), "user": user, "name": "", "host": "pc",
        "topic": "Физика", "mode": "training", "started": "2026-12-10T09:00:00+03:00",
        "finished": "2026-12-10T09:05:00+03:00", "limitSeconds": 300, "timedOut": False,
        "matches": 0, "errors": 16, "percent": 0, "grade": "1", "steps": [],
        "topicSha256": "0" * 64,
    }
    r.update(changes)
    return json.dumps(r, ensure_ascii=False, separators=(",", ":")).encode("utf-8")


def hostile(user, k):
    kind = k % 4
    if kind == 0:
        text = lambda s: ("%d-%d " % (k, s) + "x" * 1950)[:1950]
        steps = [{"question": s % 17, "answer": (s + 1) % 17, "right": False, "counted": True,
                  "questionText": text(s), "answerText": text(s + 64)} for s in range(64)]
        return record(user, k, steps=steps)
    if kind == 1:
        return record(user, k, steps=[{}] * 80000)
    if kind == 2:
        return record(user, k, name="Я" * 125000)
    return b"[" * 120000 + b"]" * 120000


def main():
    folder, count = sys.argv[1], int(sys.argv[2])
    user = sys.argv[3] if len(sys.argv) > 3 else "intruder"
    for k in range(count):
        data = hostile(user, k)
        assert len(data) <= LIMIT, (k, len(data))
        name = "%s@pc-20261210-0900%02d-%08x.json" % (user, k % 60, 0xfeed0000 + k)
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


main()
