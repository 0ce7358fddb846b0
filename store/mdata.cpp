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

namespace {

OpenFailureHandler& failureHandler()
{
    static OpenFailureHandler h;
    return h;
}

// Shows the message and ends the program, unless the handler offers a way out. True when the
// file should be opened again.
bool openFailed(const QString& text)
{
    const OpenFailureHandler handler = failureHandler();
    const OpenFailure answer = handler ? handler(text, kStopStyle, kErrorTitle) : OpenFailure::Unhandled;
    if (answer == OpenFailure::Reopen) return true;
    if (answer == OpenFailure::Unhandled) platform().msgBox(text, kStopStyle, kErrorTitle);
    platform().endProgram(1);
    return false; // not reached: the program has ended
}

} // namespace

OpenFailureHandler SetOpenFailureHandler(OpenFailureHandler handler)
{
    std::swap(failureHandler(), handler);
    return handler;
}

void OpenDatabase()
{
    for (;;) {
        Conn = std::make_shared<Connection>();
        Conn->Open(BaseConnectionText());
        const long first = Conn->Error().number;
        if (first == 0) {
            // A file that opens without the password is not the program's database.
            Conn->Close();
            if (openFailed(QStringLiteral(
                    "هنالك خطأ في ملف قاعدة البيانات .. من فضلك ضع قاعدة البيانات الصحيحة !!")))
                continue;
        }
        if (first == kErrAuthentication) {
            Conn->ClearError();
            if (Conn->Open(FullConnectionText())) return;
        }
        openFailed(Conn->Error().Told());
    }
}

Recordset& NewRs()
{
    Rs = std::make_shared<Recordset>();
    return *Rs;
}

} // namespace pelorin::store::MData
