#include "csv_reader.h"

#include <array>
#include <map>

#include "csv_document.h"

namespace pelorin::importing {

namespace {

// How many records the separator is guessed from.
constexpr int kSampleRecords = 50;

ReadResult failure(QString error, int line)
{
    ReadResult r;
    r.error = std::move(error);
    r.errorLine = line;
    return r;
}

QString tooLong(int line)
{
    return QStringLiteral("في السطر %1 خانة أطول من 1 ميغابايت").arg(line);
}

} // namespace

QChar DetectSeparator(QStringView text)
{
    constexpr std::array<char16_t, 3> candidates = {u',', u';', u'\t'};
    std::array<QList<int>, 3> counts;
    std::array<int, 3> current = {0, 0, 0};
    bool inQuotes = false;
    bool blank = true;
    int records = 0;
    auto endRecord = [&] {
        if (!blank) {
            for (size_t k = 0; k < candidates.size(); ++k)
                counts[k].append(current[k]);
            ++records;
        }
        current = {0, 0, 0};
        blank = true;
    };
    for (qsizetype i = 0; i < text.size() && records < kSampleRecords; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'"') inQuotes = !inQuotes;
        if (inQuotes) continue;
        if (c == u'\n' || c == u'\r') {
            endRecord();
            continue;
        }
        blank = false;
        for (size_t k = 0; k < candidates.size(); ++k)
            if (c == candidates[k]) ++current[k];
    }
    endRecord();

    // The candidate whose most common count (above zero) is shared by the most records; on a
    // tie, the one splitting records into more fields, then the earlier in the list.
    int best = 0, bestAgreeing = 0, bestFields = 0;
    for (size_t k = 0; k < candidates.size(); ++k) {
        std::map<int, int> byCount;
        for (int n : counts[k])
            if (n > 0) ++byCount[n];
        for (const auto& [fields, agreeing] : byCount) {
            if (agreeing > bestAgreeing || (agreeing == bestAgreeing && fields > bestFields)) {
                best = int(k);
                bestAgreeing = agreeing;
                bestFields = fields;
            }
        }
    }
    return QChar(candidates[size_t(best)]);
}

ReadResult ReadRecords(QStringView text, QChar separator, const std::atomic<bool>* stop)
{
    if (text.contains(QChar(u'\0')))
        return failure(QStringLiteral("الملف ليس نصًا: فيه بايتات ثنائية (NUL)"), 0);

    ReadResult result;
    const char16_t sep = separator.unicode();
    const qsizetype n = text.size();
    qsizetype i = 0;
    int line = 1;
    Record record{1, {}};
    QString field;
    bool recordEmpty = true; // nothing read since the record began

    auto endField = [&] {
        if (field.size() >= 2 && field.front() == u'\'' && csv::StartsFormula(QStringView(field).mid(1)))
            field.remove(0, 1);
        record.fields.append(field);
        field.clear();
    };
    auto endRecord = [&] {
        endField();
        if (!recordEmpty) result.records.append(record);
        if (stop && (result.records.size() & 1023) == 0 && stop->load(std::memory_order_relaxed))
            result.stopped = true;
        const qsizetype width = record.fields.size();
        record = Record{line, {}};
        // Records of a file are as wide as each other, mostly: one allocation each.
        record.fields.reserve(width);
        recordEmpty = true;
    };

    while (i < n && !result.stopped) {
        const char16_t c = text[i].unicode();
        if (c == u'"' && field.isEmpty()) {
            // A quoted field, up to the quote that is not written twice.
            const int startLine = line;
            recordEmpty = false;
            ++i;
            for (;;) {
                if (i >= n)
                    return failure(
                        QStringLiteral("علامة الاقتباس المفتوحة في السطر %1 لا تُغلق").arg(startLine),
                        startLine);
                const char16_t q = text[i].unicode();
                if (q == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        field.append(u'"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (q == u'\n' || (q == u'\r' && (i + 1 >= n || text[i + 1] != u'\n'))) ++line;
                field.append(QChar(q));
                ++i;
                if (field.size() > kMaxFieldChars) return failure(tooLong(startLine), startLine);
            }
            continue;
        }
        if (c == sep) {
            recordEmpty = false;
            endField();
            ++i;
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            i += (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
            ++line;
            endRecord();
            continue;
        }
        // Plain text up to the next character that means something.
        qsizetype end = i + 1;
        while (end < n) {
            const char16_t e = text[end].unicode();
            if (e == sep || e == u'\r' || e == u'\n') break;
            ++end;
        }
        field.append(text.mid(i, end - i));
        recordEmpty = false;
        if (field.size() > kMaxFieldChars) return failure(tooLong(line), line);
        i = end;
    }
    if (result.stopped) return ReadResult{{}, QString(), 0, true};
    endRecord();
    return result;
}

} // namespace pelorin::importing
