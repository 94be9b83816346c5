#!/usr/bin/python3
"""Writes the site's service worker from its template: the list of the
site's files to keep at once (all but those for two screens), and a cache name that changes with their contents.
Usage: make_service_worker.py TEMPLATE SITE_DIR"""
import hashlib
import os
import sys

template, site = sys.argv[1], sys.argv[2]
files, digest = [], hashlib.sha256()
for folder, _, names in sorted(os.walk(site)):
    for name in sorted(names):
        path = os.path.join(folder, name)
        relative = os.path.relpath(path, site).replace(os.sep, "/")
        if relative == "sw.js":
            continue
        # The two-screen files are kept once a page has loaded them.
        if not relative.startswith("two/"):
            files.append(relative)
        with open(path, "rb") as data:
            digest.update(relative.encode() + b"\0" + data.read())
listed = ", ".join('"%s"' % name for name in ["./"] + files)
with open(template) as source:
    text = source.read().replace("@HASH@", digest.hexdigest()[:16]).replace("@FILES@", listed)
with open(os.path.join(site, "sw.js"), "w") as target:
    target.write(text)
