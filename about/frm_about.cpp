#include "frm_about.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>

#include "about_texts.h"
#include "platform.h"
#include "pressable.h"
#include "style.h"
#include "twips.h"

#ifndef PELORIN_WEB_BASE
#define PELORIN_WEB_BASE "http://pelorin.example.org"
#endif

namespace pelorin::about {

namespace {

chrome::ChromeLayout aboutChrome()
{
    chrome::ChromeLayout l;
    l.clientWidth = 5445;
    l.clientHeight = 3780;
    l.titleRect = QRect(1050, 75, 3405, 255);
    l.title = texts::kTitle;
    l.exitLeft = 5180;
    return l;
}

// Twips.
constexpr int kBannerWidth = 3000, kBannerHeight = 600;
const QColor kShadow(55, 0, 55);

QLabel* shadowedLabel(const QString& text, const QFont& font, const QColor& colour, const QRect& twips,
                      QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setFont(font);
    l->setAlignment(Qt::AlignCenter);
    l->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour.name()));
    l->setGeometry(chrome::twRect(twips.x(), twips.y(), twips.width(), twips.height()));
    return l;
}

QWidget* border(const QString& name, const QRect& twips, QWidget* parent)
{
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    f->setStyleSheet(
        QStringLiteral("QFrame#%1 { border: 1px solid rgb(255,192,255); background: transparent; }")
            .arg(name));
    f->setGeometry(chrome::twRect(twips.x(), twips.y(), twips.width(), twips.height()));
    f->setAttribute(Qt::WA_TransparentForMouseEvents);
    return f;
}

} // namespace

QString FrmAbout::WebAddress()
{
    QString base = QStringLiteral(PELORIN_WEB_BASE);
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base;
}

FrmAbout::FrmAbout(QWidget* parent) : chrome::FramelessWindow(aboutChrome(), parent)
{
    setObjectName(QStringLiteral("FrmAbout"));

    Shape1 = border(QStringLiteral("Shape1"), QRect(120, 405, 5205, 1185), this);

    // The shadow goes first so that the bright copy is drawn over it.
    const QFont nameFont = chrome::ArabicFont(18, true);
    LblAddress2 =
        shadowedLabel(QStringLiteral("Pelorin"), nameFont, kShadow, QRect(3320, 485, 1875, 480), this);
    LblAddress1 = shadowedLabel(QStringLiteral("Pelorin"), nameFont, chrome::kLightPink,
                                QRect(3330, 435, 1875, 480), this);
    LblAddress1->setObjectName(QStringLiteral("LblAddress1"));
    LblAddress2->setObjectName(QStringLiteral("LblAddress2"));

    LblVerProgram = new QLabel(texts::kVersion, this);
    LblVerProgram->setObjectName(QStringLiteral("LblVerProgram"));
    LblVerProgram->setAlignment(Qt::AlignCenter);
    LblVerProgram->setFont(chrome::ArabicFont(9, true));
    LblVerProgram->setGeometry(chrome::twRect(3330, 960, 1875, 300));

    const QString credit = texts::kCreditPrefix + texts::kAuthor;
    const QFont creditFont = chrome::ArabicFont(9.75, true);
    LblMerrow2 = shadowedLabel(credit, creditFont, kShadow, QRect(230, 1250, 4965, 300), this);
    LblMerrow1 = shadowedLabel(credit, creditFont, chrome::kWhite, QRect(240, 1210, 4965, 300), this);
    LblMerrow1->setObjectName(QStringLiteral("LblMerrow1"));
    LblMerrow2->setObjectName(QStringLiteral("LblMerrow2"));

    const QSize bannerSize = chrome::twSize(kBannerWidth, kBannerHeight);
    ImWebMerrow1 = new QLabel(this);
    ImWebMerrow1->setObjectName(QStringLiteral("ImWebMerrow1"));
    ImWebMerrow1->setPixmap(chrome::Picture(QStringLiteral("banner_a"), bannerSize));
    ImWebMerrow1->hide();
    ImWebMerrow2 = new QLabel(this);
    ImWebMerrow2->setObjectName(QStringLiteral("ImWebMerrow2"));
    ImWebMerrow2->setPixmap(chrome::Picture(QStringLiteral("banner_b"), bannerSize));
    ImWebMerrow2->hide();
    ImWebMerrow = new QLabel(this);
    ImWebMerrow->setObjectName(QStringLiteral("ImWebMerrow"));
    ImWebMerrow->setGeometry(chrome::twRect(240, 525, kBannerWidth, kBannerHeight));
    ImWebMerrow->setPixmap(ImWebMerrow1->pixmap());
    ImWebMerrow->setToolTip(WebAddress());
    chrome::SetHandCursor(ImWebMerrow);
    ImWebMerrow->installEventFilter(this);
    // Read as what it does; the address it opens is its description.
    ImWebMerrow->setAccessibleName(QStringLiteral("موقع البرنامج على الإنترنت"));
    ImWebMerrow->setAccessibleDescription(WebAddress());
    chrome::Pressable::Attach(ImWebMerrow, [this] { ImWebMerrow_MouseDown(Qt::LeftButton); });

    ShpMov = border(QStringLiteral("ShpMov"), QRect(120, 1665, 5205, 1995), this);
    PictMov = new QWidget(this);
    PictMov->setObjectName(QStringLiteral("PictMov"));
    PictMov->setAttribute(Qt::WA_StyledBackground);
    PictMov->setStyleSheet(QStringLiteral("QWidget#PictMov { background: rgb(96,0,96); }"));
    PictMov->setGeometry(chrome::twRect(135, 1680, 5175, 1965));

    const QString host = QUrl(WebAddress()).host();
    TxtMov =
        new QLabel(texts::AboutLines(host.isEmpty() ? WebAddress() : host).join(QLatin1Char('\n')), PictMov);
    TxtMov->setObjectName(QStringLiteral("TxtMov"));
    TxtMov->setFont(chrome::ArabicFont(9.5));
    TxtMov->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    TxtMov->setWordWrap(true);
    TxtMov->setTextInteractionFlags(Qt::NoTextInteraction);
    TxtMov->setAttribute(Qt::WA_TransparentForMouseEvents);
    TxtMov->resize(PictMov->width(), TxtMov->heightForWidth(PictMov->width()));
    setTxtMovTop(kTextStartTopTwips);
    ShpMov->raise();

    TimThank = new QTimer(this);
    TimThank->setObjectName(QStringLiteral("TimThank"));
    TimThank->setInterval(kScrollMilliseconds);
    connect(TimThank, &QTimer::timeout, this, &FrmAbout::TimThank_Timer);
    TimThank->start();

    TmrWebMerrow1 = new QTimer(this);
    TmrWebMerrow1->setObjectName(QStringLiteral("TmrWebMerrow1"));
    TmrWebMerrow1->setInterval(kBannerMilliseconds);
    connect(TmrWebMerrow1, &QTimer::timeout, this, &FrmAbout::TmrWebMerrow1_Timer);
    TmrWebMerrow1->start();

    TmrWebMerrow2 = new QTimer(this);
    TmrWebMerrow2->setObjectName(QStringLiteral("TmrWebMerrow2"));
    TmrWebMerrow2->setInterval(kBannerMilliseconds);
    connect(TmrWebMerrow2, &QTimer::timeout, this, &FrmAbout::TmrWebMerrow2_Timer);
}

int FrmAbout::TxtMovHeight() const
{
    return TxtMov->height() * chrome::kTwipsPerPixel;
}

int FrmAbout::PictMovInnerHeight() const
{
    return PictMov->height() * chrome::kTwipsPerPixel;
}

void FrmAbout::setTxtMovTop(int twips)
{
    txtTop_ = twips;
    TxtMov->move(0, chrome::tw(twips));
}

void FrmAbout::TimThank_Timer()
{
    const QPoint cursor = platform().cursorPos();
    const QRect viewport(PictMov->mapToGlobal(QPoint(0, 0)), PictMov->size());
    QWidget* active = platform().activeWindow();
    if (active != lastActive_) lastActive_ = active;

    // Strictly inside: a pointer on the edge does not hold the text.
    const bool over = viewport.left() < cursor.x() && cursor.x() < viewport.left() + viewport.width() &&
                      viewport.top() < cursor.y() && cursor.y() < viewport.top() + viewport.height();
    if (over && active == this) return;

    if (txtTop_ > -TxtMovHeight())
        setTxtMovTop(txtTop_ - kScrollStepTwips);
    else
        setTxtMovTop(PictMovInnerHeight());
}

void FrmAbout::TmrWebMerrow1_Timer()
{
    ImWebMerrow->setPixmap(ImWebMerrow2->pixmap());
    TmrWebMerrow2->start();
    TmrWebMerrow1->stop();
}

void FrmAbout::TmrWebMerrow2_Timer()
{
    ImWebMerrow->setPixmap(ImWebMerrow1->pixmap());
    TmrWebMerrow1->start();
    TmrWebMerrow2->stop();
}

void FrmAbout::ImWebMerrow_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton) platform().openUrl(WebAddress());
}

void FrmAbout::ImgExit_MouseDown()
{
    TimThank->stop();
}

void FrmAbout::ImgExit_MouseUp()
{
    TimThank->start();
}

void FrmAbout::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        ImgExit_Click();
        return;
    }
    chrome::FramelessWindow::keyPressEvent(event);
}

bool FrmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ImWebMerrow && event->type() == QEvent::MouseButtonPress)
        ImWebMerrow_MouseDown(static_cast<QMouseEvent*>(event)->button());
    return chrome::FramelessWindow::eventFilter(watched, event);
}

} // namespace pelorin::about
