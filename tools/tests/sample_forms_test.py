#!/usr/bin/env python3
"""Writes the demo shops both ways with `zentorak-sample --utf8-decimal` and checks with
`zentorak-cli` that the UTF-8 file with decimal WGS 84 coordinates loads as UTF-8, gives every
shop with the same items, and puts each within a few centimetres of its CP932 Tokyo-datum twin."""
import json
import math
import subprocess
import sys
import tempfile

sample, cli = sys.argv[1], sys.argv[2]


def dms_degrees(text):
    deg, minutes, rest = text.split("/")
    seconds, millis = rest.split(".")
    return int(deg) + int(minutes) / 60 + (int(seconds) + int(millis) / 1000) / 3600


def shops(path):
    """Every shop, by name: the nearest ones around each of the three stations."""
    found = {}
    for lat, lon in (("35/40/41", "139/46/13"), ("34/41/57", "135/29/55"), ("35/10/04", "136/53/04")):
        run = subprocess.run([cli, "nearest", "--count", "60", lat, lon, path],
                             capture_output=True, text=True, check=True)
        found.update((t["info"][0], t) for t in map(json.loads, run.stdout.splitlines()))
    return found


with tempfile.TemporaryDirectory() as folder:
    subprocess.run([sample, "--utf8-decimal", folder], check=True, capture_output=True)
    cp932, utf8 = folder + "/sample/demo-shops.csv", folder + "/sample/demo-shops-utf8.csv"
    load = json.loads(subprocess.run([cli, "load", utf8], capture_output=True, text=True,
                                     check=True).stdout)
    forms = load["forms"][0]
    assert forms["encoding"] == "UTF-8" and forms["decimal_lines"] == 120, load
    assert load["captions"][:3] == ["lat", "lng", "店名"], load
    before, after = shops(cp932), shops(utf8)
    assert len(before) == 120 and before.keys() == after.keys(), (len(before), len(after))
    worst = 0
    for name, old in before.items():
        new = after[name]
        assert old["info"] == new["info"], (old, new)
        lat = dms_degrees(old["lat"])
        dy = (dms_degrees(new["lat"]) - lat) * 111320
        dx = (dms_degrees(new["lon"]) - dms_degrees(old["lon"])) * 111320 * math.cos(math.radians(lat))
        worst = max(worst, math.hypot(dx, dy))
    assert worst < 0.1, f"a shop moved by {worst:.3f} m"
    print(f"120 shops, largest distance between the two forms {worst * 100:.1f} cm")
