#include "mmain.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "frm_file_install.h"
#include "frm_main.h"
#include "frm_no_arabin.h"
#include "mdata.h"
#include "opening.h"
#include "platform.h"
#include "restore_offer.h"
#include "start_trace.h"

namespace pelorin::startup::MMain {

namespace {

// Traces the end of the window's first paint: the paint event reaches the window first, and
// its children paint in the same pass, before the next queued call.
class FirstPaint : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched == parent()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                start_trace::Step("first paint");
                deleteLater();
            });
        }
        return false;
    }
};

// Builds the window and runs prepare (its load handling) before showing it, so that a load
// that ends the program, or keeps it busy, never leaves an empty window on the screen.
template <class Window, class Prepare> Window* ShowModeless(Prepare prepare)
{
    auto* w = new Window;
    w->setAttribute(Qt::WA_DeleteOnClose);
    start_trace::Step("window built");
    // A long load shows the window itself, with its progress.
    if (start_trace::On()) w->installEventFilter(new FirstPaint(w));
    prepare(*w);
    w->show();
    start_trace::Step("shown");
    return w;
}

template <class Window> Window* ShowModeless()
{
    return ShowModeless<Window>([](Window&) {});
}

} // namespace

QString LanguageCode(quint16 langId)
{
    return QString::number(langId, 16).toUpper().right(2);
}

double SettingNumber(const QString& text, int fallback)
{
    // "1", " 1 " and "1.0" all mean one; anything that is no number keeps the default, so a
    // damaged settings file neither blocks the program nor sends it down the first-run path.
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !qIsFinite(value) || value > 1e9 || value < -1e9) return fallback;
    return value;
}

double ReadSettingNumber(const QString& key, int fallback)
{
    return SettingNumber(platform().getSetting(kSection, key, QString::number(fallback)), fallback);
}

void CheckPrevInstance()
{
    if (ReadSettingNumber(kAsAdmin, 1) == 1) platform().endProgram(0);
    platform().saveSetting(kSection, kAsAdmin, QStringLiteral("1"));
}

void RunAsAdmin(const QString& FileName)
{
    // Nobody waits for the elevated copy; a refused consent simply leaves nothing running.
    platform().runAsAdmin(FileName);
}

void Main()
{
    store::MData::DbPassword = store::MData::kPassword;

    if (platform().previousInstance())
        CheckPrevInstance();
    else
        platform().saveSetting(kSection, kAsAdmin, QStringLiteral("1"));
    start_trace::Step("single-instance check");

    // The notice says the computer cannot show Arabic; that is a matter of fonts, not of the
    // session's language.
    const bool arabic = platform().canShowArabic();
    start_trace::Step("fonts and the language check");
    if (!arabic) {
        ledger::Opening::Abandon();
        ShowModeless<FrmNoArabin>();
        return;
    }

    if (ReadSettingNumber(kInstall, 0) != 1) {
        ledger::Opening::Abandon();
        if (!platform().isAdmin()) {
            platform().saveSetting(kSection, kAsAdmin, QStringLiteral("0"));
            RunAsAdmin(platform().appFolder() + kExecutableName);
            platform().endProgram(0);
        }
        ShowModeless<FrmFileInstall>();
        return;
    }

    ShowModeless<ledger::FrmMain>([](ledger::FrmMain& ledger) {
        // While the ledger loads, a file that cannot be opened may be replaced by a backup.
        struct Offer {
            Offer() { store::MData::SetOpenFailureHandler(OfferRestore); }
            ~Offer() { store::MData::SetOpenFailureHandler({}); }
        } offer;
        ledger.Form_Load();
    });
    // Written only once the ledger has loaded: a load that ends the program leaves step 2's value.
    platform().saveSetting(kSection, kAsAdmin, QStringLiteral("1"));
}

} // namespace pelorin::startup::MMain
