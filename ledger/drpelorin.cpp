#include "drpelorin.h"

namespace pelorin::ledger {

using namespace report;

namespace {

const QColor kSilver(192, 192, 192);
const QColor kLightGrey(224, 224, 224);
constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignVCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

ReportControl label(const char* name, int left, int top, int width, int height, const QString& caption,
                    qreal size, std::optional<QColor> back)
{
    ReportControl c;
    c.name = QString::fromLatin1(name);
    c.kind = ControlKind::Label;
    c.left = left, c.top = top, c.width = width, c.height = height;
    c.caption = caption;
    c.fontSize = size;
    c.bold = true;
    c.backColor = back;
    c.alignment = kCentred;
    return c;
}

ReportControl field(const char* name, int left, int width, const char* dataField, std::optional<QColor> back)
{
    ReportControl c;
    c.name = QString::fromLatin1(name);
    c.kind = ControlKind::Field;
    c.left = left, c.top = 0, c.width = width, c.height = 300;
    c.dataField = QString::fromLatin1(dataField);
    c.fontSize = 11.25;
    c.bold = false;
    c.backColor = back;
    c.alignment = kRight; // Arabic text starts at the right edge of its column
    return c;
}

} // namespace

ReportDesign MakeDRPelorin()
{
    ReportDesign d;
    d.reportWidth = 11300;
    d.leftMargin = d.rightMargin = 200;
    d.topMargin = d.bottomMargin = 600;
    d.defaultFontSize = 8.25;
    d.caption = QStringLiteral("Pelorin - معاينة قبل الطباعة");
    d.previewWidth = 15240;
    d.previewHeight = 11010;

    ReportBand reportHeader{QStringLiteral("Section4"), BandKind::ReportHeader, 1230, {}};
    reportHeader.controls.push_back(
        label("LblMain", 3402, 0, 5100, 405, QStringLiteral("LblMain"), 15.75, kSilver));
    reportHeader.controls.push_back(label("LblDuration", 3402, 540, 5100, 390,
                                          QStringLiteral("قائمة بأسماء الكتب المعارة"), 15.75, std::nullopt));

    // Columns run from right to left: the title at the right edge, the duration at the left.
    ReportBand pageHeader{QStringLiteral("Section2"), BandKind::PageHeader, 330, {}};
    pageHeader.controls.push_back(
        label("Label2", 8780, 0, 2010, 285, QStringLiteral("اسم الكتاب"), 12, kLightGrey));
    pageHeader.controls.push_back(
        label("Label3", 7053, 0, 1720, 285, QStringLiteral("اسم المؤلف"), 12, kLightGrey));
    pageHeader.controls.push_back(
        label("Label4", 5353, 0, 1700, 285, QStringLiteral("اسم المستعير"), 12, kLightGrey));
    pageHeader.controls.push_back(
        label("Label5", 4168, 0, 1200, 285, QStringLiteral("تاريخ الإعارة"), 12, kLightGrey));
    pageHeader.controls.push_back(
        label("Label8", 2968, 0, 1200, 285, QStringLiteral("تاريخ الرد"), 12, kLightGrey));
    pageHeader.controls.push_back(
        label("Label9", 567, 0, 2405, 285, QStringLiteral("مدة الإعارة"), 12, kLightGrey));

    ReportBand detail{QStringLiteral("Section1"), BandKind::Detail, 300, {}};
    detail.controls.push_back(field("Text1", 8780, 2000, "NameBook", kLightGrey));
    detail.controls.push_back(field("Text2", 7053, 1720, "NameWriter", std::nullopt));
    detail.controls.push_back(field("Text3", 5353, 1700, "NameBorrower", std::nullopt));
    detail.controls.push_back(field("Text4", 4168, 1190, "DateLoan", std::nullopt));
    detail.controls.push_back(field("Text7", 2968, 1200, "DateReturn", std::nullopt));
    detail.controls.push_back(field("Text8", 567, 2405, "TimeLoan", std::nullopt));

    d.bands.push_back(std::move(reportHeader));
    d.bands.push_back(std::move(pageHeader));
    d.bands.push_back(std::move(detail));
    d.bands.push_back(ReportBand{QStringLiteral("Section3"), BandKind::PageFooter, 225, {}});
    d.bands.push_back(ReportBand{QStringLiteral("Section5"), BandKind::ReportFooter, 630, {}});
    return d;
}

ReportDesign& DRPelorin()
{
    static ReportDesign design = MakeDRPelorin();
    return design;
}

} // namespace pelorin::ledger
