#!/usr/bin/env python3
"""Writes the municipal offices list of the shared data as GPX, KML, KMZ and GeoJSON and checks
with `zentorak-cli nearest` that each gives the same nearest offices, at the same points, as the
CSV file at five cities; then writes favourites with `zentorak-cli favorites --gpx` and checks
that the GPX reader gives each back at its point within a millisecond of arc. Exits 77 (skipped)
when the data is absent: it is not part of the source tree."""
import csv
import json
import os
import subprocess
import sys
import tempfile
import zipfile
from xml.sax.saxutils import escape, quoteattr

cli = sys.argv[1]
source = next((p for p in sys.argv[2:] if os.path.exists(p)), None)
if source is None:
    print("municipal offices list absent: skipped")
    sys.exit(77)

with open(source, encoding="utf-8-sig", newline="") as f:
    rows = [r for r in csv.DictReader(f) if r["lat"] and r["lng"]]
others = ["pref", "citykana", "url", "phrase", "lgcode"]


def gpx():
    wpts = "".join(
        f'<wpt lat="{r["lat"]}" lon="{r["lng"]}"><name>{escape(r["city"])}</name><extensions>'
        + "".join(f"<{k}>{escape(r[k])}</{k}>" for k in others) + "</extensions></wpt>\n"
        for r in rows)
    return f'<?xml version="1.0" encoding="UTF-8"?>\n<gpx version="1.1">\n{wpts}</gpx>\n'


def kml():
    marks = "".join(
        f"<Placemark><name>{escape(r['city'])}</name><ExtendedData>"
        + "".join(f"<Data name={quoteattr(k)}><value>{escape(r[k])}</value></Data>" for k in others)
        + f"</ExtendedData><Point><coordinates>{r['lng']},{r['lat']}</coordinates></Point>"
        "</Placemark>\n" for r in rows)
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<kml xmlns="http://www.opengis.net/kml/2.2">'
            f"<Document>\n{marks}</Document></kml>\n")


def geojson():
    features = ",\n".join(
        '{"type": "Feature", "properties": '
        + json.dumps({"name": r["city"], **{k: r[k] for k in others}}, ensure_ascii=False)
        + f', "geometry": {{"type": "Point", "coordinates": [{r["lng"]}, {r["lat"]}]}}}}'
        for r in rows)
    return '{"type": "FeatureCollection", "features": [\n' + features + "]}\n"


def nearest(lat, lon, path, count):
    run = subprocess.run([cli, "nearest", "--count", str(count), lat, lon, path],
                         capture_output=True, text=True, check=True)
    return [json.loads(line) for line in run.stdout.splitlines()]


def millis(text):
    d, m, s = text.split("/")
    return round(((int(d) * 60 + int(m)) * 60 + float(s)) * 1000)


# Sapporo, Sendai, Tokyo, Osaka and Fukuoka stations, on the Tokyo datum.
cities = [("43/04/00", "141/21/00"), ("38/15/40", "140/53/00"), ("35/40/30", "139/46/10"),
          ("34/42/05", "135/29/50"), ("33/35/15", "130/25/00")]
with tempfile.TemporaryDirectory() as folder:
    files = {}
    for name, text in (("gpx", gpx()), ("kml", kml()), ("geojson", geojson())):
        files[name] = os.path.join(folder, "offices." + name)
        with open(files[name], "w", encoding="utf-8") as f:
            f.write(text)
    files["kmz"] = os.path.join(folder, "offices.kmz")
    with zipfile.ZipFile(files["kmz"], "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("doc.kml", kml())
    for lat, lon in cities:
        # The CSV's items are its columns after the coordinates: the city is the fourth.
        expected = [(t["lat"], t["lon"], t["info"][3]) for t in nearest(lat, lon, source, 10)]
        assert len(expected) == 10, (lat, lon, expected)
        for name, path in files.items():
            got = [(t["lat"], t["lon"], t["info"][0]) for t in nearest(lat, lon, path, 10)]
            assert got == expected, (name, lat, lon, got, expected)

    # A favourite at the office nearest each city, named by its local government code.
    favourites = [("office " + t["info"][7], t["lat"], t["lon"])
                  for t in (nearest(lat, lon, source, 1)[0] for lat, lon in cities)]
    settings = os.path.join(folder, "settings.ini")
    with open(settings, "w", encoding="ascii", newline="\r\n") as f:
        for name, lat, lon in favourites:
            f.write(f"[Favorite]\nFavName:{name}\nFavLat:{lat}\nFavLon:{lon}\n\n")
    exported = os.path.join(folder, "favourites.gpx")
    with open(exported, "w", encoding="utf-8") as f:
        subprocess.run([cli, "favorites", "--gpx", settings], stdout=f, check=True)
    for name, lat, lon in favourites:
        back = nearest(lat, lon, exported, 1)[0]
        assert back["info"][0] == name, (name, back)
        assert abs(millis(back["lat"]) - millis(lat)) <= 1, (lat, back)
        assert abs(millis(back["lon"]) - millis(lon)) <= 1, (lon, back)
print(f"{len(rows)} offices alike in four formats at {len(cities)} cities; "
      f"{len(favourites)} favourites read back")
