#pragma once
// How every import step starts its table: delete X.DBF and X.MDX (any letter case), create
// X.DBF with the step's fields, open it for exclusive use.

#include "platform/DbfTable.h"

void RebuildTable(DbfTable &table, const QString &folder, const QString &name,
                  const std::vector<DbfFieldDef> &fields);
