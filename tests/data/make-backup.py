#!/usr/bin/env python3
"""Backup files made and read from the byte layout alone, with Python's own
zlib and the cryptography package, so they do not depend on the code that
reads and writes them.

  make-backup.py write DIR PASSWORD   writes the fixtures below into DIR
  make-backup.py check PASSWORD FILE...
      checks files sealed by Vantorell (layout, fresh salt and nonce, the
      JSON forms) and prints the first one's JSON payload
"""

import base64
import json
import os
import re
import struct
import sys
import zlib

from cryptography.hazmat.primitives import hashes
from cryptography.hazmat.primitives.ciphers.aead import AESGCM
from cryptography.hazmat.primitives.kdf.pbkdf2 import PBKDF2HMAC

HEADER = 25


def derive(password, salt, rounds):
    kdf = PBKDF2HMAC(algorithm=hashes.SHA256(), length=32, salt=salt, iterations=rounds)
    return kdf.derive(password.encode("utf-8"))


def seal(password, plaintext, version=1, rounds=100000):
    header = b"VTBK" + bytes([version]) + struct.pack(">I", rounds) + os.urandom(16)
    nonce = os.urandom(12)
    box = AESGCM(derive(password, header[9:], rounds)).encrypt(nonce, plaintext, header)
    return header + nonce + box


def deflate(data, flush=zlib.Z_FINISH):
    compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
    return compressor.compress(data) + compressor.flush(flush)


def b64(data):
    return base64.b64encode(data).decode("ascii")


def payload(**changes):
    full = {"id": "E621E1F8-C36C-495A-93FC-0C247A3E6E5F", "contentType": "image",
            "createdAt": 1700000000.25, "isFavorite": True, "isPinned": False,
            "sourceApp": "org.gimp.GIMP", "isSensitive": True, "content": b64(b"\x89PNG\x00\xff"),
            "preview": "Bild \u2713", "searchText": "bild", "rich": b64(b"{\\rtf1}"),
            "addedLater": {"nested": [1, 2]}}
    bare = {"id": "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0", "contentType": "text",
            "createdAt": 1699999999, "isFavorite": False, "isPinned": True, "sourceApp": None,
            "isSensitive": False, "content": b64("Gr\u00fc\u00dfe".encode("utf-8")),
            "preview": None, "searchText": None, "rich": None}
    bare.update(changes)
    snippet = {"id": "11111111-2222-3333-4444-555555555555", "title": "Sig", "content": "Regards",
               "tags": ["mail"], "group": None, "isFavorite": False, "createdAt": 1600000000,
               "updatedAt": 1600000500.5, "usageCount": 3}
    app = {"id": "AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE",
           "bundleIdentifier": "org.keepassxc.KeePassXC", "name": "KeePassXC"}
    return {"format": 0, "createdAt": 1700000100.5, "appVersion": "", "entries": [full, bare],
            "snippets": [snippet], "excludedApps": [app], "snippetFolders": ["Work", "\u00c4rger"],
            "writtenBy": "make-backup.py"}


def encoded(value):
    return json.dumps(value, ensure_ascii=False).encode("utf-8")


def write(folder, password):
    fixtures = {
        "full": seal(password, deflate(encoded(payload()))),
        "version0": seal(password, deflate(encoded(payload())), version=0),
        "not-deflate": seal(password, b"\xff" * 16),
        # All of the payload, but the stream never ends.
        "unfinished": seal(password, deflate(encoded(payload()), zlib.Z_SYNC_FLUSH)),
        "format2": seal(password, deflate(b'{"format":2,"entries":"not a list"}')),
        "bad-json": seal(password, deflate(b'{"format":1,')),
        "bad-base64": seal(password, deflate(encoded(payload(content="R3I")))),
        "bad-uuid": seal(password, deflate(encoded(payload(id="{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}")))),
    }
    for name, data in fixtures.items():
        with open(os.path.join(folder, name + ".vtbackup"), "wb") as file:
            file.write(data)


def fail(message):
    sys.exit("make-backup.py: " + message)


UUID = re.compile(r"[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}")
BASE64 = re.compile(r"(?:[A-Za-z0-9+/]{4})*(?:[A-Za-z0-9+/]{2}==|[A-Za-z0-9+/]{3}=)?")


def number(value):
    return isinstance(value, (int, float)) and not isinstance(value, bool)


FORMS = {
    "uuid": lambda v: isinstance(v, str) and UUID.fullmatch(v),
    "date": number,
    "flag": lambda v: isinstance(v, bool),
    "count": lambda v: isinstance(v, int) and not isinstance(v, bool),
    "text": lambda v: isinstance(v, str),
    "texts": lambda v: isinstance(v, list) and all(isinstance(t, str) for t in v),
    "bytes": lambda v: isinstance(v, str) and BASE64.fullmatch(v),
    "type": lambda v: v in ("text", "rtf", "image", "file"),
    "list": lambda v: isinstance(v, list),
}

TOP = {"format": "count", "createdAt": "date", "appVersion": "text", "entries": "list",
       "snippets": "list", "excludedApps": "list", "snippetFolders": "texts"}

ENTRY = ({"id": "uuid", "contentType": "type", "createdAt": "date", "isFavorite": "flag",
          "isPinned": "flag", "isSensitive": "flag", "content": "bytes"},
         {"sourceApp": "text", "preview": "text", "searchText": "text", "rich": "bytes"})
SNIPPET = ({"id": "uuid", "title": "text", "content": "text", "tags": "texts", "isFavorite": "flag",
            "createdAt": "date", "updatedAt": "date", "usageCount": "count"},
           {"group": "text"})
APP = ({"id": "uuid", "bundleIdentifier": "text", "name": "text"}, {})


def check_record(where, record, shape):
    required, optional = shape
    if not isinstance(record, dict):
        fail(where + " is not an object")
    if not set(required) <= set(record) <= set(required) | set(optional):
        fail(where + " has keys " + ", ".join(sorted(record)))
    for key, value in record.items():
        if not FORMS[{**required, **optional}[key]](value):
            fail("%s.%s has the wrong form: %r" % (where, key, value))


def check_compact(text):
    inside = escaped = False
    for char in text.decode("utf-8"):
        if escaped:
            escaped = False
        elif inside:
            escaped = char == "\\"
            inside = char != '"'
        elif char == '"':
            inside = True
        elif char in " \t\r\n":
            fail("the JSON is not compact")


def check_payload(text):
    check_compact(text)
    top = json.loads(text)
    check_record("payload", top, (TOP, {}))
    if top["format"] != 1:
        fail("the payload format is not 1")
    for key, shape in (("entries", ENTRY), ("snippets", SNIPPET), ("excludedApps", APP)):
        for index, record in enumerate(top[key]):
            check_record("%s[%d]" % (key, index), record, shape)


def check(password, paths):
    seen = set()
    first = None
    for path in paths:
        with open(path, "rb") as file:
            data = file.read()
        if data[:5] != b"VTBK\x01" or struct.unpack(">I", data[5:9])[0] != 600000:
            fail(path + ": not VTBK, version 1, 600000 rounds")
        salt, nonce = data[9:HEADER], data[HEADER:HEADER + 12]
        if salt in seen or nonce in seen:
            fail(path + ": salt or nonce used twice")
        seen |= {salt, nonce}
        compressed = AESGCM(derive(password, salt, 600000)).decrypt(nonce, data[HEADER + 12:], data[:HEADER])
        inflater = zlib.decompressobj(-15)
        text = inflater.decompress(compressed)
        if not inflater.eof or inflater.unused_data:
            fail(path + ": not exactly one raw DEFLATE stream")
        check_payload(text)
        first = first or text
    sys.stdout.buffer.write(first)


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "write":
        write(sys.argv[2], sys.argv[3])
    elif len(sys.argv) >= 4 and sys.argv[1] == "check":
        check(sys.argv[2], sys.argv[3:])
    else:
        fail(__doc__)
