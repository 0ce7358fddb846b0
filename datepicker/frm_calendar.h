// The modal dialog in which the loan date or the return date of the entry is chosen.
#pragma once

#include "frameless_window.h"

class QComboBox;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pelorin::datepicker {

// Which ledger label Save fills: 1 = loan date, 2 = return date; anything else writes nothing.
extern int CalendarTarget;
// Something in the year box may bring clipboard text in: the next change of the box filters it.
extern bool PastePending;

inline const QString kNotReturnedMarker = QStringLiteral("لم يرد بعد");

class FrmCalendar : public chrome::FramelessWindow {
    Q_OBJECT
public:
    // Writes the chosen date (or the not-returned marker) into the label of the target on Save.
    FrmCalendar(QLabel* lblDateLoan, QLabel* lblDateReturn, QWidget* parent = nullptr);

    void RefreshDayList();

    // Handlers
    void CmbMonthConvert_Click();
    void CmbDayConvert_Click();
    void OptNo_Click();
    void OptYes_Click();
    void CmdSave_Click();
    void CmdCancel_Click();

    // Controls, public so that tests can drive them.
    QGroupBox* FrameCalendar = nullptr;
    QRadioButton* OptNo = nullptr;
    QRadioButton* OptYes = nullptr;
    QLineEdit* TxtYearConvert = nullptr;
    QComboBox* CmbMonthConvert = nullptr;
    QComboBox* CmbDayConvert = nullptr;
    QLabel* LblDay = nullptr;
    QLabel* LblDateConvert[3] = {};
    QFrame* ShpStatut = nullptr;
    QFrame* ShapeDate = nullptr;
    QLabel* LblDate = nullptr;
    QLabel* LblStutConvert = nullptr;
    QPushButton* CmdSave = nullptr;
    QPushButton* CmdCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void applyLoanLayout();
    void selectMonth(int index);
    void selectDay(int index);
    void buildDateText();
    void setInputsEnabled(bool enabled);

    // Year box events; each but the focus ones ends with a day-list refresh.
    void yearKeyDown(const QKeyEvent* e);
    bool yearKeyPress(const QKeyEvent* e); // false: the key is dropped
    void yearChange();
    void yearLostFocus();

    QLabel* lblDateLoan_ = nullptr;
    QLabel* lblDateReturn_ = nullptr;
};

} // namespace pelorin::datepicker
