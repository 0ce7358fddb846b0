#include "opening.h"

#include <QFile>

#include <sqlite3.h>
#include <sys/stat.h>

#include "collation.h"
#include "engine.h"
#include "loan_duration.h"
#include "start_trace.h"
#include "statements.h"

namespace pelorin::ledger {

namespace {

std::shared_ptr<Opening>& started()
{
    static std::shared_ptr<Opening> s;
    return s;
}

// Openings nobody takes, kept until the program ends (which waits for their workers): a window
// other than the ledger does not wait for a key it does not need.
std::vector<std::shared_ptr<Opening>>& abandoned()
{
    static std::vector<std::shared_ptr<Opening>> a;
    return a;
}

} // namespace

Opening::Opening(QString path, QString key, const QDate& today, int pieceRows)
    : path_(std::move(path)), key_(std::move(key)), today_(today), pieceRows_(std::max(1, pieceRows))
{
}

Opening::~Opening()
{
    stop();
    if (thread_.joinable()) thread_.join();
}

void Opening::Start(const QString& path, const QString& key, const QDate& today, int pieceRows)
{
    // A handle goes from one thread to another only where the engine has its mutexes.
    if (sqlite3_threadsafe() == 0) return;
    Abandon();
    std::shared_ptr<Opening> opening(new Opening(path, key, today, pieceRows));
    // The handle wanted before the load has taken the rows (by anyone but the load sequence):
    // no more reading or writing, the handle at once.
    opening->handOver_ =
        std::make_shared<store::HandOver>(path, key, [weak = std::weak_ptr<Opening>(opening)] {
            if (const std::shared_ptr<Opening> o = weak.lock()) o->stop();
        });
    store::OfferHandOver(opening->handOver_);
    opening->thread_ = std::thread([o = opening.get()] { o->run(); });
    started() = std::move(opening);
}

std::shared_ptr<Opening> Opening::Take(const QString& path, const QString& key, const QDate& today)
{
    std::shared_ptr<Opening> opening = std::exchange(started(), nullptr);
    if (!opening) return nullptr;
    if (opening->path_ != path || opening->key_ != key) {
        store::OfferHandOver(nullptr);
        return nullptr;
    }
    if (opening->today_ != today) {
        // Its durations are of another day: the load sequence works them out afresh.
        opening->stop();
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(opening->mutex_);
    opening->taken_ = true;
    opening->changed_.notify_all();
    return opening;
}

void Opening::Abandon()
{
    if (!started()) return;
    started()->stop();
    store::OfferHandOver(nullptr);
    abandoned().push_back(std::exchange(started(), nullptr));
}

void Opening::stop()
{
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
}

Opening::Next Opening::Wait(Piece& piece, int waitMs)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return !pieces_.empty() || ended_; });
    if (!pieces_.empty()) {
        piece = std::move(pieces_.front());
        pieces_.pop_front();
        return Next::Piece;
    }
    return ended_ ? Next::End : Next::Waiting;
}

void Opening::push(Piece piece)
{
    std::lock_guard<std::mutex> lock(mutex_);
    pieces_.push_back(std::move(piece));
    changed_.notify_all();
}

void Opening::run()
{
    struct stat st {};
    const bool exists = ::stat(QFile::encodeName(path_).constData(), &st) == 0;
    store::OpenOptions options;
    options.singleThread = true; // one thread at a time: this one, then the taker
    store::OpenResult opened = store::OpenKeyedFile(path_, key_, options);
    if (opened.handle) {
        sqlite3* db = opened.handle->db();
        read(db);
        // The writes wait until the load sequence is known to run in this copy.
        bool writing = false;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return taken_ || stopped_; });
            // Stopped, the rows are not those of a load: it reads and writes for itself.
            if (stopped_) allRead_ = false;
            writing = allRead_ && !stale_.empty();
        }
        if (writing) write(db);
        start_trace::Step("durations");
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
        changed_.notify_all();
    }
    // The last use of the handle on this thread.
    handOver_->Give(std::move(opened), exists ? st.st_dev : 0, exists ? st.st_ino : 0);
}

void Opening::read(sqlite3* db)
{
    // A file made otherwise is read by the load sequence itself, in the engine's order.
    if (!store::SortsLikeTheEngine(db)) return;
    // For a window shown before the loans are all read.
    QStringList name;
    if (store::ColumnValues(db, "SELECT NameLibrary FROM TableSetting LIMIT 1", &name) == SQLITE_OK &&
        !name.isEmpty())
        libraryName_ = name.first();
    QStringList last;
    store::ColumnValues(db, "SELECT max(_rowid_) FROM TableBook", &last);
    const double lastRowId = last.isEmpty() ? 0 : last.first().toDouble();

    store::RowReader reader(db, store::sql::kAllBooks);
    const QStringList names = reader.Names();
    const int loan = store::FieldIndexIn(names, duration::kDateLoanField),
              back = store::FieldIndexIn(names, duration::kDateReturnField),
              time = store::FieldIndexIn(names, duration::kTimeLoanField);
    if (reader.Code() != SQLITE_OK || loan < 0 || back < 0 || time < 0) return;

    duration::TimeLoanText text;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopped_) return;
        }
        std::shared_ptr<store::TextTable> rows = reader.Next(pieceRows_);
        const int n = rows->RowCount();
        if (n == 0) break;
        // Today's durations, as the load's duration pass would make them.
        for (int r = 0; r < n; ++r) {
            duration::TimeLoanInto(text, rows->View(r, loan), rows->View(r, back), today_);
            const QStringView stored = rows->View(r, time);
            if (stored.isNull() || stored != text.View()) {
                stale_.emplace_back(rows->RowId(r), text.ToString());
                rows->Set(r, time, text.View());
            }
        }
        const double progress = lastRowId > 0 ? std::min(1.0, double(rows->RowId(n - 1)) / lastRowId) : 1.0;
        push({std::move(rows), names, progress});
    }
    if (reader.Code() != SQLITE_DONE) return;
    start_trace::Step("rows read");
    allRead_ = true;
}

void Opening::write(sqlite3* db)
{
    // As the duration pass writes: only the rows that changed, in one transaction, and nothing
    // at all when one of them fails.
    sqlite3_stmt* st = nullptr;
    bool ok = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK &&
              sqlite3_prepare_v2(db, "UPDATE \"TableBook\" SET \"TimeLoan\"=? WHERE _rowid_ = ?", -1, &st,
                                 nullptr) == SQLITE_OK;
    if (!ok) writeError_ = store::EngineErrorOf(db);
    for (size_t i = 0; ok && i < stale_.size(); ++i) {
        const QString& t = stale_[i].second;
        sqlite3_bind_text16(st, 1, t.utf16(), int(t.size() * 2), SQLITE_STATIC);
        sqlite3_bind_int64(st, 2, stale_[i].first);
        if (sqlite3_step(st) != SQLITE_DONE) {
            writeError_ = store::EngineErrorOf(db);
            ok = false;
        } else if (sqlite3_changes(db) == 0) {
            writeError_ = store::RowGoneError();
            ok = false;
        }
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    if (ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        writeError_ = store::EngineErrorOf(db);
        ok = false;
    }
    if (!ok && !sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    saved_ = ok;
    stale_.clear();
}

} // namespace pelorin::ledger
