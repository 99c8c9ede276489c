#pragma once
// How every import step starts its table: delete X.DBF and X.MDX (any letter case), create
// X.DBF with the step's fields, open it for exclusive use.

#include "platform/DbfTable.h"

void RebuildTable(DbfTable &table, const QString &folder, const QString &name,
                  const std::vector<DbfFieldDef> &fields);

// The first half of RebuildTable alone, for a step that opens another table between deleting
// its own and creating it anew (the groups step).
void RemoveTableFiles(const QString &folder, const QString &name);
