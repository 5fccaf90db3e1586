#!/usr/bin/env python3
"""Checks a media row: every file in OURS and TOOL has a first stream of the given codec,
and both sides hold as many files of the same length (within half a second).

usage: media_check.py OURS TOOL <stream type: a|v> <codec>"""
import json
import pathlib
import subprocess
import sys


def described(path, stream_type):
    out = subprocess.run(["ffprobe", "-v", "error", "-select_streams", stream_type + ":0", "-show_entries",
                          "stream=codec_name:format=duration", "-of", "json", str(path)],
                         check=True, capture_output=True, text=True).stdout
    info = json.loads(out)
    codec = info["streams"][0]["codec_name"] if info.get("streams") else None
    return codec, float(info["format"]["duration"])


ours_dir, tool_dir, stream_type, codec = sys.argv[1:5]
ours = sorted(p for p in pathlib.Path(ours_dir).iterdir() if not p.name.startswith("."))
tool = sorted(p for p in pathlib.Path(tool_dir).iterdir() if not p.name.startswith("."))
if not ours or len(ours) != len(tool):
    sys.exit(f"ours wrote {len(ours)} files, the tool {len(tool)}")
for mine, theirs in zip(ours, tool):
    (my_codec, my_length), (_, their_length) = described(mine, stream_type), described(theirs, stream_type)
    if my_codec != codec:
        sys.exit(f"{mine.name}: {my_codec}, not {codec}")
    if abs(my_length - their_length) > 0.5:
        sys.exit(f"{mine.name}: {my_length:.2f} s against {their_length:.2f} s")
