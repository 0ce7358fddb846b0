// A test with the platform double, whose program folder is a fresh temporary folder where the
// ledger's database file goes, and the program's own key.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "database.h"
#include "fake_platform.h"
#include "mdata.h"

namespace pelorin::test {

class DatabaseTest : public ::testing::Test {
protected:
    // A derived SetUp calls this first, as ASSERT_NO_FATAL_FAILURE(DatabaseTest::SetUp()).
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        fake.folder = dir.path();
        store::MData::DbPassword = store::MData::kPassword;
        path = dir.filePath(QStringLiteral("DataBook.mdb"));
    }
    // The shared connection and the pooled engine handles outlive a test otherwise, and would
    // keep the next test's file (or this removed folder) open.
    void TearDown() override
    {
        store::MData::Rs.reset();
        store::MData::Conn.reset();
        store::ReleasePooledHandles();
    }

    FakePlatform fake;
    QTemporaryDir dir;
    QString path;
};

} // namespace pelorin::test
