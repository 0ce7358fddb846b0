// Opening the database file: the right file, a wrong one, and files that cannot be opened.
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <unistd.h>

#include "database.h"
#include "database_test.h"
#include "reasons.h"
#include "test_db.h"

using namespace pelorin;
using namespace pelorin::store;

namespace {

const QString kWrongFile =
    QStringLiteral("هنالك خطأ في ملف قاعدة البيانات .. من فضلك ضع قاعدة البيانات الصحيحة !!");
constexpr int kStopStyle = 1572880;

class OpenDatabaseTest : public test::DatabaseTest {
protected:
    // Runs OpenDatabase and tells whether the program ended.
    bool openEnds()
    {
        try {
            MData::OpenDatabase();
            return false;
        } catch (const test::ProgramEnded&) {
            return true;
        }
    }
};

} // namespace

TEST_F(OpenDatabaseTest, TheRightFileOpensSilentlyWithTheFullConnectionText)
{
    ASSERT_TRUE(test::CreateDatabase(path));
    EXPECT_FALSE(openEnds());
    EXPECT_TRUE(fake.messages.isEmpty());
    ASSERT_TRUE(MData::Conn && MData::Conn->IsOpen());
    EXPECT_EQ(MData::Conn->ConnectionText(),
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + dir.path() +
                  QStringLiteral("\\DataBook.mdb;Jet OLEDB:Database Password=vqt.lorman.kex"));
}

TEST_F(OpenDatabaseTest, AProgramFolderWithASemicolonInItsName)
{
    const QString folder = dir.filePath(QStringLiteral("كتب; قديمة"));
    ASSERT_TRUE(QDir().mkpath(folder));
    fake.folder = folder;
    ASSERT_TRUE(test::CreateDatabase(folder + QStringLiteral("/DataBook.mdb")));
    EXPECT_FALSE(openEnds());
    EXPECT_TRUE(fake.messages.isEmpty());
    ASSERT_TRUE(MData::Conn && MData::Conn->IsOpen());
    EXPECT_EQ(MData::Conn->FilePath(), folder + QStringLiteral("/DataBook.mdb"));
}

TEST_F(OpenDatabaseTest, AnUnprotectedCopyIsTheWrongFile)
{
    ASSERT_TRUE(test::CreateDatabase(path, QString()));
    EXPECT_TRUE(openEnds());
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, kWrongFile);
    EXPECT_EQ(fake.messages[0].style, kStopStyle);
    EXPECT_EQ(fake.messages[0].title, QStringLiteral("خطأ"));
}

TEST_F(OpenDatabaseTest, FilesThatCannotBeOpenedEndTheProgramWithTheEngineText)
{
    struct Case {
        const char* what;
        std::function<void()> make;
        store::Cause cause; // said in Arabic before the engine's words
    };
    const QByteArray junk(4096, '\x5a');
    const std::vector<Case> cases = {
        {"missing", [] {}, store::Cause::NotFound},
        {"damaged",
         [&] {
             QFile f(path);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(junk);
         },
         store::Cause::NotLedger},
        {"other password", [&] { ASSERT_TRUE(test::CreateDatabase(path, QStringLiteral("another.key"))); },
         store::Cause::NotLedger},
        {"a folder", [&] { ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("DataBook.mdb"))); },
         store::Cause::Unknown},
    };
    for (const Case& c : cases) {
        QFile::remove(path);
        QDir(dir.path()).rmdir(QStringLiteral("DataBook.mdb"));
        fake.messages.clear();
        c.make();
        EXPECT_TRUE(openEnds()) << c.what;
        ASSERT_EQ(fake.messages.size(), 1) << c.what;
        EXPECT_FALSE(fake.messages[0].text.isEmpty()) << c.what;
        EXPECT_NE(fake.messages[0].text, kWrongFile) << c.what;
        EXPECT_TRUE(fake.messages[0].text.startsWith(store::CauseSentence(c.cause) + QStringLiteral(" (")))
            << c.what << ": " << fake.messages[0].text.toStdString();
        EXPECT_EQ(fake.messages[0].style, kStopStyle);
        EXPECT_EQ(fake.messages[0].title, QStringLiteral("خطأ"));
    }
    QDir(dir.path()).rmdir(QStringLiteral("DataBook.mdb"));
    // A missing file is never created by opening it.
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(OpenDatabaseTest, AReadOnlyFileOpensAndRefusesWrites)
{
    ASSERT_TRUE(
        test::CreateDatabase(path, test::kTestPassword, {{"أ", "ب", "ج", "2024/01/01", "لم يرد بعد", ""}}));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
    if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
    EXPECT_FALSE(openEnds());
    Recordset& rs = MData::NewRs();
    ASSERT_TRUE(rs.Open(sql::kAllBooks, MData::Conn));
    rs.SetField(QStringLiteral("NameBook"), QStringLiteral("ز"));
    EXPECT_FALSE(rs.Update());
    EXPECT_NE(MData::Conn->Error().number, 0);
    EXPECT_EQ(rs.Text(QStringLiteral("NameBook")), QStringLiteral("أ"));
}

TEST_F(OpenDatabaseTest, RepeatedOpensFollowAFileSwappedBetweenCalls)
{
    ASSERT_TRUE(
        test::CreateDatabase(path, test::kTestPassword, {{"أ", "ب", "ج", "2024/01/01", "لم يرد بعد", ""}}));
    EXPECT_FALSE(openEnds());
    auto first = MData::Conn;
    Recordset& rs = MData::NewRs();
    ASSERT_TRUE(rs.Open(sql::kAllBooks, first));
    EXPECT_FALSE(openEnds());
    EXPECT_NE(MData::Conn, first);
    // A result set on the earlier connection keeps working.
    EXPECT_EQ(rs.Text(QStringLiteral("NameBook")), QStringLiteral("أ"));

    // Replaced by an unprotected file (new inode): the wrong-file message.
    const QString other = dir.filePath(QStringLiteral("plain.mdb"));
    ASSERT_TRUE(test::CreateDatabase(other, QString()));
    ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()), 0);
    EXPECT_TRUE(openEnds());
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, kWrongFile);

    // Overwritten in place (same inode) by a file with another password: refused.
    ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword));
    EXPECT_FALSE(openEnds());
    {
        const QString foreign = dir.filePath(QStringLiteral("foreign.mdb"));
        ASSERT_TRUE(test::CreateDatabase(foreign, QStringLiteral("another.key")));
        QFile in(foreign), out(path);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        ASSERT_TRUE(out.open(QIODevice::ReadWrite | QIODevice::Truncate));
        out.write(in.readAll());
    }
    fake.messages.clear();
    EXPECT_TRUE(openEnds());
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_NE(fake.messages[0].text, kWrongFile);

    // And back to a good file: it opens again.
    ASSERT_TRUE(
        test::CreateDatabase(path, test::kTestPassword, {{"ن", "ب", "ج", "2024/01/01", "لم يرد بعد", ""}}));
    fake.messages.clear();
    EXPECT_FALSE(openEnds());
    Recordset& again = MData::NewRs();
    ASSERT_TRUE(again.Open(sql::kAllBooks, MData::Conn));
    EXPECT_EQ(again.Text(QStringLiteral("NameBook")), QStringLiteral("ن"));
}

TEST_F(OpenDatabaseTest, TheDeliveredFileNeedsItsKeyInTheShell)
{
    ASSERT_TRUE(test::CreateDatabase(path));
    if (::system("command -v sqlcipher >/dev/null 2>&1") != 0) GTEST_SKIP() << "no sqlcipher shell";
    const QString quoted = QStringLiteral("'") + path + QStringLiteral("'");
    const QString withKey =
        QStringLiteral(
            "sqlcipher %1 \"PRAGMA key='vqt.lorman.kex'; SELECT count(*) FROM TableSetting;\" 2>&1")
            .arg(quoted);
    const QString withoutKey =
        QStringLiteral("sqlcipher %1 \"SELECT count(*) FROM TableSetting;\" 2>&1").arg(quoted);
    auto run = [](const QString& cmd) {
        QString out;
        FILE* p = ::popen(cmd.toLocal8Bit().constData(), "r");
        char buf[512];
        while (p && fgets(buf, sizeof buf, p))
            out += QString::fromUtf8(buf);
        const int rc = p ? ::pclose(p) : -1;
        return std::make_pair(rc, out.trimmed());
    };
    const auto good = run(withKey);
    EXPECT_TRUE(good.second.endsWith(QStringLiteral("1"))) << good.second.toStdString();
    const auto bad = run(withoutKey);
    EXPECT_TRUE(bad.second.contains(QStringLiteral("not a database"))) << bad.second.toStdString();
}

TEST(CipherVersion, IsAtLeastFourSix)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA cipher_version", -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    const QString version = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    const QStringList parts = version.section(QLatin1Char(' '), 0, 0).split(QLatin1Char('.'));
    ASSERT_GE(parts.size(), 2);
    EXPECT_TRUE(parts[0].toInt() > 4 || (parts[0].toInt() == 4 && parts[1].toInt() >= 6))
        << version.toStdString();
}
