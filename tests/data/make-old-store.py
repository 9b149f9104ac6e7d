#!/usr/bin/env python3
"""Writes old-store.db: a store file of an early version, before the
snippet folder and tags and before the entries' search text, pin,
sensitivity, expiry and rich-text columns existed. Written from the table
layout alone, with Python's own sqlite3, so it does not depend on the code
that migrates it."""

import os
import sqlite3

here = os.path.dirname(os.path.abspath(__file__))
path = os.path.join(here, "old-store.db")
for suffix in ("", "-wal", "-shm"):
    if os.path.exists(path + suffix):
        os.remove(path + suffix)

db = sqlite3.connect(path)
db.execute("PRAGMA journal_mode=WAL")
db.executescript("""
CREATE TABLE clipboard_entries (
    id TEXT PRIMARY KEY,
    content_type TEXT NOT NULL,
    created_at REAL NOT NULL,
    is_favorite INTEGER DEFAULT 0,
    source_app TEXT,
    encrypted_content BLOB NOT NULL,
    encrypted_preview BLOB
);
CREATE TABLE snippets (
    id TEXT PRIMARY KEY,
    encrypted_title BLOB NOT NULL,
    encrypted_content BLOB NOT NULL,
    is_favorite INTEGER DEFAULT 0,
    created_at REAL NOT NULL,
    updated_at REAL NOT NULL,
    usage_count INTEGER DEFAULT 0
);
CREATE TABLE audit_log (
    id TEXT PRIMARY KEY,
    timestamp REAL NOT NULL,
    event_type TEXT NOT NULL,
    detail TEXT
);
CREATE INDEX idx_entries_created ON clipboard_entries(created_at DESC);
""")

# The store never opens history blobs, so any bytes of a sealed length do.
db.execute(
    "INSERT INTO clipboard_entries VALUES (?, ?, ?, ?, ?, ?, ?)",
    ("0F8FAD5B-D9CB-469F-A165-70867728950E", "text", 1600000000.25, 1,
     "Terminal", bytes(range(40)), bytes(range(30))))
db.execute(
    "INSERT INTO clipboard_entries VALUES (?, ?, ?, ?, ?, ?, ?)",
    ("7C9E6679-7425-40DE-944B-E07FC1F90AE7", "image", 1600000100.5, 0,
     None, bytes(range(100, 160)), None))
db.execute(
    "INSERT INTO snippets VALUES (?, ?, ?, ?, ?, ?, ?)",
    ("16FD2706-8BAF-433B-82EB-8C7FADA847DA", bytes(40), bytes(40), 0,
     1600000000.0, 1600000000.0, 3))
db.execute(
    "INSERT INTO audit_log VALUES (?, ?, ?, ?)",
    ("886313E1-3B8A-4372-9B90-0C9AEE199E5D", 1600000000.0, "app_unlocked", None))
db.commit()
db.close()
