#pragma once
// The one test of "is a course still incomplete", shared by the level-and-course dialog and
// the command-line tool: a course lacks data when its NIVEL or its CURSO is blank, i.e. empty
// after removing leading and trailing characters with codes up to 32.

#include "platform/AnsiText.h"
#include "platform/DbfTable.h"

#include <QString>
#include <vector>

struct IncompleteCourse {
    AnsiText clave;
    AnsiText estud;
};

// Whether the current row of an open CURSOST lacks its level or its course number.
bool CourseRowIncomplete(const DbfTable &courses);

// The dialog's accept check on an open CURSOST: walks from the first row and stops at the
// first incomplete one (true; the table then stands on it). False when every row is complete
// or there is none. Throws RunError from the table engine.
bool CourseDataMissing(DbfTable &courses);

// Every incomplete course of CURSOST in the folder, in table order. Opens the table shared
// and closes it again; throws RunError when it cannot be read.
std::vector<IncompleteCourse> IncompleteCourses(const QString &folder);
