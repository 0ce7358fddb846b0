#include "access_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "access_protocol.h"

namespace pelorin::importing {

namespace {

const QString kTableBook = QStringLiteral("TableBook");
const QString kTableSetting = QStringLiteral("TableSetting");

// Why the reader gave no table, in Arabic; empty when it did.
QString failure(const LimitedRun& run, const QString& table)
{
    if (!run.started)
        return QStringLiteral("تعذر تشغيل قارئ ملفات Access الذي يُثبَّت بجانب البرنامج (%1: %2)")
            .arg(QDir::toNativeSeparators(AccessReaderProgram()), run.startError);
    if (run.timedOut)
        return QStringLiteral("لم تنتهِ قراءة الملف في %1 ثانية؛ قد يكون الملف تالفًا")
            .arg(AccessReaderLimits().seconds);
    if (run.tooMuch || run.crashed)
        return QStringLiteral("توقف قارئ ملفات Access فجأة وهو يقرأ هذا الملف؛ يبدو أن الملف تالف");
    switch (run.exitCode) {
    case access::kRead:
        return QString();
    case access::kNotAccess:
        return QStringLiteral("ليس الملف قاعدة بيانات Access تمكن قراءتها، أو أن فهرس جداوله تالف");
    case access::kNoTable:
        return QStringLiteral("لا جدول باسم «%1» في الملف").arg(table);
    case access::kOldVersion:
        return QStringLiteral("الملف من إصدار Access 97، ولا تُقرأ إلا ملفات Access 2000 وما بعده");
    case access::kTooLong:
        return QStringLiteral("في الجدول قيمة أطول من مليون حرف");
    default:
        return QStringLiteral("توقف قارئ ملفات Access برمز الخطأ %1").arg(run.exitCode);
    }
}

const QString kGarbled = QStringLiteral("أخرج قارئ ملفات Access ما لا يُفهم");

// The reader's records (access_protocol.h), read as they come: each time, every record the
// reader has ended, while it goes on writing. Each record's line is its place: the column names
// 0, the rows from 1.
class RecordStream {
public:
    void take(QByteArray& pending)
    {
        const qsizetype end = pending.lastIndexOf(access::kRecordEnd) + 1;
        if (end == 0) return;
        read(QByteArrayView(pending.constData(), end));
        pending.remove(0, end);
    }
    // The records, every one as wide as the first; false when the output was not the reader's.
    bool finish(QByteArray& rest, bool sameWidth, QList<Record>& into)
    {
        take(rest);
        ok_ = ok_ && rest.isEmpty();
        if (sameWidth)
            for (const Record& r : records_)
                ok_ = ok_ && r.fields.size() == records_.constFirst().fields.size();
        if (ok_) into = std::move(records_);
        return ok_;
    }

private:
    void read(QByteArrayView bytes)
    {
        const QString text = QString::fromUtf8(bytes);
        for (QStringView rest(text); ok_ && !rest.isEmpty();) {
            const qsizetype end = rest.indexOf(QChar(access::kRecordEnd));
            const QStringView record = rest.first(end);
            rest = rest.sliced(end + 1);
            // Every field, the last too, is ended.
            ok_ = record.isEmpty() || record.back() == QChar(access::kFieldEnd);
            Record r{int(records_.size()), {}};
            r.fields.reserve(records_.isEmpty() ? 8 : records_.constFirst().fields.size());
            for (qsizetype from = 0; from < record.size();) {
                const qsizetype to = record.indexOf(QChar(access::kFieldEnd), from);
                r.fields.append(record.sliced(from, to - from).toString());
                from = to + 1;
            }
            records_.append(std::move(r));
        }
    }
    QList<Record> records_;
    bool ok_ = true;
};

LimitedRun runReader(const QStringList& arguments, const std::atomic<bool>* stop,
                     const OutputReader& reader = {})
{
    return RunLimited(AccessReaderProgram(), arguments, AccessReaderLimits(), stop, reader);
}

} // namespace

QString& AccessReaderProgram()
{
    static QString program =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("pelorin_access_reader"));
    return program;
}

ProcessLimits& AccessReaderLimits()
{
    static ProcessLimits limits;
    return limits;
}

bool IsAccessFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"mdb" || suffix == u"accdb") return true;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(20);
    return head.mid(4) == QByteArrayLiteral("Standard Jet DB\0") ||
           head.mid(4) == QByteArrayLiteral("Standard ACE DB\0");
}

AccessTables ListAccessTables(const QString& path, const std::atomic<bool>* stop)
{
    AccessTables result;
    LimitedRun run = runReader({path}, stop);
    result.stopped = run.stopped;
    if (result.stopped) return result;
    result.error = failure(run, QString());
    if (!result.error.isEmpty()) return result;
    // Each record: the name, the row count, the column names.
    RecordStream stream;
    QList<Record> list;
    if (!stream.finish(run.out, false, list)) {
        result.error = kGarbled;
        return result;
    }
    for (const Record& r : list) {
        bool number = false;
        AccessTable table{r.fields.value(0), r.fields.value(1).toLongLong(&number), r.fields.mid(2)};
        if (r.fields.size() < 2 || !number) {
            result.error = kGarbled;
            return result;
        }
        result.tables.append(table);
    }
    if (result.tables.isEmpty()) result.error = QStringLiteral("لا جداول في الملف");
    return result;
}

qsizetype FirstLoanTable(const QList<AccessTable>& tables)
{
    for (qsizetype t = 0; t < tables.size(); ++t)
        if (tables[t].name.compare(kTableBook, Qt::CaseInsensitive) == 0) return t;
    for (qsizetype t = 0; t < tables.size(); ++t) {
        const ColumnMap map = MapColumns(tables[t].columns);
        if (map.field[Title] >= 0 && map.field[LoanDate] >= 0) return t;
    }
    return tables.isEmpty() ? -1 : 0;
}

ParsedFile ReadAccessTable(const QString& path, const QString& table, const std::atomic<bool>* stop)
{
    ParsedFile file;
    RecordStream stream;
    LimitedRun run = runReader({path, table}, stop, [&stream](QByteArray& pending) { stream.take(pending); });
    file.stopped = run.stopped;
    if (file.stopped) return file;
    file.error = failure(run, table);
    if (!file.error.isEmpty()) return file;
    // The reader's last word: the rows read and the rows the table counts.
    const QList<QByteArray> counts =
        run.err.mid(run.err.lastIndexOf(QByteArray("\n") + access::kRowsLine) + 1).trimmed().split(' ');
    bool readOk = false, storedOk = false;
    const qint64 read = counts.value(1).toLongLong(&readOk);
    const qint64 stored = counts.value(2).toLongLong(&storedOk);
    if (!stream.finish(run.out, true, file.records) || file.records.isEmpty() || counts.value(0) != "rows" ||
        !readOk || !storedOk || read != file.records.size() - 1) {
        file.records.clear();
        file.error = kGarbled;
        return file;
    }
    if (read != stored)
        file.warning =
            QStringLiteral("عدد الصفوف المقروءة من الجدول %1، والملف يذكر أن فيه %2؛ في الملف صفحات لا تُقرأ")
                .arg(read)
                .arg(stored);
    file.map = MapColumns(file.records.constFirst().fields);
    file.map.hasHeader = true;
    return file;
}

QString AccessLibraryName(const QString& path, const QList<AccessTable>& tables,
                          const std::atomic<bool>* stop)
{
    for (const AccessTable& t : tables) {
        if (t.name.compare(kTableSetting, Qt::CaseInsensitive) != 0) continue;
        const int column = int(t.columns.indexOf(QStringLiteral("NameLibrary")));
        if (column < 0 || t.rows == 0) return QString();
        const ParsedFile setting = ReadAccessTable(path, t.name, stop);
        if (!setting.error.isEmpty() || setting.records.size() < 2) return QString();
        return setting.records[1].fields.value(column).trimmed();
    }
    return QString();
}

} // namespace pelorin::importing
