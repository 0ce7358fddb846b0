#include "mdata.h"

#include "database.h"
#include "platform.h"

namespace pelorin::store::MData {

QString DbPassword;
std::shared_ptr<Connection> Conn;
std::shared_ptr<Recordset> Rs;

namespace {
constexpr int kStopStyle = MsgStyle::Critical | MsgStyle::RightAlign | MsgStyle::RtlReading; // 1572880
const QString kErrorTitle = QStringLiteral("خطأ");
} // namespace

QString BaseConnectionText()
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + platform().appFolder() +
           QStringLiteral("\\DataBook.mdb");
}

QString FullConnectionText()
{
    return BaseConnectionText() + QStringLiteral(";Jet OLEDB:Database Password=") + DbPassword;
}

QString DatabasePath()
{
    return platform().appFolder() + QStringLiteral("/DataBook.mdb");
}

void OpenDatabase()
{
    Conn = std::make_shared<Connection>();
    Conn->Open(BaseConnectionText());
    const long first = Conn->Error().number;
    if (first == 0) {
        // A file that opens without the password is not the program's database.
        Conn->Close();
        platform().msgBox(
            QStringLiteral("هنالك خطأ في ملف قاعدة البيانات .. من فضلك ضع قاعدة البيانات الصحيحة !!"),
            kStopStyle, kErrorTitle);
        platform().endProgram(1);
    }
    if (first == kErrAuthentication) {
        Conn->ClearError();
        if (Conn->Open(FullConnectionText())) return;
    }
    platform().msgBox(Conn->Error().description, kStopStyle, kErrorTitle);
    platform().endProgram(1);
}

Recordset& NewRs()
{
    Rs = std::make_shared<Recordset>();
    return *Rs;
}

} // namespace pelorin::store::MData
