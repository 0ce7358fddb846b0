// The find bar along the bottom edge of the ledger list: a box for the words to find, how many
// loans are shown of how many, and a close image. Right to left, in the window's own colours.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace pelorin::chrome {
class ImageButton;
}

namespace pelorin::ledger {

class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);

    // "12 من 340": shown loans of all loans.
    void SetCount(int shown, int total);

    // The list narrowed to one field's whole value: the caption names the field and the box
    // holds the value, without a textChanged.
    void ShowField(const QString& caption, const QString& value);
    // Back to finding the typed words.
    void ShowWords();

    // Height in logical pixels.
    static constexpr int kHeight = 26;

    QLabel* LblFind = nullptr;
    QLineEdit* TxtFind = nullptr;
    QLabel* LblCount = nullptr;
    chrome::ImageButton* ImgClose = nullptr;

signals:
    void textChanged(const QString& text);
    // Escape or a click on the close image.
    void closeRequested();
    // Enter in the box: the words are complete.
    void submitted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace pelorin::ledger
