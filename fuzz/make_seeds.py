#!/usr/bin/env python3
"""Writes the starting inputs of every fuzz target into fuzz/corpus/<target>/.
Inputs found by the fuzzer are added beside them by scripts/fuzz.sh."""
import os
import sqlite3
import struct
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def ini():
    put("fuzz_ini", "new-key", b"S\0K\0value\0[S]\nA=1\n")
    put("fuzz_ini", "replace-crlf", b"Setup\0LanguageFile\0Deutsch.lng\0[Setup]\r\nLanguageFile=English.lng\r\nK=x\r\n")
    put("fuzz_ini", "legacy-bytes", b"S\0K\0\xc3\x83\xc2\xa9\0[S]\nA=caf\xe9\n")
    put("fuzz_ini", "quoted-blanks", b"T\0k\0  \"x\" \0; note\n[T]\nk=\" y \"\n[S]\nK=2\n")
    put("fuzz_ini", "bom-and-duplicates", b"S\0A\0v\0\xef\xbb\xbf[S]\nA=1\nA=2\n[S]\nK=3\n[s]\nk=4")
    put("fuzz_ini", "refused", b"S\0K=\0v\0[S]\nK=1\n")


def format_text():
    put("fuzz_format", "plain", b"no placeholders")
    put("fuzz_format", "three", b"%s has %d modules, %m\0sCabinet\0d4\0m123456")
    put("fuzz_format", "percent", b"100%% of %d\0d7")
    put("fuzz_format", "too-few", b"%s and %s\0sone")
    put("fuzz_format", "wrong-kind", b"%d\0sword")
    put("fuzz_format", "lone", b"50%")


def archive_entry(folder, name, data, stated=None):
    packed = zlib.compress(data)
    def text(s):
        b = s.encode("cp1252")
        return bytes([len(b)]) + b
    return text(folder) + text(name) + struct.pack("<II", len(data) if stated is None else stated, len(packed)) + packed


def archive():
    put("fuzz_update_archive", "two-files", archive_entry("", "VarnexCfg", b"program") +
        archive_entry("Lang", "English.lng", b"[Main]\n"))
    put("fuzz_update_archive", "climbs-out", archive_entry("..", "outside.txt", b"x"))
    put("fuzz_update_archive", "absolute", archive_entry("/tmp", "x", b"x"))
    put("fuzz_update_archive", "bomb", archive_entry("", "big", b"\0" * 100000, stated=10))
    put("fuzz_update_archive", "cut-short", archive_entry("", "a", b"abcdef" * 50)[:-7])


def check_file():
    put("fuzz_check_file", "newer", b"1.0\x0020260101\0[Quenvar]\nProgramVersion=1.20\nProgramDownload=http://127.0.0.1/u.z\n"
        b"Message_0410=Nuova\\nversione\n39_PriceListDate=20270101\n39_PriceListDownload=http://127.0.0.1/p.tc\n")
    put("fuzz_check_file", "odd-versions", b"1.9\0\0[Quenvar]\nProgramVersion=1.10.3\n")
    put("fuzz_check_file", "huge-numbers", b"99999999999.1\x0099999999\0[quenvar]\nprogramversion=-2147483648.2147483648\n"
        b"39_PriceListDate=00000000\n")


def requests():
    put("fuzz_requests", "one", b'{"sizeLine": 1, "loadPower": 9000}')
    put("fuzz_requests", "array", b'[{"sizeLine": 1}, {"sizeLine": 2, "specialConfig": "onlyInverter"}, {"loadPower": "x"}]')
    put("fuzz_requests", "accessories", b'{"language": "Italian.lng", "sizeLine": 3, "autonomy": 30, '
        b'"accessories": [[20100, 2]], "contracts": [20240]}')
    put("fuzz_requests", "not-objects", b'[1, 2, 3]')
    put("fuzz_requests", "broken", b'[{"sizeLine": 1},')


def price_list():
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "p.db")
        db = sqlite3.connect(path)
        db.execute("CREATE TABLE PriceListInfo (CountryID INTEGER, CountryName TEXT, Currency TEXT, ValidityDate TEXT)")
        db.execute("INSERT INTO PriceListInfo VALUES (39, 'Italia', 'EUR', '20270101')")
        for table in ("Standard", "Components", "Accessories", "Contracts"):
            db.execute(f'CREATE TABLE "{table}" (Item TEXT NOT NULL, Price)')
            db.execute(f'CREATE INDEX "{table}_Item" ON "{table}" (Item)')
            db.executemany(f'INSERT INTO "{table}" VALUES (?, ?)',
                           [("QV-UPS-10", 1234.5), ("QV-X", "text"), ("QV-Y", None), ("QV-Z", -1)])
        db.commit()
        db.close()
        data = open(path, "rb").read()
    put("fuzz_price_list", "plain-database", b"\0" + data)
    put("fuzz_price_list", "encrypted-garbage", b"\1" + data)
    put("fuzz_price_list", "empty", b"\0")


def price_csv():
    put("fuzz_price_csv", "prices", b"Item,Price\nQV-1,12.50\nQV-2,-0.0001\n")
    put("fuzz_price_csv", "quotes", b'\xef\xbb\xbf"Item","Price"\r\n"a ""b"", c",1\r\n')
    put("fuzz_price_csv", "unclosed", b'Item,Price\n"open,1\n')
    put("fuzz_price_csv", "not-utf8", b"Item,Price\ncaf\xe9,1\n")


if __name__ == "__main__":
    ini(); format_text(); archive(); check_file(); requests(); price_list(); price_csv()
