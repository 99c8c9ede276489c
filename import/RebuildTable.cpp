#include "import/RebuildTable.h"

#include <QFile>

void RemoveTableFiles(const QString &folder, const QString &name) {
    // A table that another program holds is left to it, and the run ends.
    DbfTable::checkNotInUse(folder, name);
    // The outcome of a deletion is not examined: a file that cannot go makes create() fail.
    for (const QString &ext : {QStringLiteral(".DBF"), QStringLiteral(".MDX")}) {
        const QString old = DbfTable::findFile(folder, name, ext);
        if (!old.isEmpty())
            QFile::remove(old);
    }
}

void RebuildTable(DbfTable &table, const QString &folder, const QString &name,
                  const std::vector<DbfFieldDef> &fields) {
    table.close();
    RemoveTableFiles(folder, name);
    DbfTable::create(folder, name, fields);
    table.open(folder, name, DbfTable::Mode::Exclusive);
}
