// Compacting the database in place: the file shrinks, keeps its key and its rows, and the
// original survives every failure byte for byte.
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "compact.h"
#include "database.h"
#include "database_test.h"
#include "mdata.h"
#include "qt_printers.h"
#include "reasons.h"
#include "test_db.h"

using namespace pelorin;
using namespace pelorin::store;

namespace {

const QString kTitle = QStringLiteral("تنبيه");
const QString kDone = QStringLiteral("تم ضغط وإصلاح قاعدة البيانات بنجاح");
const QString kFailed = QStringLiteral("كلمة المرور لقاعدة البيانات خاطئة");
const QString kNotDone = QStringLiteral("لم تتم عملية ضغط قاعدة البيانات، وبقيت كما كانت.");
const QString kNotFound = QStringLiteral("لم يتم العثور على قاعدة البيانات");
const QString kInUse =
    QStringLiteral("    لم تتم عملية ضغط قاعدة البيانات بسبب استخدام البرنامج لبعض البيانات\r\n"
                   "يرجى إغلاق البرنامج وإعادة فتحه من جديد للقيام بعملية ضغط قاعدة البيانات");
constexpr int kStop = 1572880;
constexpr int kInfo = 1572928;

// Every loan row and the settings, as one text.
const QString kDump =
    QStringLiteral("SELECT "
                   "group_concat(ID||'|'||ifnull(NameBook,'~')||'|'||ifnull(NameWriter,'~')||'|'||ifnull("
                   "NameBorrower,'~')||'|'"
                   "||ifnull(DateLoan,'~')||'|'||ifnull(DateReturn,'~')||'|'||ifnull(TimeLoan,'~'), char(10))"
                   " FROM (SELECT * FROM TableBook ORDER BY ID)");
const QString kSettings =
    QStringLiteral("SELECT group_concat(ifnull(NameLibrary,'~'), char(10)) FROM TableSetting");

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs the sqlcipher shell, a client we did not write; returns its output.
QString shell(const QString& path, const QString& script)
{
    QProcess p;
    p.start(QStringLiteral("sqlcipher"), {path, script});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
}

class CompactTest : public test::DatabaseTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(DatabaseTest::SetUp());
        temp = MData::CompactTempPath(path);
    }
    void TearDown() override
    {
        MData::SetCompactHook({});
        DatabaseTest::TearDown();
        ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    }
    // A ledger of `rows` loans with most of them deleted again, so there is much to reclaim.
    void makeHollowLedger(int rows = 3000)
    {
        ASSERT_TRUE(
            test::CreateDatabase(path, test::kTestPassword,
                                 {{QStringLiteral("كتاب"), QString(), QStringLiteral("زيد"),
                                   QStringLiteral("2024/01/01"), QStringLiteral("لم يرد بعد"), QString()}}));
        ASSERT_TRUE(test::FillBooks(path, rows));
        test::Query(path,
                    QStringLiteral("DELETE FROM TableBook WHERE ID % 10 <> 1; PRAGMA user_version = 3"));
    }
    void expectOnlyMessage(const QString& text, int style)
    {
        ASSERT_EQ(fake.messages.size(), 1);
        EXPECT_EQ(fake.messages[0].text, text);
        EXPECT_EQ(fake.messages[0].style, style);
        EXPECT_EQ(fake.messages[0].title, kTitle);
    }
    // A failed run shows one box: the wrong-password text, or the not-done text where the disk or
    // the folder is at fault, with the reason under it; and leaves the file byte for byte.
    void expectFailedKeeping(const QByteArray& original, const QString& headline = kFailed,
                             Cause cause = Cause::None)
    {
        EXPECT_EQ(MData::CompactDB(path), MData::CompactOutcome::Failed);
        ASSERT_EQ(fake.messages.size(), 1);
        const QStringList parts = fake.messages[0].text.split(QStringLiteral("\n\n"));
        EXPECT_EQ(parts.value(0), headline);
        EXPECT_FALSE(parts.value(1).trimmed().isEmpty()) << fake.messages[0].text.toStdString();
        if (cause != Cause::None) {
            EXPECT_TRUE(parts.value(1).startsWith(CauseSentence(cause) + QStringLiteral(" (")))
                << fake.messages[0].text.toStdString();
        }
        EXPECT_EQ(fake.messages[0].style, kStop);
        EXPECT_EQ(fake.messages[0].title, kTitle);
        EXPECT_EQ(bytesOf(path), original);
    }

    QString temp;
};

TEST_F(CompactTest, ShrinksTheFileAndKeepsItsKeyRowsAndCounters)
{
    makeHollowLedger();
    const qint64 before = QFileInfo(path).size();
    const QString rows = test::Query(path, kDump).value(0);
    const QString settings = test::Query(path, kSettings).value(0);
    const QString lastId = test::Query(path, QStringLiteral("SELECT seq FROM sqlite_sequence")).value(0);
    ASSERT_FALSE(rows.isEmpty());

    EXPECT_EQ(MData::CompactDB(path), MData::CompactOutcome::Compacted);
    expectOnlyMessage(kDone, kInfo);

    EXPECT_LT(QFileInfo(path).size(), before / 3);
    EXPECT_EQ(test::Query(path, kDump).value(0), rows);
    EXPECT_EQ(test::Query(path, kSettings).value(0), settings);
    EXPECT_EQ(test::Query(path, QStringLiteral("PRAGMA user_version")).value(0), QStringLiteral("3"));
    // Deleted keys are never handed out again.
    EXPECT_EQ(
        test::Query(path, QStringLiteral(
                              "INSERT INTO TableBook (NameBook) VALUES ('x'); SELECT max(ID) FROM TableBook"))
            .value(0)
            .toLongLong(),
        lastId.toLongLong() + 1);
    EXPECT_FALSE(QFile::exists(temp));
    EXPECT_FALSE(QFile::exists(temp + QStringLiteral("-journal")));

    if (QProcess::execute(QStringLiteral("sh"),
                          {QStringLiteral("-c"), QStringLiteral("command -v sqlcipher >/dev/null")}) != 0)
        GTEST_SKIP() << "no sqlcipher shell";
    EXPECT_EQ(shell(path, QStringLiteral("PRAGMA key='vqt.lorman.kex'; SELECT count(*) FROM TableSetting;"))
                  .right(1),
              QStringLiteral("1"));
    EXPECT_TRUE(shell(path, QStringLiteral("SELECT count(*) FROM TableSetting;"))
                    .contains(QStringLiteral("not a database")));
}

TEST_F(CompactTest, KeepsTheFilePermissions)
{
    makeHollowLedger(100);
    ::chmod(QFile::encodeName(path).constData(), 0640);
    ASSERT_EQ(MData::CompactDB(path), MData::CompactOutcome::Compacted);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// The owner's file may be a link to where the data really lives, and may belong to another user
// than the one compacting it (the elevated copy runs as root): both stay as they were.
TEST_F(CompactTest, KeepsALinkedFileLinkedAndItsOwner)
{
    const QString real = dir.filePath(QStringLiteral("store/DataBook.mdb"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("store")));
    const QString link = path;
    path = real;
    makeHollowLedger(100);
    path = link;
    ASSERT_TRUE(QFile::link(real, path));
    const QString rows = test::Query(real, kDump).value(0);
    const qint64 before = QFileInfo(real).size();
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(real).constData(), 65534, 65534), 0);
    }

    ASSERT_EQ(MData::CompactDB(path), MData::CompactOutcome::Compacted);
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(QFileInfo(path).symLinkTarget(), real);
    EXPECT_LT(QFileInfo(real).size(), before);
    EXPECT_EQ(test::Query(path, kDump).value(0), rows);
    EXPECT_FALSE(QFile::exists(MData::CompactTempPath(real)));
    EXPECT_FALSE(QFile::exists(temp));
    if (root) {
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }
}

TEST_F(CompactTest, AMissingFileIsReportedWithThePlainBox)
{
    EXPECT_EQ(MData::CompactDB(path), MData::CompactOutcome::NotFound);
    expectOnlyMessage(kNotFound, 16);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(temp));
}

TEST_F(CompactTest, AWrongPasswordChangesNothing)
{
    makeHollowLedger(100);
    const QByteArray original = bytesOf(path);
    MData::DbPassword = QStringLiteral("not.the.key");
    expectFailedKeeping(original, kFailed, Cause::NotLedger);
    EXPECT_FALSE(QFile::exists(temp));
}

// Faults injected once the copy is on disk: each must leave the original as it was.
struct Fault {
    const char* name;
    MData::CompactStage stage;
    std::function<void(const QString& temp)> inject;
};

class CompactFaultTest : public CompactTest, public ::testing::WithParamInterface<Fault> {};

TEST_P(CompactFaultTest, LeavesTheOriginalByteForByte)
{
    makeHollowLedger(500);
    const QByteArray original = bytesOf(path);
    const Fault fault = GetParam();
    MData::SetCompactHook([&](MData::CompactStage stage, const QString& t) {
        if (stage == fault.stage) fault.inject(t);
    });

    expectFailedKeeping(original);
    EXPECT_FALSE(QFile::exists(temp));
    EXPECT_FALSE(QFile::exists(temp + QStringLiteral("-journal")));
}

INSTANTIATE_TEST_SUITE_P(Compact, CompactFaultTest,
                         ::testing::Values(Fault{"garbledCopy", MData::CompactStage::Written,
                                                 [](const QString& t) {
                                                     QFile f(t);
                                                     f.open(QIODevice::ReadWrite);
                                                     f.seek(f.size() / 2);
                                                     f.write(QByteArray(8192, '\x5a'));
                                                 }},
                                           Fault{"truncatedCopy", MData::CompactStage::Written,
                                                 [](const QString& t) { QFile::resize(t, 4096); }},
                                           Fault{"rowLostInCopy", MData::CompactStage::Written,
                                                 [](const QString& t) {
                                                     test::Query(t,
                                                                 QStringLiteral(
                                                                     "DELETE FROM TableBook WHERE ID = 1"));
                                                 }},
                                           Fault{"copyWithoutKey", MData::CompactStage::Written,
                                                 [](const QString& t) {
                                                     QFile::remove(t);
                                                     test::CreateDatabase(t, QString());
                                                 }},
                                           Fault{"copyGoneBeforeRename", MData::CompactStage::Verified,
                                                 [](const QString& t) { QFile::remove(t); }}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CompactTest, AReadOnlyFolderLeavesTheOriginalAndTheNextRunSucceeds)
{
    if (::geteuid() == 0) GTEST_SKIP() << "a read-only folder does not stop root";
    makeHollowLedger(500);
    const QByteArray original = bytesOf(path);
    const QByteArray folder = QFile::encodeName(dir.path());
    MData::SetCompactHook([&](MData::CompactStage stage, const QString&) {
        if (stage == MData::CompactStage::Verified) ::chmod(folder.constData(), 0500);
    });
    expectFailedKeeping(original, kNotDone, Cause::Denied);

    ::chmod(folder.constData(), 0700);
    MData::SetCompactHook({});
    fake.messages.clear();
    EXPECT_EQ(MData::CompactDB(path), MData::CompactOutcome::Compacted);
    EXPECT_FALSE(QFile::exists(temp));
}

// A run killed just before the copy replaces the original leaves the original whole and a
// stale copy behind, which the next run clears away.
TEST_F(CompactTest, AKilledRunLeavesTheOriginalAndDoesNotBlockTheNext)
{
    makeHollowLedger(500);
    const QByteArray original = bytesOf(path);
    const QString rows = test::Query(path, kDump).value(0);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        MData::SetCompactHook([](MData::CompactStage stage, const QString&) {
            if (stage == MData::CompactStage::Verified) ::raise(SIGKILL);
        });
        MData::CompactDB(path);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_EQ(bytesOf(path), original);
    ASSERT_TRUE(QFile::exists(temp)) << "the killed run should have left its copy";

    EXPECT_EQ(MData::CompactDB(path), MData::CompactOutcome::Compacted);
    expectOnlyMessage(kDone, kInfo);
    EXPECT_EQ(test::Query(path, kDump).value(0), rows);
    EXPECT_FALSE(QFile::exists(temp));
}

TEST_F(CompactTest, AStaleCopyAndJournalAreReplaced)
{
    makeHollowLedger(200);
    const QString rows = test::Query(path, kDump).value(0);
    for (const QString& junk : {temp, temp + QStringLiteral("-journal")}) {
        QFile f(junk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, '\x13'));
    }
    EXPECT_EQ(MData::CompactDB(path), MData::CompactOutcome::Compacted);
    EXPECT_EQ(test::Query(path, kDump).value(0), rows);
    EXPECT_FALSE(QFile::exists(temp));
    EXPECT_FALSE(QFile::exists(temp + QStringLiteral("-journal")));
}

// Another connection in the middle of a transaction holds the file's lock.
TEST_F(CompactTest, AnOpenTransactionElsewhereGivesTheInUseMessage)
{
    makeHollowLedger(200);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &other, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    const QByteArray key = test::kTestPassword.toUtf8();
    sqlite3_key(other, key.constData(), int(key.size()));
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO TableBook (NameBook) VALUES ('w')", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    const QByteArray original = bytesOf(path);

    EXPECT_EQ(MData::CompactDB(path), MData::CompactOutcome::InUse);
    expectOnlyMessage(kInUse, kStop);
    EXPECT_EQ(bytesOf(path), original);
    EXPECT_FALSE(QFile::exists(temp));

    // The other writer's work is not disturbed.
    EXPECT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    EXPECT_EQ(
        test::Query(path, QStringLiteral("SELECT count(*) FROM TableBook WHERE NameBook = 'w'")).value(0),
        QStringLiteral("1"));
}

// Another program with the file open, even idle, would keep writing to the replaced file.
TEST_F(CompactTest, AnotherProcessWithTheFileOpenGivesTheInUseMessage)
{
    makeHollowLedger(200);
    const QByteArray original = bytesOf(path);
    QProcess holder;
    holder.start(QStringLiteral("sh"),
                 {QStringLiteral("-c"), QStringLiteral("exec 3<\"$0\"; exec sleep 30"), path});
    ASSERT_TRUE(holder.waitForStarted());
    fake.useRealOpenFiles = true;
    for (int i = 0; i < 200 && !platform().fileOpenElsewhere(path); ++i)
        QThread::msleep(10);
    ASSERT_TRUE(platform().fileOpenElsewhere(path));

    EXPECT_EQ(MData::CompactDB(path), MData::CompactOutcome::InUse);
    expectOnlyMessage(kInUse, kStop);
    EXPECT_EQ(bytesOf(path), original);
    holder.kill();
    holder.waitForFinished();

    fake.messages.clear();
    EXPECT_EQ(MData::CompactDB(path), MData::CompactOutcome::Compacted);
}

// The check goes through the platform; its answer alone decides.
TEST_F(CompactTest, AFileThePlatformFindsOpenElsewhereIsLeftAlone)
{
    makeHollowLedger(50);
    const QByteArray original = bytesOf(path);
    fake.filesOpenElsewhere << path;
    EXPECT_EQ(MData::CompactDB(path), MData::CompactOutcome::InUse);
    expectOnlyMessage(kInUse, kStop);
    EXPECT_EQ(bytesOf(path), original);
}

// The button's sequence: the shared connection is closed, the file compacted, and the same
// connection object reopened; reads and writes then reach the new file.
TEST_F(CompactTest, TheReopenedConnectionWorksOnTheCompactedFile)
{
    makeHollowLedger(300);
    const int count = test::Query(path, QStringLiteral("SELECT count(*) FROM TableBook")).value(0).toInt();
    MData::OpenDatabase();
    ASSERT_TRUE(MData::NewRs().Open(sql::kListDefault, MData::Conn));
    const std::shared_ptr<Connection> conn = MData::Conn;
    const qint64 before = QFileInfo(path).size();

    EXPECT_EQ(MData::CompactOpenDatabase(), MData::CompactOutcome::Compacted);
    expectOnlyMessage(kDone, kInfo);
    EXPECT_LT(QFileInfo(path).size(), before);
    EXPECT_EQ(MData::Conn, conn);
    ASSERT_TRUE(MData::Conn->IsOpen());
    EXPECT_EQ(MData::Conn->ConnectionText(), MData::FullConnectionText());

    Recordset& rs = MData::NewRs();
    ASSERT_TRUE(rs.Open(sql::kListDefault, MData::Conn));
    EXPECT_EQ(rs.RecordCount(), count);
    rs.AddNew();
    rs.SetField(QStringLiteral("NameBook"), QStringLiteral("بعد الضغط"));
    ASSERT_TRUE(rs.Update());
    EXPECT_EQ(test::Query(path, QStringLiteral("SELECT count(*) FROM TableBook")).value(0).toInt(),
              count + 1);
}

TEST_F(CompactTest, AFileGoneBeforeTheButtonEndsTheProgramAtTheReopen)
{
    makeHollowLedger(10);
    MData::OpenDatabase();
    QFile::remove(path);
    EXPECT_THROW(MData::CompactOpenDatabase(), test::ProgramEnded);
    ASSERT_EQ(fake.messages.size(), 2);
    EXPECT_EQ(fake.messages[0].text, kNotFound);
    EXPECT_EQ(fake.messages[1].title, QStringLiteral("خطأ"));
}

// ---------------------------------------------------------------- a real disk that fails

constexpr int kCannotMount = 77;

bool writeText(const char* file, const char* text)
{
    const int fd = ::open(file, O_WRONLY | O_CLOEXEC);
    const bool ok = fd >= 0 && ::write(fd, text, std::strlen(text)) == ssize_t(std::strlen(text));
    if (fd >= 0) ::close(fd);
    return ok;
}

// Takes this (single-threaded, forked) process into a mount namespace of its own, as root or
// through a user namespace, so that its mounts are seen by nobody else.
bool privateMounts()
{
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWNS) != 0) {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
        const QByteArray users = "0 " + QByteArray::number(uid) + " 1";
        const QByteArray groups = "0 " + QByteArray::number(gid) + " 1";
        if (!writeText("/proc/self/setgroups", "deny") ||
            !writeText("/proc/self/uid_map", users.constData()) ||
            !writeText("/proc/self/gid_map", groups.constData()))
            return false;
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

class SmallDiskTest : public CompactTest {
protected:
    // Compacts a ledger kept on a tmpfs of `room` bytes beyond the ledger's own size (made
    // read-only when asked) in a child process; what it showed comes back through a pipe.
    // False when mounting is not permitted here.
    bool compactOnSmallDisk(qint64 room, bool readOnly)
    {
        const QByteArray ledger = bytesOf(path);
        const QString disk = dir.filePath(QStringLiteral("disk"));
        QDir().mkpath(disk);
        int fds[2];
        if (::pipe(fds) != 0) return false;
        const pid_t child = ::fork();
        if (child < 0) return false;
        if (child == 0) {
            ::close(fds[0]);
            const QByteArray size = "size=" + QByteArray::number((ledger.size() + room) / 1024) + "k";
            if (!privateMounts() ||
                ::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, size.constData()) != 0)
                ::_exit(kCannotMount);
            const QString onDisk = disk + QStringLiteral("/DataBook.mdb");
            QFile f(onDisk);
            if (!f.open(QIODevice::WriteOnly) || f.write(ledger) != ledger.size() || !f.flush()) ::_exit(1);
            f.close();
            if (readOnly && ::mount(nullptr, QFile::encodeName(disk).constData(), nullptr,
                                    MS_REMOUNT | MS_RDONLY, nullptr) != 0)
                ::_exit(kCannotMount);
            fake.messages.clear();
            const int outcome = int(MData::CompactDB(onDisk));
            QByteArray report;
            QDataStream out(&report, QIODevice::WriteOnly);
            out << outcome << (bytesOf(onDisk) == ledger) << QFile::exists(MData::CompactTempPath(onDisk))
                << qint32(fake.messages.size());
            for (const auto& m : fake.messages)
                out << m.text << m.style << m.title;
            const bool sent = ::write(fds[1], report.constData(), size_t(report.size())) == report.size();
            ::_exit(sent ? 0 : 1);
        }
        ::close(fds[1]);
        QByteArray report;
        char buffer[4096];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
            report.append(buffer, int(n));
        ::close(fds[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotMount) return false;
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QDataStream in(report);
        qint32 shown = 0;
        in >> outcome >> unchanged >> copyLeft >> shown;
        for (qint32 i = 0; i < shown; ++i) {
            test::ShownMessage m;
            in >> m.text >> m.style >> m.title;
            messages << m;
        }
        return true;
    }

    // One stop box: the not-done text and the cause's own sentence with the engine's or the
    // system's words; the ledger as it was and no copy left.
    void expectRefusedFor(Cause cause)
    {
        EXPECT_EQ(outcome, int(MData::CompactOutcome::Failed));
        ASSERT_EQ(messages.size(), 1);
        const QStringList parts = messages[0].text.split(QStringLiteral("\n\n"));
        EXPECT_EQ(parts.value(0), kNotDone);
        EXPECT_TRUE(parts.value(1).startsWith(CauseSentence(cause) + QStringLiteral(" (")))
            << messages[0].text.toStdString();
        EXPECT_FALSE(messages[0].text.contains(kFailed));
        EXPECT_EQ(messages[0].style, kStop);
        EXPECT_EQ(messages[0].title, kTitle);
        EXPECT_TRUE(unchanged);
        EXPECT_FALSE(copyLeft);
    }

    int outcome = -1;
    bool unchanged = false;
    bool copyLeft = true;
    QVector<test::ShownMessage> messages;
};

TEST_F(SmallDiskTest, AFullDiskSaysSoInsteadOfAWrongPassword)
{
    // Rows that stay: the copy is about as large as the ledger and cannot fit beside it.
    ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword));
    ASSERT_TRUE(test::FillBooks(path, 2000));
    if (!compactOnSmallDisk(16 * 1024, false)) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    expectRefusedFor(Cause::DiskFull);
}

TEST_F(SmallDiskTest, AReadOnlyFileSystemSaysSoInsteadOfAWrongPassword)
{
    makeHollowLedger(200);
    if (!compactOnSmallDisk(1024 * 1024, true)) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    expectRefusedFor(Cause::ReadOnly);
}

} // namespace
