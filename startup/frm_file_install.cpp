#include "frm_file_install.h"

#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>

#include "msgbox.h"
#include "platform.h"
#include "pressable.h"
#include "style.h"
#include "twips.h"

// Q_INIT_RESOURCE has to be used outside any namespace; the payload lives in this static
// library and would otherwise be dropped by the linker.
static void InitInstallerResource()
{
    Q_INIT_RESOURCE(installer);
}

namespace pelorin::startup {

namespace {

const QString kTitle = QStringLiteral("تنصيب الملفات اللازمة لتشغيل البرنامج");
const QString kNotice = QStringLiteral("تنبيه");
const QString kCrLf = QStringLiteral("\r\n");

chrome::ChromeLayout fileInstallLayout()
{
    chrome::ChromeLayout l;
    l.clientWidth = 3960;
    l.clientHeight = 2745;
    l.titleRect = QRect(700, 75, 2595, 255);
    l.title = kTitle;
    l.exitLeft = 3700;
    return l;
}

// The largest size, at most `from` points, at which every line of text fits width.
QFont FittingFont(const QString& text, int width, qreal from, bool bold)
{
    QFont font = chrome::ArabicFont(from, bold);
    for (qreal pt = from; pt >= 7; pt -= 0.25) {
        font = chrome::ArabicFont(pt, bold);
        const QFontMetrics fm(font);
        bool fits = true;
        for (const QString& line : text.split(QLatin1Char('\n')))
            fits = fits && fm.horizontalAdvance(line) <= width;
        if (fits) break;
    }
    return font;
}

QString FailureText(const QString& reason, const QString& path)
{
    return QStringLiteral("تعذر تنصيب الملفات اللازمة لتشغيل البرنامج") + kCrLf + kCrLf + reason + kCrLf +
           path;
}

} // namespace

QString FrmFileInstall::TitleText()
{
    return QStringLiteral("هنالك ملفات لازمة لتشغيل البرنامج") + kCrLf +
           QStringLiteral("فهل توافق على تنصيبها على نظام التشغيل الذي تعمل عليه ؟");
}

QString FrmFileInstall::SuccessText()
{
    return QStringLiteral("تم إضافة الملفات اللازمة لتشغيل البرنامج بنجاح") + kCrLf + kCrLf +
           QStringLiteral("            يرجى إعادة تشغيل البرنامج");
}

FrmFileInstall::FrmFileInstall(QWidget* parent) : chrome::FramelessWindow(fileInstallLayout(), parent)
{
    setObjectName(QStringLiteral("FrmFileInstall"));

    LblTitle = new QLabel(this);
    LblTitle->setObjectName(QStringLiteral("LblTitle"));
    LblTitle->setGeometry(chrome::twRect(75, 450, 3810, 1170));
    LblTitle->setAlignment(Qt::AlignCenter);
    LblTitle->setWordWrap(true);
    // A label breaks at the LF; the CR would only show as a stray mark.
    LblTitle->setText(QString(TitleText()).remove(QLatin1Char('\r')));
    LblTitle->setFont(FittingFont(LblTitle->text(), LblTitle->width() - 4, 9.75, false));
    // The long title has to fit the narrow header of this small window.
    LblMain()->setFont(FittingFont(kTitle, LblMain()->width() - 2, LblMain()->font().pointSizeF(), true));

    CmdOk = new QPushButton(QStringLiteral("نعم أوافق"), this);
    CmdOk->setObjectName(QStringLiteral("CmdOk"));
    CmdOk->setGeometry(chrome::twRect(2130, 1860, 1470, 480));
    chrome::SetHandCursor(CmdOk);
    connect(CmdOk, &QPushButton::clicked, this, &FrmFileInstall::CmdOk_Click);

    CmdNo = new QPushButton(QStringLiteral("لا أوافق"), this);
    CmdNo->setObjectName(QStringLiteral("CmdNo"));
    CmdNo->setGeometry(chrome::twRect(360, 1860, 1470, 480));
    chrome::SetHandCursor(CmdNo);
    connect(CmdNo, &QPushButton::clicked, this, &FrmFileInstall::CmdNo_Click);

    for (QPushButton* b : {CmdOk, CmdNo}) {
        b->setFont(chrome::ArabicFont(9.75, true));
        b->setAutoDefault(false);
        chrome::ShowKeyboardFocus(b);
    }
}

QString FrmFileInstall::GetSetupPath()
{
    return platform().tempFolder() + QStringLiteral("/setupHalvek.exe");
}

QByteArray FrmFileInstall::Payload()
{
    InitInstallerResource();
    QFile resource(QStringLiteral(":/FILEHELP/101"));
    if (!resource.open(QIODevice::ReadOnly)) return {};
    return resource.readAll();
}

bool FrmFileInstall::WritePayload(const QString& path, const QByteArray& bytes)
{
    // The file is run, perhaps with administrator rights, from a folder others may write to:
    // whatever lies at the path (an older copy, a link planted there) is removed, and the new
    // file is created afresh so that it is ours alone and holds exactly these bytes.
    if (QFile::exists(path) || QFileInfo(path).isSymLink()) QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return false;
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        file.remove();
        return false;
    }
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        file.remove();
        return false;
    }
    return true;
}

void FrmFileInstall::CmdOk_Click()
{
    const QString path = GetSetupPath();
    const QByteArray payload = Payload();
    QString failure;
    if (payload.isEmpty() || !WritePayload(path, payload))
        failure = FailureText(QStringLiteral("لم يمكن كتابة ملف التنصيب في المجلد المؤقت :"), path);
    else if (!platform().startDetached(path))
        failure = FailureText(QStringLiteral("لم يمكن تشغيل ملف التنصيب :"), path);

    const int layout = MsgStyle::RightAlign + MsgStyle::RtlReading;
    if (failure.isEmpty())
        chrome::MsgBox(SuccessText(), MsgStyle::OkOnly + layout, kNotice);
    else
        chrome::MsgBox(failure, MsgStyle::Critical + layout, kNotice);
    platform().endProgram(0);
}

void FrmFileInstall::CmdNo_Click()
{
    platform().endProgram(0);
}

void FrmFileInstall::ImgExit_Click()
{
    CmdNo_Click();
}

void FrmFileInstall::keyPressEvent(QKeyEvent* event)
{
    // Escape answers as the close image does (no); the dialog's own handling would only close
    // the window and leave the program running.
    if (event->key() == Qt::Key_Escape) {
        ImgExit_Click();
        return;
    }
    chrome::FramelessWindow::keyPressEvent(event);
}

} // namespace pelorin::startup
