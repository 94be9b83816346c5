#!/usr/bin/python3
"""Writes the site's page from its template: its style and scripts inline,
each allowed by its hash in the page's policy, and the program and its two
fonts in data blocks, so that the page starts with no other request.
The page may connect to its own origin and to CONNECT, the signalling
server's origin where it has one of its own.
Usage: make_page.py TEMPLATE STYLE PROGRAM_JS PROGRAM_WASM FONT BOLD_FONT BOOT_JS PAGE [CONNECT]"""
import base64
import hashlib
import re
import sys

template, style, program_js, program, font, bold_font, boot_js, page = sys.argv[1:9]
connect = "".join(" " + origin for origin in sys.argv[9:] if origin)


def text(path, *unsafe):
    with open(path, encoding="utf-8") as source:
        content = source.read()
    # Inline, these would end the element early or change how it is parsed.
    for mark in unsafe:
        if mark in content.lower():
            sys.exit("%s holds %s" % (path, mark))
    return content


# A data block holds each byte as the character of its own value, which
# the page's compression packs nearly as well as the bytes themselves (base64
# would cost a third more after it). The few bytes that a page's text cannot
# hold as they are (a NUL, a carriage return, and "<", which could end the
# block) are written 256 higher: a character's low byte is always the byte.
HELD_HIGHER = {0x00, 0x0D, 0x3C}


def encoded(path):
    with open(path, "rb") as source:
        return "".join(chr(byte + 256 if byte in HELD_HIGHER else byte) for byte in source.read())


def allowed(content):
    return "'sha256-%s'" % base64.b64encode(hashlib.sha256(content.encode("utf-8")).digest()).decode("ascii")


css = text(style, "</style")
script = text(program_js, "</script", "<!--") + "\n" + text(boot_js, "</script", "<!--")
parts = {"STYLE_HASH": allowed(css), "SCRIPT_HASH": allowed(script), "STYLE": css, "SCRIPT": script,
         "PROGRAM": encoded(program), "FONT": encoded(font), "BOLD_FONT": encoded(bold_font), "CONNECT": connect}
with open(template, encoding="utf-8") as source:
    html = source.read()
missing = [name for name in parts if "@%s@" % name not in html]
if missing:
    sys.exit("%s has no %s" % (template, ", ".join(missing)))
html = re.sub(r"@([A-Z_]+)@", lambda found: parts[found.group(1)], html)
with open(page, "w", encoding="utf-8") as target:
    target.write(html)
