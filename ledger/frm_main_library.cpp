// The library name, the printed report and the database compaction.
#include "frm_main.h"

#include "compact.h"
#include "frm_main_backup.h"
#include "ledger_model.h"
#include "report_loan.h"

#include "database.h"
#include "msgbox.h"

namespace pelorin::ledger {

namespace {
const QString kNameField = QStringLiteral("NameLibrary");
const QString kNoticeTitle = QStringLiteral("تنبيه");
} // namespace

void FrmMain::LoadLibraryName()
{
    store::Recordset& rs = store::MData::NewRs();
    store::MData::OpenDatabase();
    // A hand-made file may lack the settings row or its name: the box is then simply empty.
    if (!rs.Open(store::sql::kSetting, store::MData::Conn) || rs.Eof()) {
        TxtNameLibrary->clear();
        return;
    }
    const QString name = rs.Text(kNameField);
    // A longer name stored by hand is shown whole rather than cut at the typing limit, so that
    // neither the report nor a later save loses its end.
    fitLibraryNameLimit(int(name.size()));
    TxtNameLibrary->setText(name);
}

void FrmMain::CmdSave_Click()
{
    const QString name = TxtNameLibrary->text().trimmed();
    if (name.isEmpty()) {
        chrome::MsgBox(QStringLiteral("يرجى ملء مربع النص"),
                       MsgStyle::Critical | MsgStyle::RightAlign | MsgStyle::RtlReading, kNoticeTitle);
        return;
    }
    store::Recordset& rs = store::MData::NewRs();
    store::MData::OpenDatabase();
    BackupBeforeChange(*this);
    bool saved = rs.Open(store::sql::kSetting, store::MData::Conn) && rs.FieldIndex(kNameField) >= 0;
    if (saved) {
        // Without a settings row the name becomes the first one.
        if (rs.Eof()) rs.AddNew();
        rs.SetField(kNameField, name);
        saved = rs.Update();
    }
    QString engineText = store::MData::Conn->Error().Told();
    rs.Close();
    store::MData::Rs.reset();
    if (!saved) {
        QString text = QStringLiteral("تعذر حفظ اسم المكتبة");
        if (!engineText.isEmpty()) text += QLatin1Char('\n') + engineText;
        chrome::MsgBox(text, MsgStyle::Critical | MsgStyle::RightAlign | MsgStyle::RtlReading,
                       QStringLiteral("خطأ"));
        return;
    }
    chrome::MsgBox(QStringLiteral("تم حفظ اسم المكتبة بنجاح"), MsgStyle::RightAlign | MsgStyle::RtlReading,
                   kNoticeTitle);
}

void FrmMain::ImgReport_Click()
{
    // The title is what the box shows now, saved or not; under a filter, the shown loans only.
    LoanSelection shown;
    const bool filtered = reportSelection(shown);
    ShowLoanReport(this, TxtNameLibrary ? TxtNameLibrary->text() : QString(), filtered ? &shown : nullptr);
}

void FrmMain::ImgCompact_Click()
{
    // Compaction changes no record, so the list keeps its rows, its sort order and its marked
    // row; they hold copies of the texts, not anything of the closed connection.
    BackupBeforeCompaction(*this);
    store::MData::CompactOpenDatabase();
}

} // namespace pelorin::ledger
