// The update check: one label starts the check, reports its outcome, and becomes the link to
// the download page when a newer version is published. While the check runs, a bar shows the
// share of the time budget used and the window takes no input.
//
// The version file is read from the built-in update server (the PELORIN_UPDATE_BASE build
// option plus "/myfiles/Pelorin.txt"). Tests and local trials point the window elsewhere with
// setVersionFileUrl() before the check starts.
#pragma once

#include <QByteArray>
#include <QString>

#include "frameless_window.h"

class QFrame;
class QGroupBox;
class QLabel;
class QTimer;

namespace pelorin::update {

class Download;

class FrmUpdate : public chrome::FramelessWindow {
    Q_OBJECT
public:
    explicit FrmUpdate(QWidget* parent);
    ~FrmUpdate() override;

    static constexpr double kRunningVersion = 1.01;
    static constexpr int kTimeBudgetTicks = 100;
    static constexpr int kTickMilliseconds = 250;
    static QString DefaultVersionFileUrl();
    static QString ReadKey() { return QStringLiteral("testfile.txt"); }

    void setVersionFileUrl(const QString& url) { versionFileUrl_ = url; }
    QString versionFileUrl() const { return versionFileUrl_; }

    QGroupBox* FrameUpdate = nullptr;
    QLabel* LblVerNew = nullptr;
    QFrame* picProgress = nullptr;
    QLabel* lblProgress = nullptr;
    QLabel* LblPrgressNum = nullptr;
    QFrame* ShpProgress = nullptr;
    // Its interval is set once here; tests may lengthen it and call TmrTimeEnd_Timer by hand.
    QTimer* TmrTimeEnd = nullptr;
    Download* Download1 = nullptr;

    // "1" ready, "2" checking or link shown, "3" server problem, "4" up to date, "5" offline.
    QString UpdateState = QStringLiteral("1");
    QString VerNew;
    QString UrlNew;
    qint16 TimeCount = 0;
    bool TimeEnd = false;

    void LblVerNew_Click();
    void LblVerNew_MouseDown(Qt::MouseButton button);
    void TmrTimeEnd_Timer();
    void Download1_DownloadComplete(const QString& key, const QByteArray& data, qint32 readType);
    void Download1_DownloadError(const QString& key, qint32 code, const QString& description);
    void Download1_DownloadProgress(const QString& key, qint32 bytesRead, qint32 bytesMax, qint32 statusCode,
                                    const QString& status);
    bool IsConnected();

    // Width of the growing bar in twips (the bar itself is placed in pixels).
    int progressWidthTwips() const { return progressWidthTwips_; }
    bool screenPointerIsHourglass() const { return screenHourglass_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int state() const { return UpdateState.toInt(); }
    // The check is over: the message line comes back in place of the bar.
    void showOutcome(const QString& caption, const QString& toolTip);
    void openDownloadPage();
    // What F5, Space or Enter on the caption do: start the check, or open the download page.
    void pressCaption();
    void setScreenHourglass(bool on);
    void setLabelPointer(Qt::CursorShape shape);
    void setLabelHand();

    QString versionFileUrl_;
    int progressWidthTwips_ = 0;
    bool screenHourglass_ = false;
};

} // namespace pelorin::update
