// A ledger window over a database file in a temporary folder, with a fixed clock.
#pragma once

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "database.h"
#include "fake_platform.h"
#include "frm_main.h"
#include "ledger_model.h"
#include "test_db.h"

namespace pelorin::ledger::testing {

class LedgerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        fake.folder = dir.path();
        fake.todayValue = QDate(2024, 3, 10);
        store::MData::DbPassword = store::MData::kPassword;
        path = dir.filePath(QStringLiteral("DataBook.mdb"));
    }
    void TearDown() override
    {
        window.reset();
        store::MData::Rs.reset();
        store::MData::Conn.reset();
        store::ReleasePooledHandles();
    }
    // Writes the database and runs the window's load sequence on it.
    FrmMain& load(const std::vector<test::BookRow>& rows,
                  const QString& libraryName = QStringLiteral("مكتبتي"))
    {
        EXPECT_TRUE(test::CreateDatabase(path, test::kTestPassword, rows, libraryName));
        window = std::make_unique<FrmMain>();
        window->Form_Load();
        return *window;
    }
    // The titles down the list, in its current order.
    QStringList titles() const
    {
        QStringList out;
        for (int r = 0; r < window->model->rowCount(); ++r) out << window->model->CellText(r, ColNameBook);
        return out;
    }

    test::FakePlatform fake;
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<FrmMain> window;
};

inline const QString kOut = QStringLiteral("لم يرد بعد");
inline const QString kInputError = QStringLiteral("خطأ في المدخلات");

} // namespace pelorin::ledger::testing
