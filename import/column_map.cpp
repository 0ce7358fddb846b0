#include "column_map.h"

#include "arabic_normalize.h"

namespace pelorin::importing {

namespace {

constexpr int kIgnored = -2;

struct Name {
    const char16_t* text;
    int column; // a Column, or kIgnored
};

const Name kNames[] = {
    {u"اسم الكتاب", Title},       {u"الكتاب", Title},          {u"عنوان الكتاب", Title},
    {u"العنوان", Title},          {u"title", Title},           {u"book", Title},
    {u"book title", Title},       {u"namebook", Title},        {u"اسم المؤلف", Author},
    {u"المؤلف", Author},          {u"author", Author},         {u"writer", Author},
    {u"namewriter", Author},      {u"اسم المستعير", Borrower}, {u"المستعير", Borrower},
    {u"borrower", Borrower},      {u"nameborrower", Borrower}, {u"تاريخ الإعارة", LoanDate},
    {u"loan date", LoanDate},     {u"dateloan", LoanDate},     {u"تاريخ الرد", ReturnDate},
    {u"return date", ReturnDate}, {u"datereturn", ReturnDate}, {u"مدة الإعارة", kIgnored},
    {u"duration", kIgnored},      {u"timeloan", kIgnored},     {u"الرقم", kIgnored},
    {u"رقم", kIgnored},           {u"number", kIgnored},       {u"#", kIgnored},
};

// Trimmed, inner spaces as one, in the finding's spelling and without case.
QString key(const QString& text)
{
    return find::NormalizeForSearch(text.simplified()).toCaseFolded();
}

// The column a header field names, kIgnored, or -1 for a name not known.
int columnNamed(const QString& text)
{
    const QString k = key(text);
    for (const Name& name : kNames)
        if (k == key(QString::fromUtf16(name.text))) return name.column;
    return -1;
}

} // namespace

QString ColumnCaption(Column column)
{
    switch (column) {
    case Title:
        return QStringLiteral("اسم الكتاب");
    case Author:
        return QStringLiteral("اسم المؤلف");
    case Borrower:
        return QStringLiteral("اسم المستعير");
    case LoanDate:
        return QStringLiteral("تاريخ الإعارة");
    case ReturnDate:
        return QStringLiteral("تاريخ الرد");
    case ColumnCount:
        break;
    }
    return QString();
}

ColumnMap MapColumns(const QStringList& firstRecord)
{
    ColumnMap map;
    for (int f = 0; f < firstRecord.size(); ++f) {
        const int column = columnNamed(firstRecord[f]);
        if (column < 0) continue;
        // A column named twice is read from its first field.
        if (map.field[size_t(column)] < 0) map.field[size_t(column)] = f;
        map.hasHeader = true;
    }
    return map;
}

} // namespace pelorin::importing
