// The owner's words for why a file or the engine failed: one Arabic sentence per common cause,
// then the engine's or the system's own words in parentheses for whoever helps the owner.
#pragma once

#include <QString>

struct sqlite3;

namespace pelorin::store {

enum class Cause {
    None,      // our own Arabic words say it already
    DiskFull,  // no room on the disk, or the quota is used up
    ReadOnly,  // a read-only file, folder or file system
    Denied,    // no permission
    InUse,     // another program holds the file
    Damaged,   // the file is damaged
    NotLedger, // not a ledger, or keyed with another password
    NotFound,  // the file or the folder is gone
    DiskError, // the disk could not be read or written
    Unknown,
};

// sqlite's primary result codes (extended codes are off); the system's error number, where the
// engine gives one, tells an open or a read/write failure apart.
Cause EngineCause(int code, int systemError = 0);
// errno values.
Cause SystemCause(int systemError);
// A Qt file failure: the errno of the failed step when known, else Qt's kind of failure
// (QFileDevice::FileError).
Cause FileCause(int fileError, int systemError);

QString CauseSentence(Cause cause);

// The cause's sentence, then the original words in parentheses; the original alone when the
// cause is None, the sentence alone when there are no original words.
QString Explained(Cause cause, const QString& original);

// A failure carried from where it happened to where the owner is told of it.
struct Reason {
    Cause cause = Cause::None;
    QString original;

    bool IsEmpty() const { return cause == Cause::None && original.isEmpty(); }
    QString Text() const { return Explained(cause, original); }

    // Our own Arabic words.
    static Reason Said(const QString& text) { return {Cause::None, text}; }
    // The last failure on an engine handle.
    static Reason Engine(sqlite3* db);
    static Reason Engine(int code, const QString& text, int systemError = 0);
    // The system's error number, in the system's words.
    static Reason System(int systemError);
};

} // namespace pelorin::store
