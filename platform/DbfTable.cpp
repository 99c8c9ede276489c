#include "platform/DbfTable.h"
#include "platform/DbfField.h"
#include "platform/DbfFile.h"
#include "platform/DbfFormat.h"
#include "platform/DbfHeader.h"
#include "platform/FileFault.h"
#include "platform/RunError.h"
#include "platform/EngineMessages.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cctype>
#include <cmath>
#include <limits>
#include <optional>

namespace {

QString fileNameFor(const QString &name, const QString &extension) { return name.toUpper() + extension.toUpper(); }

AnsiText trailingBlanksRemoved(AnsiText text) {
    std::string bytes = text.bytes();
    while (!bytes.empty() && bytes.back() == ' ')
        bytes.pop_back();
    return AnsiText::fromBytes(std::move(bytes));
}

QString typeName(char type) {
    switch (type) {
    case 'C':
        return QStringLiteral("carácter");
    case 'L':
        return QStringLiteral("lógico");
    case 'N':
    case 'F':
    case 'I':
    case '+':
    case 'O':
        return QStringLiteral("numérico");
    case 'D':
        return QStringLiteral("fecha");
    case '@':
        return QStringLiteral("fecha y hora");
    default:
        return QStringLiteral("'%1'").arg(QLatin1Char(type));
    }
}

// An exclusive table holds appended records back and writes them together once they fill
// this many bytes (or at close). No other open can read the file meanwhile, so nothing but a
// crash sees the difference, and a crash still finds a table that opens with a prefix of its
// records. 256 KiB is a few hundred to a few thousand records of the host's tables: enough to
// make the writes' cost vanish beside building the records, small enough that a crash loses
// little.
constexpr std::int64_t HeldBytesLimit = 256 * 1024;

} // namespace

struct DbfTable::Impl {
    QString name; // upper case, as the messages show it
    QString path;
    DbfFile file;
    DbfHeader header;
    std::vector<DbfFieldInfo> infos;
    std::vector<char> records; // every physical record, deleted ones included
    std::int64_t physicalCount = 0;
    std::int64_t writtenCount = 0; // physical records on disk; the rest are held (exclusive opens)
    bool holdsBack = false;        // exclusive: appended records wait for a block
    int liveCount = 0;
    std::vector<int> visible; // physical numbers of the live records that pass the filter
    int cursor = 0;           // index into visible; visible.size() is eof
    bool bofFlag = false;
    State state = State::Closed;
    std::string pending;  // the record being edited or inserted
    int editPhysical = -1;
    bool modified = false;
    bool dateWritten = false;
    QDate today; // taken at open: the clock is not read on every post
    struct Filter {
        int field;
        AnsiText value;
    };
    std::optional<Filter> filter;

    [[noreturn]] void fail(const QString &message) const { throw RunError(message); }

    void requireOpen() const {
        if (state == State::Closed)
            fail(name.isEmpty() ? QStringLiteral("La tabla no está abierta")
                                : QStringLiteral("La tabla %1 no está abierta").arg(name));
    }

    // Field names equal without regard to letter case, as QString::compare folds them. Case
    // folding maps one character to one, so names of other lengths never match; two ASCII
    // characters fold alike only as a-z and A-Z do, and any other pair is left to Qt.
    static bool sameName(const QString &a, const QString &b) {
        if (a.size() != b.size())
            return false;
        const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c; };
        for (qsizetype i = 0; i < a.size(); ++i) {
            const char16_t x = a[i].unicode();
            const char16_t y = b[i].unicode();
            if (x == y)
                continue;
            if (x >= 0x80 || y >= 0x80)
                return a.compare(b, Qt::CaseInsensitive) == 0;
            if (lower(x) != lower(y))
                return false;
        }
        return true;
    }

    int fieldIndex(const QString &field) const {
        requireOpen();
        for (size_t i = 0; i < infos.size(); ++i)
            if (sameName(infos[i].name, field))
                return static_cast<int>(i);
        fail(QStringLiteral("El campo %1 no existe en la tabla %2").arg(field, name));
    }

    const char *physical(int n) const { return records.data() + std::int64_t(n) * header.recordLength; }
    bool deleted(const char *record) const { return record[0] == Dbf::RecordDeleted; }

    // The record the getters read: the pending one, else the current one; at eof the last
    // visible record, as the host's engine leaves its cursor on the last record at the end.
    const char *current() const {
        if (state == State::Edit || state == State::Insert)
            return pending.data();
        if (visible.empty())
            return nullptr;
        return physical(visible[std::min<size_t>(cursor, visible.size() - 1)]);
    }

    const char *fieldBytes(int index, const char *record) const {
        return record + header.fields[static_cast<size_t>(index)].offset;
    }

    // Does the stored value equal the text? Character fields compare without their padding
    // blanks (trailing blanks of the text do not count either), letter case included; other
    // fields compare their text, or their values when both are numbers.
    bool equals(int index, const char *record, const AnsiText &value) const {
        const DbfFieldInfo &f = infos[static_cast<size_t>(index)];
        const AnsiText stored = DbfField::text(f, fieldBytes(index, record));
        if (DbfField::isCharacter(f))
            return stored == trailingBlanksRemoved(value);
        const std::string_view want = value.bytes();
        if (DbfField::isNumeric(f)) {
            const auto a = DbfField::parseDecimal(stored.bytes());
            const auto b = DbfField::parseDecimal(want);
            if (a && b)
                return *a == *b;
        }
        const auto first = want.find_first_not_of(' ');
        const auto last = want.find_last_not_of(' ');
        return stored.bytes() == (first == std::string_view::npos ? std::string_view() : want.substr(first, last - first + 1));
    }

    bool passes(const char *record) const {
        return !deleted(record) && (!filter || equals(filter->field, record, filter->value));
    }

    void rebuildVisible() {
        visible.clear();
        for (std::int64_t n = 0; n < physicalCount; ++n)
            if (passes(physical(static_cast<int>(n))))
                visible.push_back(static_cast<int>(n));
    }

    std::string blankRecord() const {
        std::string r(static_cast<size_t>(header.recordLength), ' ');
        for (size_t i = 0; i < infos.size(); ++i)
            DbfField::clear(infos[i], r.data() + header.fields[i].offset);
        r[0] = Dbf::RecordLive;
        return r;
    }

    char *pendingField(int index) {
        if (state != State::Edit && state != State::Insert)
            fail(EngineMsg::NotInEditMode);
        modified = true;
        return pending.data() + header.fields[static_cast<size_t>(index)].offset;
    }

    // Before the cursor moves: a pending record is posted when a field was set, and forgotten
    // otherwise, as the host's engine does.
    void leavePending(DbfTable &table) {
        if (state == State::Edit || state == State::Insert) {
            if (modified)
                table.post();
            else
                table.cancel();
        }
    }

    [[noreturn]] void writeFailed(const QString &why) const {
        fail(QStringLiteral("No se puede escribir en la tabla %1 (%2): %3").arg(name, path, why));
    }
    [[noreturn]] void writeFailed() const { writeFailed(file.error()); }

    // Header bytes 1-3, today's date, and with a count bytes 4-7 as well. False when the
    // write fails (file.error() says why).
    bool writeHeaderStamp(std::optional<std::int64_t> count) {
        char stamp[7];
        stamp[0] = static_cast<char>(std::clamp(today.year() - 1900, 0, 255));
        stamp[1] = static_cast<char>(today.month());
        stamp[2] = static_cast<char>(today.day());
        if (count)
            DbfBytes::putLe32(stamp + 3, static_cast<std::uint32_t>(*count));
        if (!file.writeAt(Dbf::OffsetDate, stamp, count ? sizeof stamp : 3))
            return false;
        dateWritten = true;
        return true;
    }

    std::int64_t heldBytes() const { return (physicalCount - writtenCount) * header.recordLength; }

    // Writes the held records, then `next` (one more record, not yet in memory) when given,
    // and the end-of-file mark; then the header's date and the count that makes them part of
    // the table, so a run killed in between leaves the table as it was before. False when a
    // write fails (file.error() says why): the held records stay held, and nothing is counted.
    bool writeHeld(std::string_view next = {}) {
        const std::int64_t length = header.recordLength;
        const std::int64_t count = physicalCount + (next.empty() ? 0 : 1);
        if (count == writtenCount)
            return true;
        std::string block(records.begin() + writtenCount * length, records.end());
        block += next;
        block += Dbf::EndOfFile;
        if (!file.writeAt(header.headerSize + writtenCount * length, block.data(), block.size()) ||
            !writeHeaderStamp(count))
            return false;
        writtenCount = count;
        return true;
    }

    [[noreturn]] void wrongType(int index, const QString &what) const {
        const DbfFieldInfo &f = infos[static_cast<size_t>(index)];
        fail(QStringLiteral("El campo %1 de la tabla %2 es de tipo %3 y no admite %4")
                 .arg(f.name, name, typeName(f.type), what));
    }

    [[noreturn]] void doesNotFit(int index, const QString &value) const {
        const DbfFieldInfo &f = infos[static_cast<size_t>(index)];
        fail(QStringLiteral("El valor %1 no cabe en el campo %2 (%3 %4,%5) de la tabla %6")
                 .arg(value, f.name, QString(QLatin1Char(f.type)))
                 .arg(f.width)
                 .arg(f.decimals)
                 .arg(name));
    }
};

DbfTable::DbfTable() : d(std::make_unique<Impl>()) {}
DbfTable::~DbfTable() {
    // Often reached while another error unwinds: what is held is written if it can be, and a
    // failure is not reported (a table written in a staging folder goes with the folder).
    try {
        d->writeHeld();
    } catch (...) {
    }
}

QString DbfTable::findFile(const QString &folder, const QString &name, const QString &extension) {
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return {};
    // The name as the folder holds it, also where file names ignore letter case (Windows),
    // so that messages show the file the host wrote.
    const QString wanted = fileNameFor(name, extension);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    if (entries.contains(wanted))
        return dir.filePath(wanted);
    for (const QString &entry : entries)
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return {};
}

void DbfTable::create(const QString &folder, const QString &name, const std::vector<DbfFieldDef> &fields) {
    const QString table = name.toUpper();
    if (folder.isEmpty() || !QDir(folder).exists())
        throw RunError(QStringLiteral("No se puede crear la tabla %1: no existe la carpeta %2").arg(table, folder));
    const QString fault = DbfHeader::validate(fields);
    if (!fault.isEmpty())
        throw RunError(QStringLiteral("No se puede crear la tabla %1: %2").arg(table, fault));
    const QString existing = findFile(folder, name);
    if (!existing.isEmpty())
        throw RunError(QStringLiteral("No se puede crear la tabla %1: ya existe el archivo %2").arg(table, existing));

    const QString path = QDir(folder).filePath(fileNameFor(name, QStringLiteral(".DBF")));
    std::string bytes = DbfHeader::build(fields, QDate::currentDate());
    bytes += Dbf::EndOfFile;
    QSaveFile out(path);
    // Unbuffered, so that a failed write fails here and not unseen inside commit().
    const bool ok = out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                    out.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) &&
                    out.commit();
    if (!ok)
        throw RunError(QStringLiteral("No se puede crear la tabla %1 (%2): %3").arg(table, path, DescribeFileError(out)));
}

void DbfTable::checkNotInUse(const QString &folder, const QString &name) {
    const QString path = findFile(folder, name);
    if (path.isEmpty())
        return;
    DbfFile file;
    if (file.open(path, true) == DbfFile::Result::Busy)
        throw RunError(EngineMsg::TableBusy.arg(name.toUpper(), path));
}

void DbfTable::open(const QString &folder, const QString &name, Mode mode) {
    close();
    d->name = name.toUpper();
    if (folder.isEmpty() || !QDir(folder).exists())
        d->fail(QStringLiteral("No se puede abrir la tabla %1: no existe la carpeta %2").arg(d->name, folder));
    const QString path = findFile(folder, name);
    if (path.isEmpty())
        d->fail(QStringLiteral("No existe la tabla %1 (%2)")
                    .arg(d->name, QDir(folder).filePath(fileNameFor(name, QStringLiteral(".DBF")))));
    d->path = path;

    switch (d->file.open(path, mode == Mode::Exclusive)) {
    case DbfFile::Result::Ok:
        break;
    case DbfFile::Result::Busy:
        d->fail(EngineMsg::TableBusy.arg(d->name, path));
    case DbfFile::Result::Failed:
        d->fail(QStringLiteral("No se puede abrir la tabla %1 (%2): %3").arg(d->name, path, d->file.error()));
    }

    try {
        const auto readFailed = [&] {
            d->fail(QStringLiteral("No se puede leer la tabla %1 (%2): %3").arg(d->name, path, d->file.error()));
        };
        std::int64_t size = 0;
        if (!d->file.size(size))
            readFailed();
        std::string head(static_cast<size_t>(std::min<std::int64_t>(size, std::numeric_limits<std::uint16_t>::max())),
                         '\0');
        if (!d->file.readAt(0, head.data(), head.size()))
            readFailed();
        const QString fault = d->header.parse(head, size);
        if (!fault.isEmpty())
            d->fail(QStringLiteral("La tabla %1 está dañada (%2): %3").arg(d->name, path, fault));

        d->infos.clear();
        for (const DbfFieldLayout &f : d->header.fields)
            d->infos.push_back(f.info);
        d->physicalCount = d->header.recordCount;
        d->writtenCount = d->physicalCount;
        d->holdsBack = mode == Mode::Exclusive;
        d->records.assign(static_cast<size_t>(d->physicalCount * d->header.recordLength), '\0');
        if (!d->records.empty() && !d->file.readAt(d->header.headerSize, d->records.data(), d->records.size()))
            readFailed();
    } catch (...) {
        d->file.close();
        d->records.clear();
        throw;
    }

    d->liveCount = 0;
    for (std::int64_t n = 0; n < d->physicalCount; ++n)
        if (!d->deleted(d->physical(static_cast<int>(n))))
            ++d->liveCount;
    d->filter.reset();
    d->state = State::Browse;
    d->rebuildVisible();
    d->cursor = 0;
    d->bofFlag = false;
    d->dateWritten = false;
    d->today = QDate::currentDate();
    d->modified = false;
}

void DbfTable::close() {
    const bool written = d->writeHeld();
    const QString why = written ? QString() : d->file.error();
    d->file.close();
    d->state = State::Closed;
    d->records.clear();
    d->records.shrink_to_fit();
    d->visible.clear();
    d->pending.clear();
    d->infos.clear();
    d->filter.reset();
    d->physicalCount = 0;
    d->writtenCount = 0;
    d->liveCount = 0;
    if (!written)
        d->writeFailed(why);
}

bool DbfTable::isOpen() const { return d->state != State::Closed; }
DbfTable::State DbfTable::state() const { return d->state; }
QString DbfTable::tableName() const { return d->name; }
const std::vector<DbfFieldInfo> &DbfTable::fields() const { return d->infos; }

bool DbfTable::hasField(const QString &name) const {
    for (const DbfFieldInfo &f : d->infos)
        if (Impl::sameName(f.name, name))
            return true;
    return false;
}

int DbfTable::recordCount() const {
    d->requireOpen();
    return d->liveCount;
}

void DbfTable::first() {
    d->requireOpen();
    d->leavePending(*this);
    d->cursor = 0;
    d->bofFlag = false;
}

void DbfTable::next() {
    d->requireOpen();
    d->leavePending(*this);
    if (d->cursor < static_cast<int>(d->visible.size()))
        ++d->cursor;
    d->bofFlag = false;
}

void DbfTable::prior() {
    d->requireOpen();
    d->leavePending(*this);
    if (d->cursor == 0) {
        d->bofFlag = true;
    } else {
        --d->cursor;
        d->bofFlag = false;
    }
}

void DbfTable::last() {
    d->requireOpen();
    d->leavePending(*this);
    d->cursor = std::max(static_cast<int>(d->visible.size()) - 1, 0);
    d->bofFlag = false;
}

bool DbfTable::eof() const { return d->state == State::Closed || d->cursor >= static_cast<int>(d->visible.size()); }
bool DbfTable::bof() const { return d->state == State::Closed || d->visible.empty() || d->bofFlag; }
int DbfTable::position() const { return eof() ? -1 : d->cursor; }

void DbfTable::moveTo(int position) {
    d->requireOpen();
    d->leavePending(*this);
    d->cursor = std::clamp(position, 0, static_cast<int>(d->visible.size()));
    d->bofFlag = false;
}

void DbfTable::append() {
    d->requireOpen();
    if (d->state == State::Edit || d->state == State::Insert)
        post();
    d->pending = d->blankRecord();
    d->state = State::Insert;
    d->modified = false;
}

void DbfTable::edit() {
    d->requireOpen();
    if (d->state == State::Edit || d->state == State::Insert)
        return;
    if (d->visible.empty()) { // an empty table inserts instead, as the host's engine does
        append();
        return;
    }
    d->cursor = std::min(d->cursor, static_cast<int>(d->visible.size()) - 1);
    d->editPhysical = d->visible[static_cast<size_t>(d->cursor)];
    const char *record = d->physical(d->editPhysical);
    d->pending.assign(record, static_cast<size_t>(d->header.recordLength));
    d->state = State::Edit;
    d->modified = false;
}

void DbfTable::post() {
    if (d->state != State::Edit && d->state != State::Insert)
        d->fail(EngineMsg::NotInEditMode);
    const std::int64_t length = d->header.recordLength;
    if (d->file.readOnly())
        d->fail(QStringLiteral("No se puede escribir en la tabla %1 (%2): %3")
                    .arg(d->name, d->path, DescribeFileFault(FileFault::ReadOnlyFile)));
    if (d->state == State::Insert) {
        if (d->physicalCount >= std::numeric_limits<std::int32_t>::max())
            d->fail(QStringLiteral("La tabla %1 no admite más registros").arg(d->name));
        // A shared table writes every record at once: another program may be reading the file.
        // A failed write leaves the record pending and the held ones held.
        if ((!d->holdsBack || d->heldBytes() + length >= HeldBytesLimit) && !d->writeHeld(d->pending))
            d->writeFailed();
        ++d->physicalCount;
        d->records.resize(d->records.size() + d->pending.size());
        std::copy(d->pending.begin(), d->pending.end(), d->records.end() - static_cast<std::ptrdiff_t>(length));
        ++d->liveCount;
        const int n = static_cast<int>(d->physicalCount - 1);
        if (d->passes(d->physical(n))) {
            d->visible.push_back(n);
            d->cursor = static_cast<int>(d->visible.size()) - 1;
        }
    } else {
        // A record still held changes in memory only: its block writes it as it is then.
        if (d->editPhysical < d->writtenCount) {
            if (!d->file.writeAt(d->header.headerSize + d->editPhysical * length, d->pending.data(), d->pending.size()))
                d->writeFailed();
            if (!d->dateWritten && !d->writeHeaderStamp(std::nullopt))
                d->writeFailed();
        }
        std::copy(d->pending.begin(), d->pending.end(), d->records.begin() + d->editPhysical * length);
        if (!d->passes(d->physical(d->editPhysical)))
            d->visible.erase(d->visible.begin() + d->cursor);
    }
    d->state = State::Browse;
    d->pending.clear();
    d->modified = false;
}

void DbfTable::cancel() {
    if (d->state == State::Edit || d->state == State::Insert) {
        d->state = State::Browse;
        d->pending.clear();
        d->modified = false;
    }
}

void DbfTable::setText(const QString &field, const AnsiText &value) {
    const int i = d->fieldIndex(field);
    char *p = d->pendingField(i);
    const DbfFieldInfo &f = d->infos[static_cast<size_t>(i)];
    const std::string &bytes = value.bytes();
    switch (f.type) {
    case 'C':
        DbfField::putText(f, p, bytes);
        return;
    case 'D':
        DbfField::putText(f, p, bytes);
        return;
    case 'L': {
        const AnsiText t = AnsiText::fromBytes(bytes);
        const char c = t.isEmpty() ? ' ' : static_cast<char>(t.at(0));
        if (c == ' ')
            DbfField::clear(f, p);
        else if (c == 'T' || c == 't' || c == 'Y' || c == 'y' || c == 'F' || c == 'f' || c == 'N' || c == 'n')
            DbfField::putLogical(f, p, c == 'T' || c == 't' || c == 'Y' || c == 'y');
        else
            d->wrongType(i, QStringLiteral("el texto '%1'").arg(value.toQString()));
        return;
    }
    default:
        break;
    }
    if (!DbfField::isNumeric(f))
        d->wrongType(i, QStringLiteral("texto"));
    if (bytes.find_first_not_of(' ') == std::string::npos) {
        DbfField::clear(f, p);
        return;
    }
    const std::optional<double> v = DbfField::parseDecimal(bytes);
    if (!v)
        d->fail(QStringLiteral("'%1' no es un valor numérico válido para el campo %2 de la tabla %3")
                    .arg(value.toQString(), f.name, d->name));
    if (!DbfField::putDouble(f, p, *v))
        d->doesNotFit(i, value.toQString());
}

void DbfTable::setInteger(const QString &field, std::int32_t value) {
    const int i = d->fieldIndex(field);
    char *p = d->pendingField(i);
    const DbfFieldInfo &f = d->infos[static_cast<size_t>(i)];
    if (!DbfField::isNumeric(f) && !DbfField::isCharacter(f))
        d->wrongType(i, QStringLiteral("un número"));
    if (!DbfField::putInteger(f, p, value))
        d->doesNotFit(i, QString::number(value));
}

void DbfTable::setFloat(const QString &field, double value) {
    const int i = d->fieldIndex(field);
    char *p = d->pendingField(i);
    const DbfFieldInfo &f = d->infos[static_cast<size_t>(i)];
    if (!DbfField::isNumeric(f) && !DbfField::isCharacter(f))
        d->wrongType(i, QStringLiteral("un número"));
    if (!DbfField::putDouble(f, p, value))
        d->doesNotFit(i, QString::fromStdString(DbfField::shortestDecimal(value)));
}

void DbfTable::setLogical(const QString &field, bool value) {
    const int i = d->fieldIndex(field);
    char *p = d->pendingField(i);
    const DbfFieldInfo &f = d->infos[static_cast<size_t>(i)];
    if (f.type != 'L' && f.type != 'C')
        d->wrongType(i, QStringLiteral("un valor lógico"));
    DbfField::putLogical(f, p, value);
}

void DbfTable::clearField(const QString &field) {
    const int i = d->fieldIndex(field);
    DbfField::clear(d->infos[static_cast<size_t>(i)], d->pendingField(i));
}

AnsiText DbfTable::text(const QString &field) const {
    const int i = d->fieldIndex(field);
    const char *record = d->current();
    return record ? DbfField::text(d->infos[static_cast<size_t>(i)], d->fieldBytes(i, record)) : AnsiText();
}

bool DbfTable::isBlank(const QString &field) const {
    const int i = d->fieldIndex(field);
    const char *record = d->current();
    return !record || DbfField::isBlank(d->infos[static_cast<size_t>(i)], d->fieldBytes(i, record));
}

double DbfTable::number(const QString &field) const {
    const int i = d->fieldIndex(field);
    const DbfFieldInfo &f = d->infos[static_cast<size_t>(i)];
    const char *record = d->current();
    if (DbfField::isCharacter(f)) {
        const AnsiText t = record ? DbfField::text(f, d->fieldBytes(i, record)) : AnsiText();
        const std::optional<double> v = DbfField::parseDecimal(t.bytes());
        if (!v)
            d->fail(QStringLiteral("'%1' no es un valor en coma flotante válido").arg(t.toQString()));
        return *v;
    }
    if (!DbfField::isNumeric(f))
        d->wrongType(i, QStringLiteral("la lectura como número"));
    if (!record)
        return 0;
    const DbfField::Number n = DbfField::number(f, d->fieldBytes(i, record));
    if (n.status == DbfField::Status::Invalid)
        d->fail(QStringLiteral("El campo %1 de la tabla %2 contiene '%3', que no es un número")
                    .arg(f.name, d->name, DbfField::text(f, d->fieldBytes(i, record)).toQString()));
    return n.value;
}

std::int32_t DbfTable::integer(const QString &field) const {
    const int i = d->fieldIndex(field);
    const DbfFieldInfo &f = d->infos[static_cast<size_t>(i)];
    if (DbfField::isCharacter(f)) {
        const char *record = d->current();
        const AnsiText t = record ? DbfField::text(f, d->fieldBytes(i, record)) : AnsiText();
        const std::optional<std::int64_t> v = DbfField::parseWhole(t.bytes());
        if (!v || *v < std::numeric_limits<std::int32_t>::min() || *v > std::numeric_limits<std::int32_t>::max())
            d->fail(EngineMsg::NotAnInteger.arg(t.toQString()));
        return static_cast<std::int32_t>(*v);
    }
    // A value with decimals rounds to the nearest whole number, halves to even.
    const double v = std::nearbyint(number(field));
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        d->fail(QStringLiteral("El valor %1 del campo %2 de la tabla %3 no cabe en un entero de 32 bits")
                    .arg(QString::fromStdString(DbfField::shortestDecimal(v)), f.name, d->name));
    return static_cast<std::int32_t>(v);
}

bool DbfTable::logical(const QString &field) const {
    const int i = d->fieldIndex(field);
    const DbfFieldInfo &f = d->infos[static_cast<size_t>(i)];
    if (f.type != 'L' && f.type != 'C')
        d->wrongType(i, QStringLiteral("la lectura como valor lógico"));
    const AnsiText t = text(field);
    const char c = t.isEmpty() ? ' ' : static_cast<char>(t.at(0));
    return c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

void DbfTable::setFilter(const AnsiText &expression) {
    d->requireOpen();
    d->leavePending(*this);
    const std::string &s = expression.bytes();
    size_t pos = 0;
    const auto skipBlanks = [&] {
        while (pos < s.size() && s[pos] == ' ')
            ++pos;
    };
    skipBlanks();
    if (pos == s.size()) {
        d->filter.reset();
    } else {
        const auto invalid = [&] {
            d->fail(QStringLiteral("El filtro %1 de la tabla %2 no tiene la forma CAMPO= 'valor'")
                        .arg(expression.toQString(), d->name));
        };
        const size_t nameStart = pos;
        while (pos < s.size() && (std::isalnum(static_cast<unsigned char>(s[pos])) || s[pos] == '_'))
            ++pos;
        const QString field = QString::fromLatin1(s.data() + nameStart, static_cast<qsizetype>(pos - nameStart));
        skipBlanks();
        if (field.isEmpty() || pos >= s.size() || s[pos] != '=')
            invalid();
        ++pos;
        skipBlanks();
        if (pos >= s.size() || (s[pos] != '\'' && s[pos] != '"'))
            invalid();
        const char quote = s[pos++];
        std::string value;
        bool closed = false;
        while (pos < s.size()) {
            if (s[pos] == quote) {
                if (pos + 1 < s.size() && s[pos + 1] == quote) {
                    value += quote;
                    pos += 2;
                    continue;
                }
                ++pos;
                closed = true;
                break;
            }
            value += s[pos++];
        }
        skipBlanks();
        if (!closed || pos != s.size())
            invalid();
        d->filter = Impl::Filter{d->fieldIndex(field), AnsiText::fromBytes(std::move(value))};
    }
    d->rebuildVisible();
    d->cursor = 0;
    d->bofFlag = false;
}

AnsiText DbfTable::equalsExpression(const QString &field, const AnsiText &value) {
    std::string out = field.toLatin1().toStdString() + "= '";
    for (char c : value.bytes()) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    out += '\'';
    return AnsiText::fromBytes(std::move(out));
}

bool DbfTable::locate(const QString &field1, const AnsiText &value1, const QString &field2, const AnsiText &value2) {
    const int a = d->fieldIndex(field1);
    const int b = d->fieldIndex(field2);
    d->leavePending(*this);
    for (size_t i = 0; i < d->visible.size(); ++i) {
        const char *record = d->physical(d->visible[i]);
        if (d->equals(a, record, value1) && d->equals(b, record, value2)) {
            d->cursor = static_cast<int>(i);
            d->bofFlag = false;
            return true;
        }
    }
    return false;
}
