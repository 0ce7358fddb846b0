// The other floor of a start: the keyed open of the ledger and one SELECT of every row, each
// value read as text. Says "rows read" on stderr once it has.
#include <sqlite3.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 3) return 2;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return 1;
    sqlite3_key(db, argv[2], int(std::strlen(argv[2])));
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT * FROM TableBook", -1, &st, nullptr) != SQLITE_OK) return 1;
    size_t bytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int c = 0, n = sqlite3_column_count(st); c < n; ++c) {
            sqlite3_column_text(st, c);
            bytes += size_t(sqlite3_column_bytes(st, c));
        }
    sqlite3_finalize(st);
    std::fputs(bytes ? "rows read\n" : "nothing read\n", stderr);
    std::fflush(stderr);
    sqlite3_close(db);
    return 0;
}
