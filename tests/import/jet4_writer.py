#!/usr/bin/env python3
"""Writes small Access (Jet 4) database files for the import's tests and bench.

No Jet writer ships with Debian, so this one is written from the file format as mdbtools' HACKING
file documents it: pages of 4096 bytes; page 0 the database definition, its bytes from 0x18
masked with RC4; page 1 a data page holding the tables' page usage maps; the MSysObjects table
definition on page 2 with its catalog rows; a table definition page per table; data pages with
Jet 4 rows (fixed columns, variable columns, offset table, null mask); memos inline or on LVAL
pages; text as UCS-2 or in its compressed form. Indexes are not written: readers scan tables.

    jet4_writer.py fixtures FOLDER      the test files (see fixtures())
    jet4_writer.py big ROWS FILE        a TableBook of ROWS loans, for the bench
"""
import datetime
import os
import random
import struct
import sys

PAGE = 4096
# Column types.
BOOL, BYTE, INT, LONG, MONEY, FLOAT, DOUBLE, DATETIME, BINARY, TEXT, OLE, MEMO = range(1, 13)
FIXED_SIZE = {BOOL: 0, BYTE: 1, INT: 2, LONG: 4, MONEY: 8, FLOAT: 4, DOUBLE: 8, DATETIME: 8}
# Column flags.
FIXED, NULLABLE, AUTO_LONG = 0x01, 0x02, 0x04
# The bitmap of a type 0 usage map, in bytes: it covers 512 pages from its start page.
MAP_BYTES = 64
EPOCH = datetime.date(1899, 12, 30)


def rc4(key, data):
    s = list(range(256))
    j = 0
    for i in range(256):
        j = (j + s[i] + key[i % len(key)]) & 0xFF
        s[i], s[j] = s[j], s[i]
    out = bytearray(len(data))
    i = j = 0
    for n, b in enumerate(data):
        i = (i + 1) & 0xFF
        j = (j + s[i]) & 0xFF
        s[i], s[j] = s[j], s[i]
        out[n] = b ^ s[(s[i] + s[j]) & 0xFF]
    return bytes(out)


# The fixed key of the header's mask.
HEADER_KEY = bytes([0xC7, 0xDA, 0x39, 0x6B])


class Column:
    def __init__(self, name, kind, chars=255, compressed=True, auto=False):
        self.name, self.kind, self.compressed, self.auto = name, kind, compressed, auto
        self.fixed = kind in FIXED_SIZE
        self.length = FIXED_SIZE[kind] if self.fixed else (chars * 2 if kind == TEXT else 0)


class Table:
    def __init__(self, name, columns, rows, system=False):
        self.name, self.columns, self.rows, self.system = name, columns, rows, system
        self.tdef = 0
        self.data_pages = []
        self.map_ptr = self.free_ptr = 0


def ucs2(text):
    return text.encode("utf-16-le")


def compress(text):
    """The compressed form of a text, or None when it would not be shorter or cannot be written:
    characters whose high byte is zero take one byte, and a zero byte switches modes."""
    if any(ord(c) & 0xFF == 0 for c in text):
        return None
    out = bytearray(b"\xff\xfe")
    narrow = True
    for c in text:
        wide = ord(c) > 0xFF
        if wide == narrow:
            out.append(0)
            narrow = not wide
        out += ucs2(c) if wide else bytes([ord(c)])
    return bytes(out) if len(out) < len(ucs2(text)) else None


def text_bytes(text, column):
    if column.compressed:
        packed = compress(text)
        if packed is not None:
            return packed
    return ucs2(text)


def date_value(value):
    """Days since 1899/12/30 as Access stores them; before it, the day counts down and the time
    of day still counts up (-1.25 is 1899/12/29 06:00)."""
    if isinstance(value, datetime.datetime):
        day = (value.date() - EPOCH).days
        fraction = (value.hour * 3600 + value.minute * 60 + value.second) / 86400
        return day - fraction if day < 0 else day + fraction
    return float((value - EPOCH).days)


def fixed_bytes(value, column):
    kind = column.kind
    if kind == BYTE:
        return struct.pack("<B", value)
    if kind == INT:
        return struct.pack("<h", value)
    if kind == LONG:
        return struct.pack("<i", value)
    if kind == MONEY:
        return struct.pack("<q", round(value * 10000))
    if kind == FLOAT:
        return struct.pack("<f", value)
    if kind == DOUBLE:
        return struct.pack("<d", value)
    if kind == DATETIME:
        return struct.pack("<d", date_value(value))
    raise ValueError(kind)


class Writer:
    def __init__(self, tables, db_key=0, password=b"", ace=False):
        self.tables = tables
        self.ace = ace
        self.db_key = db_key
        self.password = password
        self.pages = [bytearray(PAGE), bytearray(PAGE), bytearray(PAGE)]
        self.lval = None  # the LVAL page taking memos now

    def alloc(self):
        self.pages.append(bytearray(PAGE))
        return len(self.pages) - 1

    # Data pages: a header, the row offsets after it, the rows from the end of the page down.
    @staticmethod
    def new_data_page(page, owner):
        page[0:2] = b"\x01\x01"
        page[4:8] = owner if isinstance(owner, bytes) else struct.pack("<I", owner)
        struct.pack_into("<H", page, 12, 0)
        struct.pack_into("<H", page, 2, PAGE - 14)

    @staticmethod
    def free(page):
        rows = struct.unpack_from("<H", page, 12)[0]
        end = struct.unpack_from("<H", page, 14 + 2 * (rows - 1))[0] if rows else PAGE
        return end - (14 + 2 * rows)

    @staticmethod
    def room(page):
        """The longest row the page still takes, with its offset."""
        return Writer.free(page) - 2

    @staticmethod
    def add_row(page, data):
        rows = struct.unpack_from("<H", page, 12)[0]
        end = struct.unpack_from("<H", page, 14 + 2 * (rows - 1))[0] if rows else PAGE
        start = end - len(data)
        page[start:end] = data
        struct.pack_into("<H", page, 14 + 2 * rows, start)
        struct.pack_into("<H", page, 12, rows + 1)
        struct.pack_into("<H", page, 2, Writer.free(page))
        return rows

    def store_long(self, data):
        """Puts a memo's bytes on LVAL pages: one row when it fits on a page (type 1), else a
        chain of rows each starting with the pointer to the next (type 2). Returns the flag and
        the data pointer (page << 8 | row)."""
        limit = PAGE - 14 - 2 - 4
        if len(data) <= limit - 16:
            return 0x40, self.lval_row(data)
        chunks = [data[i:i + limit - 4] for i in range(0, len(data), limit - 4)]
        pointer = 0
        for chunk in reversed(chunks):
            pointer = self.lval_row(struct.pack("<I", pointer) + chunk, whole_page=True)
        return 0x00, pointer

    def lval_row(self, data, whole_page=False):
        if whole_page or self.lval is None or self.room(self.pages[self.lval]) < len(data):
            self.lval = self.alloc()
            self.new_data_page(self.pages[self.lval], b"LVAL")
        row = self.add_row(self.pages[self.lval], data)
        pointer = self.lval << 8 | row
        if whole_page:
            self.lval = None
        return pointer

    def memo_bytes(self, text, column):
        data = ucs2(text)
        if len(text) <= 1024 and column.compressed:
            data = compress(text) or data
        if len(data) <= 64:
            return struct.pack("<III", len(data) | 0x80 << 24, 0, 0) + data
        flag, pointer = self.store_long(data)
        return struct.pack("<III", len(data) | flag << 24, pointer, 0)

    def row_bytes(self, table, values):
        cols = table.columns
        fixed = bytearray()
        var = []
        mask = bytearray((len(cols) + 7) // 8)
        for n, (col, value) in enumerate(zip(cols, values)):
            present = value is not None
            if col.kind == BOOL:
                present = bool(value)
            if present:
                mask[n // 8] |= 1 << (n % 8)
            if col.fixed:
                fixed += fixed_bytes(value, col) if value is not None and col.kind != BOOL else bytes(col.length)
            elif value is None:
                var.append(b"")
            elif col.kind == MEMO:
                var.append(self.memo_bytes(value, col))
            else:
                var.append(text_bytes(value, col))
        row = bytearray(struct.pack("<H", len(cols))) + fixed
        offsets = []
        for v in var:
            offsets.append(len(row))
            row += v
        tail = struct.pack("<H", len(row))
        for offset in reversed(offsets):
            tail += struct.pack("<H", offset)
        tail += struct.pack("<H", len(var)) + mask
        return bytes(row + tail)

    def fill(self, table):
        page = None
        for values in table.rows:
            data = self.row_bytes(table, values)
            if page is None or self.room(self.pages[page]) < len(data):
                page = self.alloc()
                self.new_data_page(self.pages[page], table.tdef)
                table.data_pages.append(page)
            self.add_row(self.pages[page], data)

    def usage_map(self, pages):
        """A type 0 map when the pages lie within 512 of the first, else a type 1 map whose
        entries point to map pages (type 0x05) of 4092 * 8 pages each."""
        if not pages:
            return bytes([0]) + struct.pack("<I", 0) + bytes(MAP_BYTES)
        start = min(pages)
        if max(pages) - start < MAP_BYTES * 8:
            bitmap = bytearray(MAP_BYTES)
            for p in pages:
                bitmap[(p - start) // 8] |= 1 << ((p - start) % 8)
            return bytes([0]) + struct.pack("<I", start) + bytes(bitmap)
        per_page = (PAGE - 4) * 8
        entries = [0] * (MAP_BYTES // 4 + 1)
        for p in pages:
            slot = p // per_page
            if not entries[slot]:
                entries[slot] = self.alloc()
                self.pages[entries[slot]][0:4] = b"\x05\x01\x00\x00"
            bit = p % per_page
            self.pages[entries[slot]][4 + bit // 8] |= 1 << (bit % 8)
        return bytes([1]) + b"".join(struct.pack("<I", e) for e in entries)

    def tdef(self, table):
        cols = table.columns
        var_cols = [c for c in cols if not c.fixed]
        body = bytearray(55)
        struct.pack_into("<I", body, 8, len(table.rows))
        struct.pack_into("<I", body, 12, len(table.rows) + 1 if any(c.auto for c in cols) else 0)
        body[16] = 1
        body[32] = 0x53 if table.system else 0x4E
        struct.pack_into("<HHH", body, 33, len(cols), len(var_cols), len(cols))
        struct.pack_into("<II", body, 39, 0, 0)
        struct.pack_into("<II", body, 47, table.map_ptr, table.free_ptr)
        fixed_at = 0
        for n, col in enumerate(cols):
            entry = bytearray(25)
            entry[0] = col.kind
            struct.pack_into("<H", entry, 5, n)
            struct.pack_into("<H", entry, 7, var_cols.index(col) if not col.fixed else 0)
            struct.pack_into("<H", entry, 9, n)
            if col.kind in (TEXT, MEMO):
                struct.pack_into("<H", entry, 11, 0x409)
            entry[15] = (FIXED if col.fixed else 0) | NULLABLE | (AUTO_LONG if col.auto else 0)
            entry[16] = 0x01 if col.kind in (TEXT, MEMO) and col.compressed else 0
            struct.pack_into("<HH", entry, 21, fixed_at if col.fixed else 0, col.length)
            if col.fixed:
                fixed_at += col.length
            body += entry
        for col in cols:
            name = ucs2(col.name)
            body += struct.pack("<H", len(name)) + name
        body += b"\xff\xff"
        struct.pack_into("<I", body, 0, len(body))
        page = self.pages[table.tdef]
        page[0:2] = b"\x02\x01"
        page[8:8 + len(body)] = body
        struct.pack_into("<H", page, 2, PAGE - 8 - len(body) - 8)

    def header(self):
        page = self.pages[0]
        page[0:4] = b"\x00\x01\x00\x00"
        # Access 2007's files say ACE and version 2; the pages of this shape are alike.
        page[4:20] = b"Standard ACE DB\x00" if self.ace else b"Standard Jet DB\x00"
        page[0x14] = 0x02 if self.ace else 0x01
        plain = bytearray(128)
        # The offsets below are the header's own, less the 0x18 where the mask starts.
        struct.pack_into("<H", plain, 0x3C - 0x18, 1256)  # code page
        struct.pack_into("<I", plain, 0x3E - 0x18, self.db_key)
        created = struct.pack("<d", 45000.0)
        plain[0x72 - 0x18:0x7A - 0x18] = created
        struct.pack_into("<I", plain, 0x6E - 0x18, 0x409)
        # The password, itself masked with the creation date as HACKING says.
        word = bytearray(self.password.ljust(20, b"\x00")[:20].decode("latin-1").encode("utf-16-le"))
        for i in range(0, 40, 4):
            for k in range(4):
                word[i + k] ^= created[k]
        plain[0x42 - 0x18:0x42 - 0x18 + 40] = word if self.password else bytes(40)
        page[0x18:0x18 + 128] = rc4(HEADER_KEY, bytes(plain))

    def write(self, path):
        catalog = Table("MSysObjects", [Column("Id", LONG), Column("ParentId", LONG),
                                        Column("Name", TEXT, 128), Column("Type", INT),
                                        Column("Flags", LONG), Column("LvProp", OLE)], [], system=True)
        catalog.tdef = 2
        for table in self.tables:
            table.tdef = self.alloc()
            self.fill(table)
        for table in self.tables:
            catalog.rows.append([table.tdef, 0, table.name, 1, 0x80000002 - 2**32 if table.system else 0, None])
        self.fill(catalog)
        maps = self.pages[1]
        self.new_data_page(maps, 0)
        for table in [catalog] + self.tables:
            table.map_ptr = 1 << 8 | self.add_row(maps, self.usage_map(table.data_pages))
            table.free_ptr = 1 << 8 | self.add_row(maps, self.usage_map([]))
        for table in [catalog] + self.tables:
            self.tdef(table)
        self.header()
        with open(path, "wb") as f:
            for n, page in enumerate(self.pages):
                if n and self.db_key:
                    page = rc4(struct.pack("<I", self.db_key ^ n), bytes(page))
                f.write(page)


# The shapes of the tests.
def ledger_tables(rows, library="مكتبة الأسرة"):
    book = Table("TableBook", [Column("ID", LONG, auto=True), Column("NameBook", TEXT),
                               Column("NameWriter", TEXT), Column("NameBorrower", TEXT),
                               Column("DateLoan", TEXT, 50), Column("DateReturn", TEXT, 50),
                               Column("TimeLoan", TEXT)],
                 [[n + 1] + list(r) for n, r in enumerate(rows)])
    setting = Table("TableSetting", [Column("NameLibrary", TEXT)], [[library]])
    return [book, setting]


LEDGER_ROWS = [
    # Plain UCS-2: Arabic alone is not shorter compressed.
    ("الأيام", "طه حسين", "أحمد", "2024/01/15", "لم يرد بعد", "منذ 3 أشهر"),
    # Compressed: Latin letters and digits take one byte each around the Arabic.
    ("Kitab al-Aghani الأغاني vol. 1", "Abu al-Faraj", "سارة", "2023/11/02", "2023/12/01", "شهر"),
    # NULL author and return date; an empty borrower.
    ("البخلاء", None, "", "2024/02/29", None, None),
    # Beyond the BMP: a musical G clef in the title.
    ("ديوان \U0001D11E المتنبي", "المتنبي", "علي", "2022/05/20", "2022/06/01", ""),
]


def other_tables():
    long_note = "ملاحظة طويلة " * 2000  # 26,000 characters: a chain of LVAL pages
    rows = [
        [1, "المقدمة", "ابن خلدون", "ليلى", datetime.date(2024, 3, 7), None, "قصيرة"],
        [2, "Old Atlas أطلس", "Mercator", "Huda", datetime.date(1890, 5, 1),
         datetime.datetime(1899, 12, 29, 6, 0), "x" * 300],
        [3, "الأغاني", None, "هدى", datetime.datetime(2024, 2, 12, 18, 30), datetime.date(2024, 2, 19),
         long_note],
        [4, "كليلة ودمنة", "ابن المقفع", "سعاد", None, None, None],
    ]
    loans = Table("إعارات الكتب", [Column("Num", LONG), Column("عنوان الكتاب", TEXT, 120),
                                   Column("Writer", TEXT, 80), Column("Reader", TEXT, 80, compressed=False),
                                   Column("OutDate", DATETIME), Column("BackDate", DATETIME),
                                   Column("Notes", MEMO)], rows)
    shelves = Table("Shelves", [Column("Shelf", INT), Column("Room", TEXT, 20)], [[1, "A"], [2, "ب"]])
    return [shelves, loans]


def fixtures(folder):
    os.makedirs(folder, exist_ok=True)

    def out(name):
        return os.path.join(folder, name)

    Writer(ledger_tables(LEDGER_ROWS)).write(out("ledger.mdb"))
    Writer(other_tables()).write(out("other.mdb"))
    # The same ledger with every page encoded with RC4 and a database password.
    Writer(ledger_tables(LEDGER_ROWS), db_key=0x5A17C3E9, password=b"secret").write(out("encoded.mdb"))
    Writer(ledger_tables(LEDGER_ROWS[:1]), ace=True).write(out("ledger.accdb"))

    good = open(out("ledger.mdb"), "rb").read()
    with open(out("truncated.mdb"), "wb") as f:
        f.write(good[:PAGE * 3 + 1000])
    zeroed = bytearray(good)
    zeroed[2 * PAGE:3 * PAGE] = bytes(PAGE)
    with open(out("zeroed-catalog.mdb"), "wb") as f:
        f.write(zeroed)
    rng = random.Random(21)
    with open(out("random.mdb"), "wb") as f:
        f.write(bytes(rng.getrandbits(8) for _ in range(PAGE * 8)))
    # TableBook's definition (the first page after the catalog's) points its usage map far
    # beyond the file's end.
    far = bytearray(good)
    struct.pack_into("<I", far, 3 * PAGE + 8 + 47, 0x7FFFFF << 8)
    with open(out("map-out-of-range.mdb"), "wb") as f:
        f.write(far)
    # The version byte of Access 97 (Jet 3), whose texts are in a code page of their own.
    old = bytearray(good)
    old[0x14] = 0
    with open(out("jet3.mdb"), "wb") as f:
        f.write(old)
    # TableBook's usage map (row 2 of page 1) cut to no bytes at all, or to its type byte alone.
    for name, size in (("empty-map.mdb", 0), ("short-map.mdb", 1)):
        cut = bytearray(good)
        end = struct.unpack_from("<H", cut, PAGE + 14 + 2)[0]
        struct.pack_into("<H", cut, PAGE + 14 + 4, end - size)
        with open(out(name), "wb") as f:
            f.write(cut)


def big(rows, path):
    rng = random.Random(7)
    titles = ["الأيام", "البخلاء", "كليلة ودمنة", "المقدمة", "الأغاني", "رسالة الغفران", "ألف ليلة وليلة"]
    writers = ["طه حسين", "الجاحظ", "ابن المقفع", "ابن خلدون", "الأصفهاني", "المعري"]
    names = ["أحمد", "سارة", "علي", "ليلى", "هدى", "منى", "خالد", "يوسف"]
    out = []
    for n in range(rows):
        loan = datetime.date(2015, 1, 1) + datetime.timedelta(days=rng.randrange(3000))
        back = "لم يرد بعد" if n % 3 == 0 else (loan + datetime.timedelta(days=rng.randrange(90))).strftime("%Y/%m/%d")
        out.append((f"{rng.choice(titles)} {n}", rng.choice(writers), f"{rng.choice(names)} {n % 977}",
                    loan.strftime("%Y/%m/%d"), back, ""))
    Writer(ledger_tables(out)).write(path)


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "fixtures":
        fixtures(sys.argv[2])
    elif len(sys.argv) == 4 and sys.argv[1] == "big":
        big(int(sys.argv[2]), sys.argv[3])
    else:
        sys.exit(__doc__)
