#pragma once
// Clashes among the written lessons: one teacher in two places in one slot, one room used by
// two different lessons, one unit with two lessons. A lesson given to several units at once
// (one teacher, one subject, one room) and two teachers sharing one lesson are not clashes.

#include "report/ExportLesson.h"
#include "report/Report.h"

#include <vector>

void FindClashes(const std::vector<ExportLesson> &lessons, Report &report);
