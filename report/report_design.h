// A banded report design: bands from top to bottom of a page, each with labels and fields
// placed in twips, and the result set whose rows feed the detail band.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace pelorin::store {
class Recordset;
}

namespace pelorin::report {

enum class BandKind { ReportHeader, PageHeader, Detail, PageFooter, ReportFooter };
enum class ControlKind { Label, Field };

struct ReportControl {
    QString name;
    ControlKind kind = ControlKind::Label;
    int left = 0, top = 0, width = 0, height = 0; // twips, from the band's top left corner
    QString caption;                              // labels
    QString dataField;                            // fields: the column of the data source
    qreal fontSize = 8.25;
    bool bold = false;
    std::optional<QColor> backColor; // none: transparent
    Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter;
};

struct ReportBand {
    QString name;
    BandKind kind = BandKind::Detail;
    int height = 0; // twips
    std::vector<ReportControl> controls;

    // Finds a control by name, ignoring case; nullptr when there is none.
    ReportControl* FindControl(const QString& controlName);
    const ReportControl* FindControl(const QString& controlName) const;
};

// The rows of a data source, copied once per rendering so that the preview can paint its
// pages again (after a page set-up change) without moving the shared result set.
struct ReportData {
    QStringList fields;
    std::vector<QVector<QString>> rows;

    int FieldIndex(const QString& name) const;
    // The text of a field of a row; empty for a null value or an unknown field.
    QString Value(int row, int fieldIndex) const;
};

// The rows of the set, or only those for which keep (given a row of the set) is true.
ReportData SnapshotRows(const store::Recordset& rs, const std::function<bool(int row)>& keep = {});

struct ReportDesign {
    int reportWidth = 0; // twips
    int leftMargin = 0, rightMargin = 0, topMargin = 0, bottomMargin = 0;
    qreal defaultFontSize = 8.25;
    std::vector<ReportBand> bands; // in page order

    // The preview window.
    QString caption;
    int previewWidth = 0, previewHeight = 0; // twips, client area

    // The rows of the detail band; bound fields of the other bands read no data.
    std::shared_ptr<store::Recordset> dataSource;

    // Finds a band by name, ignoring case; nullptr when there is none.
    ReportBand* FindBand(const QString& bandName);
    const ReportBand* BandOf(BandKind kind) const;
};

} // namespace pelorin::report
