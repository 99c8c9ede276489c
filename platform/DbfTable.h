#pragma once
// A dBase table as the host keeps it: TABLE.DBF in a folder. Reads dBase III/IV (with or
// without memo) and level 7; writes dBase III+/IV, or level 7 when a field name is longer
// than 10 characters. Every failure throws RunError with a Spanish message naming the table.
//
// Records are visited in physical (append) order; deleted records are invisible to every
// read and are not counted. The file is always a table that opens: records and the
// end-of-file mark are written before the header's count that takes them in. A shared open
// writes every post at once, since another program may read the file. An exclusive open,
// which nothing else can read meanwhile, holds appended records back and writes them in
// blocks, the last at close(): a run killed half-way leaves a table holding the records of
// the blocks written, a prefix of those posted. Editing a record already written writes it at
// once; editing one still held changes it in memory, and its block writes it.
//
// New tables: character fields as C of their width, logicals as L, integers as N(11,0), floats
// as N(20,4) (right-aligned, '.' decimal point, whatever the locale); language driver 0x57
// (Windows-1252); no index. The records are kept in memory from the open on: a table opened
// twice (two shared opens) does not see the other's posts until it is opened again.

#include "platform/AnsiText.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

enum class DbfFieldType { Character, Logical, Integer, Float };

struct DbfFieldDef {
    QString name;      // ASCII, at most 31 characters
    DbfFieldType type;
    int width = 0;     // character fields only; the others have fixed layouts
};

// What a table on disk declares for one field (any type the engine can read).
struct DbfFieldInfo {
    QString name;
    char type;         // the dBase type letter: C L N F I O + @ D M ...
    int width;
    int decimals;
};

class DbfTable {
public:
    enum class Mode { Exclusive, Shared };
    enum class State { Closed, Browse, Edit, Insert };

    DbfTable();
    ~DbfTable();
    DbfTable(const DbfTable &) = delete;
    DbfTable &operator=(const DbfTable &) = delete;

    // Writes a new, empty NAME.DBF (upper-case file name) in the folder, replacing none: the
    // caller deletes an old file first (see RebuildTable). Fails if the folder is missing.
    static void create(const QString &folder, const QString &name, const std::vector<DbfFieldDef> &fields);
    // Fails with "La tabla NAME está en uso por otro programa (path)" when another open, in
    // this or another process, holds the table's lock; does nothing when there is no table.
    // A table is checked before its files are deleted: deleting a table in use would pull it
    // from under the program that holds it (POSIX lets the file go, Windows refuses).
    static void checkNotInUse(const QString &folder, const QString &name);
    // The path of the file that a table name resolves to in a folder, letter case
    // disregarded (the host may have written Soluc.dbf); empty when there is none.
    static QString findFile(const QString &folder, const QString &name, const QString &extension = QStringLiteral(".DBF"));

    // An exclusive open takes an operating-system lock (flock or LockFileEx) that no other exclusive
    // or shared open, in this or another process, can get while it is held; a shared open takes
    // a shared lock, so it fails while the table is open exclusively, and may also
    // edit. A refused open says "La tabla NAME está en uso por otro programa (path)". A file
    // whose header lengths do not agree with its size is refused as damaged.
    void open(const QString &folder, const QString &name, Mode mode = Mode::Exclusive);
    // Writes the records still held, then releases the file and its lock; a record still
    // pending is forgotten, not posted. Throws "No se puede escribir en la tabla ..." when the
    // held records cannot be written; the table is closed all the same. Opening again closes
    // first, and so may throw the same. The destructor writes what is held as well as it can
    // and reports nothing: whoever needs to know that a table is whole closes it.
    void close();
    bool isOpen() const;
    State state() const;
    QString tableName() const;
    const std::vector<DbfFieldInfo> &fields() const;
    bool hasField(const QString &name) const;

    // Visible (not deleted) records, whatever the filter.
    int recordCount() const;
    // Moving (first, next, prior, last, moveTo, locate, setFilter) while a record is pending
    // posts it when a field was set and forgets it otherwise, as the host's engine does.
    void first();
    void next();
    void prior();
    void last();
    bool eof() const;  // past the last visible record (also when there is none)
    bool bof() const;  // a prior() went before the first
    // Position among the visible records that pass the filter, from 0; -1 when eof.
    int position() const;
    void moveTo(int position);

    // Append starts a new blank record (Insert); edit starts changing the current one (Edit).
    // post writes it (or holds it back, see above); cancel forgets it. A post whose write
    // fails throws "No se puede escribir en la tabla ..." and leaves the record pending.
    // Setting or posting outside Edit/Insert throws "La fuente de datos no está en modo de
    // edición o inserción". Appending while a record is pending posts that one first, as the
    // host's engine does. Editing a table with no visible record appends instead; after a
    // post the table stands on the posted record.
    void append();
    void edit();
    void post();
    void cancel();

    // Setters: a text longer than a character field is cut to the field's width; a number that
    // does not fit its field throws.
    void setText(const QString &field, const AnsiText &value);
    void setInteger(const QString &field, std::int32_t value);
    void setFloat(const QString &field, double value);
    void setLogical(const QString &field, bool value);
    void clearField(const QString &field);

    // Getters on the current record (or the pending one; at eof the last visible record, on an
    // empty table a blank one): character text without its trailing blanks; a number field
    // read as text gives its digits trimmed ("3.2500"); a logical "T", "F" or empty; level 7
    // binary fields in decimal, timestamps as "yyyy-MM-dd HH:mm:ss". An empty numeric reads
    // as 0; integer() rounds decimals half to even; a character field read as a number must
    // hold one ("'x' no es un valor entero válido").
    AnsiText text(const QString &field) const;
    std::int32_t integer(const QString &field) const;
    double number(const QString &field) const;
    bool logical(const QString &field) const;
    bool isBlank(const QString &field) const;

    // Filter by an expression of the form FIELD= 'value' (a quote inside the value doubled).
    // Only records whose field equals the value, letter case included, are visible; the table
    // then stands at the first of them. An empty expression removes the filter. Character
    // values compare without padding: trailing blanks of the value do not count either.
    void setFilter(const AnsiText &expression);
    static AnsiText equalsExpression(const QString &field, const AnsiText &value);

    // From the first record that the filter lets through: the first whose two fields equal the
    // two texts, compared as the filter does; true when found (the table stands there), false
    // otherwise (the position is unchanged).
    bool locate(const QString &field1, const AnsiText &value1, const QString &field2, const AnsiText &value2);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
