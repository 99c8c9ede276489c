#pragma once
// Proposals for the empty NIVEL and CURSO cells of the courses, read from the names of their
// studies by the level rules. A cell that holds something is never changed. Courses of one
// study share one level (the one a course of that study already has, if any); two different
// studies never share a level, with the levels already given or with each other, so the
// groups step cannot make one group name out of two studies.

#include "import/LevelRules.h"
#include "platform/AnsiText.h"

#include <QString>
#include <vector>

struct CourseCells {
    AnsiText clave;
    AnsiText estud;
    AnsiText nivel;
    AnsiText curso;
};

// What became of one cell.
enum class CellSource {
    Given,      // it held something, or it was empty and stays so because it did not need filling
    Proposed,   // empty, and now holds the proposal
    NoProposal, // empty, and no rule knows what to put in it
};

struct CourseProposal {
    AnsiText nivel; // the row's values after the proposal
    AnsiText curso;
    CellSource nivelSource = CellSource::Given;
    CellSource cursoSource = CellSource::Given;
};

// One proposal per row, in the rows' order.
std::vector<CourseProposal> ProposeCourses(const std::vector<CourseCells> &rows,
                                           const LevelRules &rules = LevelRules::builtIn());

// The rows of CURSOST in the folder, in table order. Throws RunError from the table engine.
std::vector<CourseCells> ReadCourseCells(const QString &folder);

// Fills the empty cells of CURSOST in the folder with the proposals and returns them, one per
// row. Throws RunError from the table engine.
std::vector<CourseProposal> ProposeIntoTable(const QString &folder);
