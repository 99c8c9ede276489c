// The dBase reader on any bytes: a file opened as a table, every record and field read in every
// way the converter reads them, a filter and a search run, and one record edited and posted.
// Whatever the bytes, the engine either refuses the table with a RunError or reads it whole.

#include "FuzzScratch.h"

#include "platform/DbfTable.h"
#include "platform/RunError.h"

#include <cstdint>

namespace {

QString folder;

// Each getter may refuse a field it cannot read as asked (a character field read as a number,
// a logical read as a number): that is a RunError, and reading goes on.
template <typename Read> void tryRead(Read read) {
    try {
        read();
    } catch (const RunError &) {
    }
}

void readEveryField(DbfTable &table) {
    for (const DbfFieldInfo &field : table.fields()) {
        tryRead([&] { (void)table.text(field.name); });
        tryRead([&] { (void)table.isBlank(field.name); });
        tryRead([&] { (void)table.number(field.name); });
        tryRead([&] { (void)table.integer(field.name); });
        tryRead([&] { (void)table.logical(field.name); });
    }
}

void exercise() {
    DbfTable table;
    table.open(folder, QStringLiteral("T"), DbfTable::Mode::Exclusive);
    (void)table.recordCount();
    for (table.first(); !table.eof(); table.next())
        readEveryField(table);
    readEveryField(table); // at eof: the last record
    if (table.fields().empty())
        return;
    const QString firstField = table.fields().front().name;
    table.first();
    const AnsiText value = table.text(firstField);
    tryRead([&] {
        table.setFilter(DbfTable::equalsExpression(firstField, value));
        for (; !table.eof(); table.next())
            readEveryField(table);
        table.setFilter(AnsiText());
    });
    (void)table.locate(firstField, value, firstField, value);
    // Writing back through a header and fields the file declared.
    tryRead([&] {
        table.first();
        table.edit();
        table.setText(firstField, AnsiText::ascii("X"));
        table.post();
        table.append();
        table.clearField(firstField);
        table.post();
    });
    table.close();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    Fuzz::silenceQt();
    folder = Fuzz::scratchFolder("dbf");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    Fuzz::writeFile(folder, QStringLiteral("T.DBF"), data, size);
    try {
        exercise();
    } catch (const RunError &) {
    }
    return 0;
}
