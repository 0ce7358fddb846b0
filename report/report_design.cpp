#include "report_design.h"

#include "database.h"

namespace pelorin::report {

ReportControl* ReportBand::FindControl(const QString& controlName)
{
    for (ReportControl& c : controls)
        if (c.name.compare(controlName, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

const ReportControl* ReportBand::FindControl(const QString& controlName) const
{
    return const_cast<ReportBand*>(this)->FindControl(controlName);
}

int ReportData::FieldIndex(const QString& name) const
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QString ReportData::Value(int row, int fieldIndex) const
{
    if (row < 0 || size_t(row) >= rows.size() || fieldIndex < 0) return QString();
    const QVector<QString>& r = rows[size_t(row)];
    return fieldIndex < r.size() ? r[fieldIndex] : QString();
}

ReportData SnapshotRows(const store::Recordset& rs, const std::function<bool(int row)>& keep)
{
    ReportData data;
    if (!rs.IsOpen()) return data;
    data.fields = rs.FieldNames();
    const int columns = int(data.fields.size());
    data.rows.reserve(size_t(rs.RecordCount()));
    for (int row = 0; row < rs.RecordCount(); ++row) {
        if (keep && !keep(row)) continue;
        QVector<QString> values(columns);
        for (int c = 0; c < columns; ++c)
            values[c] = rs.ValueAt(row, c).toString();
        data.rows.push_back(std::move(values));
    }
    return data;
}

ReportBand* ReportDesign::FindBand(const QString& bandName)
{
    for (ReportBand& b : bands)
        if (b.name.compare(bandName, Qt::CaseInsensitive) == 0) return &b;
    return nullptr;
}

const ReportBand* ReportDesign::BandOf(BandKind kind) const
{
    for (const ReportBand& b : bands)
        if (b.kind == kind) return &b;
    return nullptr;
}

} // namespace pelorin::report
