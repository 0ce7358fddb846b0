// The library name: loaded into its box at start-up and saved by the owner.
#include "frm_main.h"

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
    BackupBeforeChange();
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

} // namespace pelorin::ledger
