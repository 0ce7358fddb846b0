// A ledger window over a database file in a temporary folder, with a fixed clock.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "database.h"
#include "database_test.h"
#include "frm_main.h"
#include "ledger_model.h"
#include "test_db.h"

namespace pelorin::ledger::testing {

class LedgerFixture : public test::DatabaseTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(DatabaseTest::SetUp());
        fake.todayValue = QDate(2024, 3, 10);
    }
    void TearDown() override
    {
        window.reset();
        DatabaseTest::TearDown();
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
        for (int r = 0; r < window->model->rowCount(); ++r)
            out << window->model->CellText(r, ColNameBook);
        return out;
    }

    std::unique_ptr<FrmMain> window;
};

inline const QString kOut = QStringLiteral("لم يرد بعد");
inline const QString kInputError = QStringLiteral("خطأ في المدخلات");

} // namespace pelorin::ledger::testing
