// Reads an Access (Jet 4) file for the import through mdbtools' libmdb, in a process of its own:
// libmdb trusts the file's pointers, and a file that crashes it or makes it loop ends this
// process, not the program. What it writes is access_protocol.h's.
//
// Values are taken from the page as stored, not as libmdb would format them: its text skips
// characters beyond the basic plane, its dates before 1899/12/30 are wrong, and its numbers and
// dates follow the locale. Only memos come through libmdb, bound to a buffer long enough for any
// value this reader passes on.
#include <glib.h> // before mdbtools.h, which includes it inside extern "C"
#include <mdbtools.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "access_protocol.h"
#include "jet_values.h"

using namespace pelorin::access;

namespace {

// UTF-8 takes at most three bytes for a character of UTF-16's one unit, and libmdb ends the text with a NUL.
constexpr std::size_t kBindBytes = 3 * kMaxValueChars + 16;

struct Handle {
    MdbHandle* mdb = nullptr;
    ~Handle()
    {
        if (mdb) mdb_close(mdb);
    }
};

struct Table {
    MdbTableDef* def = nullptr;
    ~Table()
    {
        if (def) mdb_free_tabledef(def);
    }
};

// Records as access_protocol.h frames them; field() ends the field written into record.
class Output {
public:
    Output() { std::setvbuf(stdout, nullptr, _IOFBF, 1 << 20); }
    std::string record;
    void field() { record += kFieldEnd; }
    void field(const char* text)
    {
        AppendCleanText(record, text, std::strlen(text));
        field();
    }
    void endRecord()
    {
        record += kRecordEnd;
        if (std::fwrite(record.data(), 1, record.size(), stdout) != record.size()) failed = true;
        record.clear();
    }
    bool finish() { return std::fflush(stdout) == 0 && !failed; }

private:
    bool failed = false;
};

std::vector<MdbCatalogEntry*> userTables(MdbHandle* mdb)
{
    std::vector<MdbCatalogEntry*> tables;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (mdb_is_user_table(entry)) tables.push_back(entry);
    }
    return tables;
}

int listTables(MdbHandle* mdb)
{
    Output out;
    for (MdbCatalogEntry* entry : userTables(mdb)) {
        Table table{mdb_read_table(entry)};
        if (!table.def || !mdb_read_columns(table.def)) continue;
        out.field(entry->object_name);
        AppendNumber(out.record, std::int64_t(table.def->num_rows));
        out.field();
        for (unsigned c = 0; c < table.def->num_cols; ++c)
            out.field(static_cast<MdbColumn*>(g_ptr_array_index(table.def->columns, c))->name);
        out.endRecord();
    }
    return out.finish() ? kRead : kWriteFailed;
}

std::uint32_t memoLength(const unsigned char* header)
{
    return header[0] | header[1] << 8 | header[2] << 16;
}

int readTable(MdbHandle* mdb, const char* name)
{
    MdbCatalogEntry* found = nullptr;
    for (MdbCatalogEntry* entry : userTables(mdb))
        if (std::strcmp(entry->object_name, name) == 0) found = entry;
    if (!found) return kNoTable;
    Table table{mdb_read_table(found)};
    if (!table.def || !mdb_read_columns(table.def)) return kNotAccess;
    MdbTableDef* t = table.def;

    std::vector<MdbColumn*> columns;
    for (unsigned c = 0; c < t->num_cols; ++c)
        columns.push_back(static_cast<MdbColumn*>(g_ptr_array_index(t->columns, c)));

    // Memos alone are bound: libmdb follows them onto their own pages.
    mdb_set_bind_size(mdb, kBindBytes);
    std::vector<std::unique_ptr<char[]>> memoText(columns.size());
    std::vector<int> memoBytes(columns.size(), 0);
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (columns[c]->col_type == MDB_MEMO) {
            memoText[c] = std::make_unique<char[]>(kBindBytes);
            mdb_bind_column(t, int(c) + 1, memoText[c].get(), &memoBytes[c]);
        }

    Output out;
    for (MdbColumn* col : columns)
        out.field(col->name);
    out.endRecord();

    mdb_rewind_table(t);
    unsigned long read = 0;
    while (mdb_fetch_row(t)) {
        ++read;
        std::string& value = out.record; // each value is written into the record, then ended
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const MdbColumn* col = columns[c];
            const unsigned char* at = mdb->pg_buf + col->cur_value_start;
            const int size = col->cur_value_len;
            // A NULL has no bytes; libmdb gives no place for it.
            const bool present =
                size > 0 && col->cur_value_start > 0 && col->cur_value_start + size <= MDB_PGSIZE;
            if (present) switch (col->col_type) {
                case MDB_TEXT:
                    AppendJetText(value, at, std::size_t(size));
                    break;
                case MDB_MEMO:
                    if (size < 4 || memoLength(at) > 2 * kMaxValueChars) return kTooLong;
                    if (std::size_t(memoBytes[c]) + 1 >= kBindBytes) return kTooLong;
                    AppendCleanText(value, memoText[c].get(), std::size_t(memoBytes[c]));
                    break;
                case MDB_DATETIME:
                    if (size == 8 && !AppendJetDate(value, mdb_get_double(mdb->pg_buf, col->cur_value_start)))
                        AppendNumber(value, mdb_get_double(mdb->pg_buf, col->cur_value_start));
                    break;
                case MDB_BYTE:
                    AppendNumber(value, std::int64_t(at[0]));
                    break;
                case MDB_INT:
                    if (size == 2) AppendNumber(value, std::int64_t(std::int16_t(at[0] | at[1] << 8)));
                    break;
                case MDB_LONGINT:
                    if (size == 4)
                        AppendNumber(value, std::int64_t(std::int32_t(
                                                mdb_get_int32(mdb->pg_buf, col->cur_value_start))));
                    break;
                case MDB_FLOAT:
                    if (size == 4)
                        AppendNumber(value, double(mdb_get_single(mdb->pg_buf, col->cur_value_start)));
                    break;
                case MDB_DOUBLE:
                    if (size == 8) AppendNumber(value, mdb_get_double(mdb->pg_buf, col->cur_value_start));
                    break;
                case MDB_MONEY:
                    if (size == 8) {
                        std::int64_t v = 0;
                        std::memcpy(&v, at, 8); // little-endian, as this machine
                        AppendMoney(value, v);
                    }
                    break;
                default: // yes/no, binary, OLE, GUID, decimal: nothing a loan is written in
                    break;
                }
            out.field();
        }
        out.endRecord();
    }
    if (!out.finish()) return kWriteFailed;
    std::fprintf(stderr, "\n%s%lu %u\n", kRowsLine, read, t->num_rows);
    return kRead;
}

} // namespace

int main(int argc, char** argv)
{
    // Options a user's environment could give libmdb: debugging output, memos left out,
    // another encoding for the texts it converts.
    for (const char* option : {"MDBOPTS", "MDBICONV", "MDB_JET3_CHARSET"})
        unsetenv(option);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s FILE [TABLE]\n", argv[0]);
        return kUsage;
    }
    Handle h{mdb_open(argv[1], MDB_NOFLAGS)};
    if (!h.mdb) return kNotAccess;
    if (h.mdb->f->jet_version == MDB_VER_JET3) return kOldVersion;
    if (!mdb_read_catalog(h.mdb, MDB_TABLE)) return kNotAccess;
    return argc == 2 ? listTables(h.mdb) : readTable(h.mdb, argv[2]);
}
