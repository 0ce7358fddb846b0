// Tells a sound backup from a damaged or foreign one: it opens with the password, the engine's
// integrity check finds nothing wrong, and both tables of the ledger are there.
#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>

namespace pelorin::store {
class EngineHandle;
}

namespace pelorin::backup {

struct FileCheck {
    bool sound = false;
    qint64 loans = -1;       // rows of TableBook
    qint64 settingRows = -1; // rows of TableSetting
    QString libraryName;     // of the first settings row
    QString reason;          // why it is not sound, in the owner's words
};

// A page cache (in the engine's negative, KiB form) that holds the whole file, so that a file
// read twice in a row is read from the disk and decrypted once.
int CacheFor(const QString& path);

// The first 16 bytes of a keyed file: the salt its key is derived with.
QByteArray FileSalt(const QString& path);

// Deriving a key from the password takes a good part of a second, and every backup of one
// ledger shares that ledger's salt: files are checked on a handle already keyed for their salt,
// so the derivation runs once per salt rather than once per file.
class Checker {
public:
    explicit Checker(const QString& password);
    ~Checker();
    Checker(const Checker&) = delete;
    Checker& operator=(const Checker&) = delete;

    // Lets files with this salt be checked on an open, keyed handle (the ledger's).
    void adopt(const QByteArray& salt, std::shared_ptr<store::EngineHandle> handle);
    // Adopts the ledger's own handle when the ledger opens with the password.
    void adoptLedger();
    FileCheck check(const QString& path);

private:
    QString password_;
    std::map<QByteArray, std::shared_ptr<store::EngineHandle>> keyed_;
};

} // namespace pelorin::backup
