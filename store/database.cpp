#include "database.h"

#include "engine.h"

#include <QRegularExpression>

#include <sqlite3.h>

namespace pelorin::store {

namespace {

const QString kClosedText = QStringLiteral("Operation is not allowed when the object is closed.");
const QString kRowGoneText = QStringLiteral(
    "Row cannot be located for updating. Some values may have been changed since it was last read.");

long errorNumberFor(int code)
{
    return code == SQLITE_NOTADB ? kErrAuthentication : kErrEngine;
}

QString quoted(const QString& identifier)
{
    QString s = identifier;
    s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

void bindValue(sqlite3_stmt* st, int index, const QVariant& v)
{
    if (v.isNull()) {
        sqlite3_bind_null(st, index);
    } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong) {
        sqlite3_bind_int64(st, index, v.toLongLong());
    } else {
        const QString s = v.toString();
        sqlite3_bind_text16(st, index, s.utf16(), int(s.size() * 2), SQLITE_TRANSIENT);
    }
}

void bindText(sqlite3_stmt* st, int index, QStringView s)
{
    if (s.isNull())
        sqlite3_bind_null(st, index);
    else
        sqlite3_bind_text16(st, index, s.utf16(), int(s.size() * 2), SQLITE_TRANSIENT);
}

// A column of the current row into the table: null, a whole number written as the engine
// writes it, or its text (empty, not null, when it has no bytes).
void appendColumn(TextTable& table, sqlite3_stmt* st, int col)
{
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_NULL:
        return table.AppendUtf8(nullptr, 0);
    case SQLITE_INTEGER:
        return table.AppendInteger(sqlite3_column_int64(st, col));
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        table.AppendUtf8(text ? text : "", text ? sqlite3_column_bytes(st, col) : 0);
    }
    }
}

QString columnText(sqlite3_stmt* st, int col)
{
    if (sqlite3_column_type(st, col) == SQLITE_NULL) return QString();
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    const int bytes = sqlite3_column_bytes(st, col);
    if (bytes == 0) return QString(QLatin1String("")); // empty, not null
    return QString::fromUtf8(text, bytes);
}

} // namespace

// ---------------------------------------------------------------- connection text

ConnectionParts ParseConnectionText(const QString& text)
{
    // The program's folder may have a ";" in its name: a piece that is no "key=value" (or whose
    // "key" is a path) goes on with the value before it.
    // Blank pieces (a text ending in ";") go on only when more of the value follows them.
    QList<QPair<QString, QString>> pairs;
    QString blanks;
    for (const QString& part : text.split(QLatin1Char(';'))) {
        const int eq = part.indexOf(QLatin1Char('='));
        const QString key = eq < 0 ? QString() : part.left(eq);
        const bool continues = eq < 0 || key.contains(QLatin1Char('/')) || key.contains(QLatin1Char('\\'));
        if (!continues) {
            blanks.clear();
            pairs.append({key.trimmed().toLower(), part.mid(eq + 1)});
        } else if (part.trimmed().isEmpty()) {
            blanks += QLatin1Char(';') + part;
        } else if (!pairs.isEmpty()) {
            pairs.last().second += blanks + QLatin1Char(';') + part;
            blanks.clear();
        }
    }
    ConnectionParts out;
    for (const auto& [key, value] : pairs) {
        if (key == QLatin1String("data source")) {
            out.dataSource = value.trimmed();
            out.dataSource.replace(QLatin1Char('\\'), QLatin1Char('/'));
        } else if (key == QLatin1String("jet oledb:database password") || key == QLatin1String("password")) {
            out.password = value;
            out.hasPassword = true;
        }
    }
    return out;
}

void ReleasePooledHandles()
{
    ClearEnginePool();
}

// ---------------------------------------------------------------- connection

Connection::Connection() = default;
Connection::~Connection() = default;

bool Connection::Open(const QString& connectionText, const QString& user, const QString& password)
{
    Q_UNUSED(user);
    Q_UNUSED(password);
    const QString text = connectionText.isEmpty() ? lastText_ : connectionText;
    engine_.reset();
    if (text.isEmpty()) {
        SetError(kErrEngine, QStringLiteral("No connection text was given."));
        return false;
    }
    const ConnectionParts parsed = ParseConnectionText(text);
    OpenResult r =
        OpenEngine(parsed.dataSource, parsed.hasPassword && !parsed.password.isEmpty(), parsed.password);
    if (r.code != SQLITE_OK) {
        SetError(errorNumberFor(r.code), r.message);
        error_.engineCode = r.code;
        error_.systemError = r.systemError;
        return false;
    }
    engine_ = std::move(r.handle);
    lastText_ = text;
    path_ = parsed.dataSource;
    return true;
}

void Connection::Close()
{
    engine_.reset();
}

bool Connection::IsOpen() const
{
    return engine_ != nullptr;
}

sqlite3* Connection::Handle() const
{
    return engine_ ? engine_->db() : nullptr;
}

QString ErrorInfo::Told() const
{
    if (description.isEmpty()) return {};
    return Explained(engineCode ? EngineCause(engineCode, systemError) : Cause::Unknown, description);
}

void Connection::SetError(long number, const QString& description)
{
    error_ = {number, description};
}

ErrorInfo EngineErrorOf(sqlite3* db)
{
    const int code = db ? sqlite3_errcode(db) : SQLITE_MISUSE;
    ErrorInfo e{errorNumberFor(code), QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code))};
    e.engineCode = code;
    e.systemError = db ? sqlite3_system_errno(db) : 0;
    return e;
}

ErrorInfo RowGoneError()
{
    return {kErrRowGone, kRowGoneText};
}

void Connection::SetEngineError()
{
    error_ = EngineErrorOf(Handle());
}

bool Connection::BeginTrans()
{
    if (!Handle()) return SetError(kErrNotOpen, kClosedText), false;
    if (sqlite3_exec(Handle(), "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        return SetEngineError(), false;
    return true;
}

bool Connection::CommitTrans()
{
    if (!Handle()) return SetError(kErrNotOpen, kClosedText), false;
    if (sqlite3_exec(Handle(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        SetEngineError();
        RollbackTrans();
        return false;
    }
    return true;
}

void Connection::RollbackTrans()
{
    if (Handle() && !sqlite3_get_autocommit(Handle()))
        sqlite3_exec(Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

// ---------------------------------------------------------------- reading rows

int FieldIndexIn(const QStringList& names, const QString& name)
{
    for (int i = 0; i < names.size(); ++i)
        if (names[i] == name) return i;
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

RowReader::RowReader(sqlite3* db, const QString& statement, const QVariantList& parameters)
{
    // One of each for every thread that reads: the start-up reads on a worker thread.
    thread_local const QRegularExpression selectStar(QStringLiteral("^\\s*SELECT\\s+\\*"),
                                                     QRegularExpression::CaseInsensitiveOption);
    thread_local const QRegularExpression fromTable(QStringLiteral("\\bFROM\\s+([A-Za-z_][A-Za-z0-9_]*)"),
                                                    QRegularExpression::CaseInsensitiveOption);
    QString sql = statement;
    keyed_ = selectStar.match(sql).hasMatch();
    if (keyed_) sql.replace(selectStar, QStringLiteral("SELECT _rowid_, *"));
    const auto m = fromTable.match(statement);
    // Without rowids the rows cannot be written back.
    if (keyed_ && m.hasMatch()) table_ = m.captured(1);

    const QByteArray utf8 = sql.toUtf8();
    code_ = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &st_, nullptr);
    if (code_ != SQLITE_OK) return;
    for (int i = 0; i < parameters.size(); ++i)
        bindValue(st_, i + 1, parameters[i]);
    for (int c = keyed_ ? 1 : 0, n = sqlite3_column_count(st_); c < n; ++c)
        names_ << QString::fromUtf8(sqlite3_column_name(st_, c));
}

RowReader::~RowReader()
{
    sqlite3_finalize(st_);
}

std::shared_ptr<TextTable> RowReader::Next(int limit)
{
    auto table = std::make_shared<TextTable>(int(names_.size()));
    if (code_ != SQLITE_OK) return table;
    // Pieces come one like the other: room for the next in one go, not by doubling (each
    // move of a large block costs the other threads of the process a pause).
    if (limit > 0) table->Reserve(limit, charsPerPiece_ + charsPerPiece_ / 8);
    const int first = keyed_ ? 1 : 0, columns = sqlite3_column_count(st_);
    for (int read = 0; limit == 0 || read < limit; ++read) {
        code_ = sqlite3_step(st_);
        if (code_ != SQLITE_ROW) break;
        table->AppendRow(keyed_ ? sqlite3_column_int64(st_, 0) : 0);
        for (int c = first; c < columns; ++c)
            appendColumn(*table, st_, c);
        code_ = SQLITE_OK;
    }
    charsPerPiece_ = std::max(charsPerPiece_, table->CharCount());
    return table;
}

// ---------------------------------------------------------------- result set

Recordset::Recordset() : rows_(std::make_shared<TextTable>()) {}

TextTable& Recordset::writable()
{
    // A reader still holds the rows as they were read: it keeps that copy.
    if (rows_.use_count() > 1) rows_ = std::make_shared<TextTable>(*rows_);
    return *rows_;
}

Recordset::~Recordset()
{
    Close();
}

bool Recordset::fail(long number, const QString& description)
{
    if (conn_) conn_->SetError(number, description);
    return false;
}

sqlite3_stmt* Recordset::cachedStatement(const QString& sql)
{
    for (const Cached& c : cache_)
        if (c.sql == sql) {
            sqlite3_reset(c.stmt);
            sqlite3_clear_bindings(c.stmt);
            return c.stmt;
        }
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(conn_->Handle(), utf8.constData(), int(utf8.size()), &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        return nullptr;
    }
    cache_.push_back({sql, st});
    return st;
}

bool Recordset::Open(const QString& statement, std::shared_ptr<Connection> connection,
                     const QVariantList& parameters)
{
    Close();
    conn_ = std::move(connection);
    if (!conn_ || !conn_->IsOpen()) return fail(kErrNotOpen, kClosedText);
    RowReader reader(conn_->Handle(), statement, parameters);
    std::shared_ptr<TextTable> rows = reader.Next();
    if (reader.Code() != SQLITE_DONE) {
        conn_->SetEngineError();
        return false;
    }
    names_ = reader.Names();
    table_ = reader.Table();
    rows_ = std::move(rows);
    pos_ = 0;
    open_ = true;
    return true;
}

void Recordset::FinalizeStatements()
{
    for (Cached& c : cache_)
        sqlite3_finalize(c.stmt);
    cache_.clear();
    updateCache_.clear();
}

void Recordset::Close()
{
    FinalizeStatements();
    rows_ = std::make_shared<TextTable>();
    names_.clear();
    dirty_.clear();
    oldValues_.clear();
    adding_ = false;
    open_ = false;
    pos_ = 0;
}

bool Recordset::Eof() const
{
    return !open_ || pos_ >= size_t(rows_->RowCount());
}

int Recordset::FieldIndex(const QString& name) const
{
    return FieldIndexIn(names_, name);
}

QVariant Recordset::Field(const QString& name) const
{
    const int i = FieldIndex(name);
    if (i < 0) return QVariant();
    const QStringView v = FieldView(i);
    if (v.isNull()) return QVariant();
    return v.toString();
}

QString Recordset::Text(const QString& name) const
{
    return Field(name).toString();
}

QStringView Recordset::FieldView(int index) const
{
    if (index < 0 || index >= names_.size()) return {};
    if (adding_) return pendingNew_[index];
    if (Eof()) return {};
    return rows_->View(int(pos_), index);
}

void Recordset::SetField(const QString& name, const QVariant& value)
{
    const int i = FieldIndex(name);
    if (i < 0) return;
    const QString text = value.isNull()
                             ? QString()
                             : (value.toString().isNull() ? QString(QLatin1String("")) : value.toString());
    if (adding_) {
        pendingNew_[i] = text;
        if (!dirty_.contains(i)) dirty_.push_back(i);
        return;
    }
    if (Eof()) return;
    if (!dirty_.contains(i)) {
        dirty_.push_back(i);
        oldValues_.push_back(rows_->View(int(pos_), i).toString());
    }
    writable().Set(int(pos_), i, text);
}

void Recordset::AddNew()
{
    if (!open_) return;
    if (HasPendingChange()) Update();
    adding_ = true;
    pendingNew_ = QVector<QString>(names_.size());
    dirty_.clear();
    oldValues_.clear();
}

void Recordset::CancelUpdate()
{
    if (adding_) {
        adding_ = false;
    } else if (!Eof()) {
        for (int k = 0; k < dirty_.size(); ++k)
            writable().Set(int(pos_), dirty_[k], oldValues_[k]);
    }
    dirty_.clear();
    oldValues_.clear();
}

bool Recordset::Update()
{
    if (!open_ || !conn_ || !conn_->IsOpen()) return fail(kErrNotOpen, kClosedText);
    if (table_.isEmpty()) return fail(kErrEngine, QStringLiteral("The result set cannot be updated."));
    if (adding_) {
        QStringList cols, marks;
        for (int i : dirty_) {
            cols << quoted(names_[i]);
            marks << QStringLiteral("?");
        }
        const QString sql =
            cols.isEmpty()
                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(table_))
                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoted(table_), cols.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        sqlite3_stmt* st = cachedStatement(sql);
        if (!st) return conn_->SetEngineError(), false;
        for (int k = 0; k < dirty_.size(); ++k)
            bindText(st, k + 1, pendingNew_[dirty_[k]]);
        if (sqlite3_step(st) != SQLITE_DONE) {
            conn_->SetEngineError();
            sqlite3_reset(st);
            return false;
        }
        sqlite3_reset(st);
        // Read the row back for the values the engine assigned (the key, defaults).
        const qint64 rowid = sqlite3_last_insert_rowid(conn_->Handle());
        QVector<QString> values;
        sqlite3_stmt* back =
            cachedStatement(QStringLiteral("SELECT * FROM %1 WHERE _rowid_ = ?").arg(quoted(table_)));
        if (back) {
            sqlite3_bind_int64(back, 1, rowid);
            if (sqlite3_step(back) == SQLITE_ROW) {
                const int n = std::min(sqlite3_column_count(back), int(names_.size()));
                for (int c = 0; c < n; ++c)
                    values.push_back(columnText(back, c));
            }
            sqlite3_reset(back);
        }
        if (values.size() != names_.size()) values = pendingNew_;
        TextTable& table = writable();
        table.AppendRow(rowid);
        for (const QString& v : values)
            table.AppendValue(v);
        pos_ = size_t(table.RowCount() - 1);
        adding_ = false;
        dirty_.clear();
        return true;
    }
    if (dirty_.isEmpty()) return true;
    if (Eof()) return fail(kErrRowGone, kRowGoneText);
    // A pass that changes the same fields on every row reuses one statement without rebuilding its text.
    QString key;
    for (int i : dirty_)
        key += QChar(char16_t(i + 1));
    sqlite3_stmt* st = nullptr;
    for (const Cached& c : updateCache_)
        if (c.sql == key) {
            st = c.stmt;
            sqlite3_reset(st);
            break;
        }
    if (!st) {
        QStringList sets;
        for (int i : dirty_)
            sets << quoted(names_[i]) + QStringLiteral("=?");
        st = cachedStatement(QStringLiteral("UPDATE %1 SET %2 WHERE _rowid_ = ?")
                                 .arg(quoted(table_), sets.join(QLatin1Char(','))));
        if (st) updateCache_.push_back({key, st});
    }
    if (!st) {
        conn_->SetEngineError();
        CancelUpdate();
        return false;
    }
    int k = 1;
    for (int i : dirty_)
        bindText(st, k++, rows_->View(int(pos_), i));
    sqlite3_bind_int64(st, k, rows_->RowId(int(pos_)));
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) {
        conn_->SetEngineError();
        CancelUpdate();
        return false;
    }
    if (sqlite3_changes(conn_->Handle()) == 0) {
        CancelUpdate();
        return fail(kErrRowGone, kRowGoneText);
    }
    dirty_.clear();
    oldValues_.clear();
    return true;
}

bool Recordset::Delete()
{
    if (adding_) {
        CancelUpdate();
        return true;
    }
    if (!open_ || !conn_ || !conn_->IsOpen()) return fail(kErrNotOpen, kClosedText);
    if (table_.isEmpty() || Eof()) return fail(kErrRowGone, kRowGoneText);
    CancelUpdate();
    sqlite3_stmt* st =
        cachedStatement(QStringLiteral("DELETE FROM %1 WHERE _rowid_ = ?").arg(quoted(table_)));
    if (!st) return conn_->SetEngineError(), false;
    sqlite3_bind_int64(st, 1, rows_->RowId(int(pos_)));
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) return conn_->SetEngineError(), false;
    if (sqlite3_changes(conn_->Handle()) == 0) return fail(kErrRowGone, kRowGoneText);
    writable().RemoveRow(int(pos_));
    return true;
}

bool Recordset::MoveNext()
{
    bool ok = true;
    if (HasPendingChange()) ok = Update();
    if (!Eof()) ++pos_;
    return ok;
}

bool Recordset::MoveFirst()
{
    bool ok = true;
    if (HasPendingChange()) ok = Update();
    pos_ = 0;
    return ok;
}

} // namespace pelorin::store
