#include "frm_no_arabin.h"

#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "banner.h"
#include "notice_picture.h"
#include "platform.h"
#include "pressable.h"
#include "style.h"
#include "twips.h"
#include "web_site.h"

namespace pelorin::startup {

namespace {

chrome::ChromeLayout noArabinLayout()
{
    chrome::ChromeLayout l;
    l.clientWidth = 6405;
    l.clientHeight = 4365;
    l.titleRect = QRect(1400, 75, 3405, 255);
    l.title = QStringLiteral("Pelorin - Does not support Arabic");
    l.exitLeft = 6120;
    l.closeToolTip = QStringLiteral("Exit");
    // The window speaks English in its frame; only its message is Arabic.
    l.rightToLeft = false;
    return l;
}

} // namespace

const QStringList& FrmNoArabin::MessageLines()
{
    return NoticeLines();
}

QPixmap FrmNoArabin::RenderMessage(const QStringList& lines, const QSize& size)
{
    return RenderNotice(lines, size);
}

QPixmap FrmNoArabin::MessagePicture()
{
    // Drawn when the program was built: where this window shows, no font can draw Arabic.
    QPixmap built(QStringLiteral(":/pelorin/notice/no_arabic.png"));
    if (!built.isNull() && built.size() == kMessageSize) return built;
    return RenderMessage(MessageLines(), kMessageSize);
}

FrmNoArabin::FrmNoArabin(QWidget* parent) : chrome::FramelessWindow(noArabinLayout(), parent)
{
    setObjectName(QStringLiteral("FrmNoArabin"));

    ImgNoArabic = new QLabel(this);
    ImgNoArabic->setObjectName(QStringLiteral("ImgNoArabic"));
    ImgNoArabic->setGeometry(chrome::twRect(15, 450, 6375, 2340));
    ImgNoArabic->setPixmap(MessagePicture());
    chrome::SetHandCursor(ImgNoArabic);
    ImgNoArabic->installEventFilter(this);
    // The message is a picture: a screen reader reads its words, and pressing it opens the help.
    ImgNoArabic->setAccessibleName(MessageLines().join(QLatin1Char(' ')));
    chrome::Pressable::Attach(ImgNoArabic, [this] { ImgNoArabic_MouseDown(Qt::LeftButton); });

    ShpStatut = new QFrame(this);
    ShpStatut->setObjectName(QStringLiteral("ShpStatut"));
    ShpStatut->setGeometry(chrome::twRect(1650, 3030, 3090, 690));
    ShpStatut->setStyleSheet(QStringLiteral("QFrame#ShpStatut { border: 1px solid rgb(255,192,255); }"));

    ImWebMerrow1 = new QLabel(this);
    ImWebMerrow1->setObjectName(QStringLiteral("ImWebMerrow1"));
    ImWebMerrow1->setPixmap(BannerPicture(1));
    ImWebMerrow1->hide();
    ImWebMerrow2 = new QLabel(this);
    ImWebMerrow2->setObjectName(QStringLiteral("ImWebMerrow2"));
    ImWebMerrow2->setPixmap(BannerPicture(2));
    ImWebMerrow2->hide();

    ImWebMerrow = new QLabel(this);
    ImWebMerrow->setObjectName(QStringLiteral("ImWebMerrow"));
    ImWebMerrow->setGeometry(chrome::twRect(1695, 3075, 3000, 600));
    ImWebMerrow->setScaledContents(true);
    ImWebMerrow->setPixmap(ImWebMerrow1->pixmap());
    ImWebMerrow->setToolTip(WebSiteAddress());

    TmrWebMerrow1.setInterval(1000);
    TmrWebMerrow2.setInterval(1000);
    connect(&TmrWebMerrow1, &QTimer::timeout, this, &FrmNoArabin::TmrWebMerrow1_Timer);
    connect(&TmrWebMerrow2, &QTimer::timeout, this, &FrmNoArabin::TmrWebMerrow2_Timer);
    TmrWebMerrow1.start();
}

void FrmNoArabin::ImgNoArabic_MouseDown(Qt::MouseButton button)
{
    if (button != Qt::LeftButton) return;
    platform().openUrl(HelpPageAddress());
}

void FrmNoArabin::TmrWebMerrow1_Timer()
{
    ImWebMerrow->setPixmap(ImWebMerrow2->pixmap());
    TmrWebMerrow2.start();
    TmrWebMerrow1.stop();
}

void FrmNoArabin::TmrWebMerrow2_Timer()
{
    ImWebMerrow->setPixmap(ImWebMerrow1->pixmap());
    TmrWebMerrow1.start();
    TmrWebMerrow2.stop();
}

void FrmNoArabin::Form_KeyDown(int keyCode, Qt::KeyboardModifiers)
{
    if (keyCode == Qt::Key_Escape) ImgExit_Click();
}

void FrmNoArabin::ImgExit_Click()
{
    platform().endProgram(0);
}

bool FrmNoArabin::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ImgNoArabic && event->type() == QEvent::MouseButtonPress)
        ImgNoArabic_MouseDown(static_cast<QMouseEvent*>(event)->button());
    return chrome::FramelessWindow::eventFilter(watched, event);
}

void FrmNoArabin::keyPressEvent(QKeyEvent* event)
{
    // Every key stops here: the dialog's own Escape handling would close the window without
    // ending the program.
    Form_KeyDown(event->key(), event->modifiers());
}

} // namespace pelorin::startup
