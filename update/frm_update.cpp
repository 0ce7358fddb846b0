#include "frm_update.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>

#include "download.h"
#include "platform.h"
#include "pressable.h"
#include "style.h"
#include "twips.h"
#include "update_texts.h"
#include "version_file.h"

#ifndef PELORIN_UPDATE_BASE
#define PELORIN_UPDATE_BASE "http://pelorin.example.org"
#endif

namespace pelorin::update {

namespace {

chrome::ChromeLayout updateChrome()
{
    chrome::ChromeLayout l;
    l.clientWidth = 3630;
    l.clientHeight = 1155;
    // Wider than the calendar's title strip (same centre): this title does not fit in 1800 twips.
    l.titleRect = QRect(500, 80, 2760, 255);
    l.title = texts::kTitle;
    l.exitLeft = 3360;
    return l;
}

// Inside the frame (twips).
constexpr int kFrameLeft = 312, kFrameTop = 375, kFrameWidth = 3005, kFrameHeight = 720;
constexpr int kRowLeft = 100, kRowTop = 260;
constexpr int kLabelWidth = 2805, kLabelHeight = 390;
constexpr int kTroughWidth = 2790, kTroughHeight = 300;
constexpr int kShapeTop = 240, kShapeWidth = 2805, kShapeHeight = 340;
constexpr int kBarOffset = 45; // left offset of the bar inside the trough, and its right margin

} // namespace

QString FrmUpdate::DefaultVersionFileUrl()
{
    QString base = QStringLiteral(PELORIN_UPDATE_BASE);
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base + QStringLiteral("/myfiles/Pelorin.txt");
}

FrmUpdate::FrmUpdate(QWidget* parent)
    : chrome::FramelessWindow(updateChrome(), parent), versionFileUrl_(DefaultVersionFileUrl())
{
    setObjectName(QStringLiteral("FrmUpdate"));

    FrameUpdate = new QGroupBox(texts::kFrameCaption, this);
    FrameUpdate->setObjectName(QStringLiteral("FrameUpdate"));
    FrameUpdate->setGeometry(chrome::twRect(kFrameLeft, kFrameTop, kFrameWidth, kFrameHeight));
    FrameUpdate->setAlignment(Qt::AlignRight);

    // The trough and its border share the place of the message line; one is shown at a time.
    ShpProgress = new QFrame(FrameUpdate);
    ShpProgress->setObjectName(QStringLiteral("ShpProgress"));
    ShpProgress->setGeometry(chrome::twRect(kRowLeft, kShapeTop, kShapeWidth, kShapeHeight));
    ShpProgress->setStyleSheet(QStringLiteral("QFrame#ShpProgress { border: 1px solid rgb(255,192,255);"
                                              " background: transparent; }"));
    ShpProgress->hide();

    picProgress = new QFrame(FrameUpdate);
    picProgress->setObjectName(QStringLiteral("picProgress"));
    picProgress->setGeometry(chrome::twRect(kRowLeft, kRowTop, kTroughWidth, kTroughHeight));
    picProgress->setStyleSheet(QStringLiteral("QFrame#picProgress { background: rgb(255,235,255); }"));
    picProgress->setLayoutDirection(Qt::LeftToRight);
    picProgress->hide();

    lblProgress = new QLabel(picProgress);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setStyleSheet(QStringLiteral("background: rgb(215,110,215);"));
    lblProgress->setGeometry(chrome::tw(kBarOffset), chrome::tw(kBarOffset), 0,
                             chrome::tw(kTroughHeight - 2 * kBarOffset));

    LblPrgressNum = new QLabel(QStringLiteral("0"), picProgress);
    LblPrgressNum->setObjectName(QStringLiteral("LblPrgressNum"));
    LblPrgressNum->setAlignment(Qt::AlignCenter);
    LblPrgressNum->setFont(chrome::ArabicFont(8, true));
    LblPrgressNum->setStyleSheet(QStringLiteral("color: rgb(60,0,60); background: transparent;"));
    LblPrgressNum->setGeometry(0, 0, picProgress->width(), picProgress->height());

    LblVerNew = new QLabel(texts::kStartCaption, FrameUpdate);
    LblVerNew->setObjectName(QStringLiteral("LblVerNew"));
    LblVerNew->setGeometry(chrome::twRect(kRowLeft, kRowTop, kLabelWidth, kLabelHeight));
    // The caption may carry characters from the server's version file: shown, never interpreted.
    LblVerNew->setTextFormat(Qt::PlainText);
    LblVerNew->setAlignment(Qt::AlignCenter);
    LblVerNew->setWordWrap(true);
    LblVerNew->setFont(chrome::ArabicFont(8.25, true));
    LblVerNew->setToolTip(texts::kStartToolTip);
    LblVerNew->installEventFilter(this);
    setLabelHand();
    // From the keyboard it does what F5 does; a screen reader reads its caption, which is also
    // where every outcome of the check appears.
    chrome::Pressable::Attach(LblVerNew, [this] { pressCaption(); });
    chrome::MarkStatusLine(LblVerNew);
    LblPrgressNum->setAccessibleDescription(QStringLiteral("نسبة الوقت المنقضي من مهلة البحث"));

    TmrTimeEnd = new QTimer(this);
    TmrTimeEnd->setObjectName(QStringLiteral("TmrTimeEnd"));
    TmrTimeEnd->setInterval(kTickMilliseconds);
    connect(TmrTimeEnd, &QTimer::timeout, this, &FrmUpdate::TmrTimeEnd_Timer);

    Download1 = new Download(this);
    Download1->setObjectName(QStringLiteral("Download1"));
    connect(Download1, &Download::DownloadComplete, this, &FrmUpdate::Download1_DownloadComplete);
    connect(Download1, &Download::DownloadError, this, &FrmUpdate::Download1_DownloadError);
    connect(Download1, &Download::DownloadProgress, this, &FrmUpdate::Download1_DownloadProgress);
}

FrmUpdate::~FrmUpdate()
{
    setScreenHourglass(false);
}

bool FrmUpdate::IsConnected()
{
    return platform().isConnected();
}

void FrmUpdate::LblVerNew_Click()
{
    if (state() >= 2 && state() <= 5) return;
    if (IsConnected()) {
        setLabelPointer(Qt::ArrowCursor);
        setScreenHourglass(false);
        picProgress->show();
        ShpProgress->show();
        TmrTimeEnd->start();
        setEnabled(false);
        LblVerNew->hide();
        UpdateState = QStringLiteral("2");
        Download1->BeginDownload(versionFileUrl_, ReadKey());
    } else {
        setLabelPointer(Qt::ArrowCursor);
        LblVerNew->setText(texts::kOfflineCaption);
        LblVerNew->setToolTip(texts::kNeedOnlineToolTip);
        UpdateState = QStringLiteral("5");
    }
}

void FrmUpdate::LblVerNew_MouseDown(Qt::MouseButton button)
{
    const int s = state();
    if (s == 1 || (s >= 3 && s <= 5)) return;
    if (button == Qt::LeftButton) openDownloadPage();
}

void FrmUpdate::TmrTimeEnd_Timer()
{
    ++TimeCount;
    if (TimeCount > kTimeBudgetTicks) {
        TimeCount = 0;
        TimeEnd = true;
        TmrTimeEnd->stop();
        Download1->Cancel(ReadKey()); // nothing may arrive any more
        showOutcome(texts::kServerProblemCaption, texts::kLaterToolTip);
        UpdateState = QStringLiteral("3");
        setLabelPointer(Qt::ArrowCursor);
    } else if (IsConnected()) {
        setLabelPointer(Qt::WaitCursor);
        setScreenHourglass(true);
        progressWidthTwips_ = (kTroughWidth - 2 * kBarOffset) * TimeCount / kTimeBudgetTicks;
        lblProgress->resize(chrome::tw(progressWidthTwips_), lblProgress->height());
        LblPrgressNum->setText(QString::number(TimeCount) + QStringLiteral(" %"));
    } else {
        TimeCount = 0;
        TimeEnd = true;
        TmrTimeEnd->stop();
        Download1->Cancel(ReadKey());
        showOutcome(texts::kLostCaption, texts::kNeedOnlineToolTip);
        UpdateState = QStringLiteral("5");
        setLabelPointer(Qt::ArrowCursor);
    }
}

void FrmUpdate::Download1_DownloadComplete(const QString&, const QByteArray& data, qint32)
{
    if (TimeEnd) return; // the check was already abandoned
    // Read straight from the bytes received: no file in the working folder can get in the way.
    const VersionFile file = ParseVersionFile(data);
    VerNew = file.version;
    UrlNew = file.address;
    TmrTimeEnd->stop();
    TimeCount = 0;

    if (LeadingNumber(VerNew) > kRunningVersion) {
        showOutcome(texts::kNewVersionBefore + VerNew + texts::kNewVersionAfter, texts::kNewVersionToolTip);
        QFont f = LblVerNew->font();
        f.setUnderline(true);
        LblVerNew->setFont(f);
        setLabelHand();
        // UpdateState stays "2": the label is now the link.
    } else {
        showOutcome(texts::kUpToDateCaption, texts::kUpToDateToolTip);
        setLabelPointer(Qt::ArrowCursor);
        UpdateState = QStringLiteral("4");
    }
}

void FrmUpdate::Download1_DownloadError(const QString& key, qint32, const QString&)
{
    // Nothing to show yet: the time budget or the connection watch ends the check.
    Download1->Cancel(key);
}

void FrmUpdate::Download1_DownloadProgress(const QString&, qint32, qint32, qint32, const QString&) {}

void FrmUpdate::showOutcome(const QString& caption, const QString& toolTip)
{
    LblVerNew->setText(caption);
    LblVerNew->setToolTip(toolTip);
    LblVerNew->show();
    setScreenHourglass(false);
    setEnabled(true);
    picProgress->hide();
    ShpProgress->hide();
}

void FrmUpdate::openDownloadPage()
{
    // The address comes from the network: only a web page may be opened, never a local file
    // or program.
    const QUrl url(UrlNew, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return;
    platform().openUrl(UrlNew);
}

void FrmUpdate::setScreenHourglass(bool on)
{
    if (on == screenHourglass_) return;
    screenHourglass_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void FrmUpdate::setLabelPointer(Qt::CursorShape shape)
{
    LblVerNew->setCursor(shape);
}

void FrmUpdate::setLabelHand()
{
    chrome::SetHandCursor(LblVerNew);
}

void FrmUpdate::pressCaption()
{
    if (state() != 2)
        LblVerNew_Click();
    else
        LblVerNew_MouseDown(Qt::LeftButton);
}

void FrmUpdate::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F5) {
        pressCaption();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        ImgExit_Click();
        return;
    }
    chrome::FramelessWindow::keyPressEvent(event);
}

bool FrmUpdate::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == LblVerNew) {
        if (event->type() == QEvent::MouseButtonPress) {
            LblVerNew_MouseDown(static_cast<QMouseEvent*>(event)->button());
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton && LblVerNew->rect().contains(me->position().toPoint()))
                LblVerNew_Click();
        }
    }
    return chrome::FramelessWindow::eventFilter(watched, event);
}

} // namespace pelorin::update
