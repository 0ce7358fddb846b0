// Writes the delivered, empty DataBook.mdb: keyed with the program's password, holding the
// loan table and the settings table with its one row. An existing file is never touched:
// it is the owner's data.
#include <cstdio>
#include <cstring>
#include <string>

#include <sqlite3.h>
#include <unistd.h>

namespace {

const char* const kPassword = "vqt.lorman.kex";

const char* const kSchema = "CREATE TABLE TableBook ("
                            " ID INTEGER PRIMARY KEY AUTOINCREMENT,"
                            " NameBook TEXT COLLATE NOCASE,"
                            " NameWriter TEXT COLLATE NOCASE,"
                            " NameBorrower TEXT COLLATE NOCASE,"
                            " DateLoan TEXT COLLATE NOCASE,"
                            " DateReturn TEXT COLLATE NOCASE,"
                            " TimeLoan TEXT COLLATE NOCASE);"
                            "CREATE TABLE TableSetting (NameLibrary TEXT COLLATE NOCASE);"
                            "INSERT INTO TableSetting (NameLibrary) VALUES ('مكتبتي');";

int fail(sqlite3* db, const char* what)
{
    std::fprintf(stderr, "make_databook: %s: %s\n", what, db ? sqlite3_errmsg(db) : "");
    if (db) sqlite3_close(db);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_databook PATH [--plain]\n");
        return 2;
    }
    const std::string path = argv[1];
    const bool plain = argc > 2 && std::strcmp(argv[2], "--plain") == 0; // for tests: an unprotected copy
    if (access(path.c_str(), F_OK) == 0) return 0;

    const std::string temp = path + ".new";
    unlink(temp.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        return fail(db, "cannot create the file");
    if (!plain && sqlite3_key(db, kPassword, int(std::strlen(kPassword))) != SQLITE_OK)
        return fail(db, "cannot key the file");
    if (sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail(db, "cannot write the tables");
    if (sqlite3_close(db) != SQLITE_OK) return fail(nullptr, "cannot close the file");
    // Appear whole or not at all.
    if (rename(temp.c_str(), path.c_str()) != 0) {
        std::perror("make_databook: rename");
        return 1;
    }
    std::printf("make_databook: wrote %s\n", path.c_str());
    return 0;
}
