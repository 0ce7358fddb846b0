// The ledger opened and read on a worker thread from the start of the process, while the
// user-interface thread builds the window: the key is derived, every loan is read in pieces with
// its duration as of the day given, and the load sequence takes the pieces and then the handle
// (through store::HandOver, when the worker has done with it).
//
// The durations that changed are written, in one transaction, only once the load sequence has
// taken the opening: a start that ends another way (another copy runs, no Arabic font, the
// first run) leaves the file as it was.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "database.h"
#include "engine.h"

namespace pelorin::ledger {

class Opening {
public:
    static constexpr int kPieceRows = 8192;

    struct Piece {
        std::shared_ptr<const store::TextTable> rows;
        QStringList names;   // of the fields
        double progress = 0; // how far through the table this piece reaches, 0 to 1
    };
    enum class Next { Piece, Waiting, End };

    // Starts the worker and offers the store its handle. Does nothing when the engine was built
    // for one thread only.
    static void Start(const QString& path, const QString& key, const QDate& today,
                      int pieceRows = kPieceRows);
    // The opening started for this file and key, taken once, when its durations are of this day;
    // null otherwise. An opening of another day reads and writes no more, but the store still
    // takes its handle.
    static std::shared_ptr<Opening> Take(const QString& path, const QString& key, const QDate& today);
    // The start shows no ledger: the worker reads and writes no more.
    static void Abandon();

    ~Opening();
    Opening(const Opening&) = delete;
    Opening& operator=(const Opening&) = delete;

    // Milliseconds since Start.
    double MsSinceStart() const
    {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started_).count();
    }
    // The next piece, waiting at most waitMs for it; End once there are no more.
    Next Wait(Piece& piece, int waitMs);
    // After End: whether the pieces hold every loan (else the file cannot be read here as the
    // list needs it, and the load sequence reads it itself), and whether the changed durations
    // were saved (else the engine's failure).
    bool AllRead() const { return allRead_; }
    // Whether the store took the handle the rows were read with (and not another, for a file
    // put in the ledger's place since).
    bool HandleTaken() const { return handOver_->Taken(); }
    bool DurationsSaved() const { return saved_; }
    // Once a piece has come: the library name, read before the loans (null when there is none).
    const QString& LibraryName() const { return libraryName_; }
    const store::ErrorInfo& WriteError() const { return writeError_; }

private:
    Opening(QString path, QString key, const QDate& today, int pieceRows);
    void run();
    void read(sqlite3* db);
    void write(sqlite3* db);
    void push(Piece piece);
    // Stops reading and writing; the handle is still given.
    void stop();

    const QString path_, key_;
    const QDate today_;
    const int pieceRows_;
    const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::shared_ptr<store::HandOver> handOver_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Piece> pieces_;
    bool taken_ = false, stopped_ = false, ended_ = false;

    // Written by the worker before the first piece or before it ends, read after them.
    bool allRead_ = false;
    QString libraryName_;
    bool saved_ = true;
    store::ErrorInfo writeError_;
    std::vector<std::pair<qint64, QString>> stale_; // rowid and today's duration

    std::thread thread_;
};

} // namespace pelorin::ledger
