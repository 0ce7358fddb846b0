#include "statements.h"

#include <QStringList>

namespace pelorin::store::sql {

QString SortStatement(const QString& column, bool ascending)
{
    static const QStringList columns = {
        QStringLiteral("NameBook"), QStringLiteral("NameWriter"), QStringLiteral("NameBorrower"),
        QStringLiteral("DateLoan"), QStringLiteral("DateReturn"), QStringLiteral("TimeLoan"),
        QStringLiteral("ID")};
    const QString key = columns.contains(column) ? column : QStringLiteral("ID");
    return kAllBooks + QStringLiteral(" ORDER BY TableBook.") + key + QLatin1Char(' ') +
           (ascending ? QStringLiteral(" ASC ") : QStringLiteral(" DESC ")) +
           QStringLiteral(" ,TableBook.NameBook asc ");
}

} // namespace pelorin::store::sql
