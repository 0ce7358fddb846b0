#include "find_bar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "image_button.h"
#include "pressable.h"
#include "style.h"

namespace pelorin::ledger {

namespace {

const QString kFindCaption = QStringLiteral("بحث :");

const QString kBarStyle =
    QStringLiteral("QWidget#FindBar { background: rgb(128,0,128); border-top: 1px solid rgb(200,140,200); }"
                   "QLabel { color: white; background: transparent; }");

} // namespace

FindBar::FindBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FindBar"));
    setAttribute(Qt::WA_StyledBackground);
    setLayoutDirection(Qt::RightToLeft);
    setStyleSheet(kBarStyle + chrome::EntryStyleSheet());
    setFixedHeight(kHeight);

    LblFind = new QLabel(kFindCaption, this);
    LblFind->setFont(chrome::ArabicFont(8.25));
    TxtFind = new QLineEdit(this);
    TxtFind->setObjectName(QStringLiteral("TxtFind"));
    TxtFind->setFont(chrome::ArabicFont(9.75));
    TxtFind->setFixedSize(260, 20);
    TxtFind->setClearButtonEnabled(false);
    TxtFind->setToolTip(QStringLiteral("اكتب كلمة أو أكثر من العنوان أو المؤلف أو المستعير أو التاريخ"));
    LblCount = new QLabel(this);
    LblCount->setObjectName(QStringLiteral("LblCount"));
    LblCount->setFont(chrome::ArabicFont(8.25));
    LblCount->setToolTip(QStringLiteral("الإعارات الظاهرة من مجموع الإعارات"));
    // Wide enough for the largest ledgers, so that the box does not move as the count changes.
    LblCount->setMinimumWidth(
        LblCount->fontMetrics().horizontalAdvance(QStringLiteral("0000000 من 0000000")));
    const QSize closeSize(16, 15);
    ImgClose = new chrome::ImageButton(chrome::Picture(QStringLiteral("exit_up"), closeSize),
                                       chrome::Picture(QStringLiteral("exit_down"), closeSize), this);
    ImgClose->setObjectName(QStringLiteral("ImgClose"));
    ImgClose->setFixedSize(closeSize);
    ImgClose->setToolTip(QStringLiteral("إغلاق البحث وإظهار كل الإعارات"));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 2, 8, 2);
    row->setSpacing(8);
    row->addWidget(LblFind);
    row->addWidget(TxtFind);
    row->addWidget(LblCount);
    row->addStretch(1);
    row->addWidget(ImgClose);

    // Escape closes the bar wherever the focus is in the window, while the bar is shown.
    auto* escape = new QAction(this);
    escape->setShortcut(QKeySequence(Qt::Key_Escape));
    escape->setShortcutContext(Qt::WindowShortcut);
    addAction(escape);
    connect(escape, &QAction::triggered, this, &FindBar::closeRequested);

    // Enter must not reach the window, where it would press the default button (Add).
    TxtFind->installEventFilter(this);
    TxtFind->setAccessibleName(QStringLiteral("بحث في القائمة"));
    // The count is read with its caption, and read out again as typing changes it.
    chrome::MarkCaptionedValue(LblCount, QStringLiteral("عدد الإعارات الظاهرة"));
    chrome::MarkStatusLine(LblCount);
    // Read as every close image is; its tool tip says what closing the bar does.
    ImgClose->setAccessibleName(QStringLiteral("إغلاق"));

    connect(TxtFind, &QLineEdit::textChanged, this, &FindBar::textChanged);
    connect(ImgClose, &chrome::ImageButton::clicked, this, &FindBar::closeRequested);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TxtFind && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit submitted();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::ShowField(const QString& caption, const QString& value)
{
    TxtFind->blockSignals(true);
    TxtFind->setText(value);
    TxtFind->blockSignals(false);
    LblFind->setText(caption);
}

void FindBar::ShowWords()
{
    LblFind->setText(kFindCaption);
}

void FindBar::SetCount(int shown, int total)
{
    LblCount->setText(QStringLiteral("%1 من %2").arg(shown).arg(total));
}

} // namespace pelorin::ledger
