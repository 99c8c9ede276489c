#pragma once
// The command-line tool's courses file: what the level-and-course dialog asks of a user,
// given beforehand. UTF-8 text, fields separated by ';', first line "CLAVE;NIVEL;CURSO",
// then one course per line; blank lines are ignored and a field wholly in double quotes is
// taken without them ("" inside stands for one quote).

#include "platform/AnsiText.h"
#include "seneca/RunState.h"
#include "seneca/UserInterface.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <vector>

struct CourseValues {
    AnsiText clave; // as CURSOST stores it: cut to 10, trailing blanks dropped
    AnsiText nivel; // cut to 5
    AnsiText curso; // cut to 3
    int line = 0;   // in the file, from 1
};

// Reads and checks the whole file before any table is touched. A file that cannot be read or
// is malformed (no header, a line without exactly three fields, an empty key, text that is not
// UTF-8 or has characters the tables cannot hold) throws RunError naming the file and line.
std::vector<CourseValues> ReadCoursesCsv(const QString &path);

// Sets NIVEL and CURSO of every CURSOST row in the folder whose CLAVE equals an entry's key,
// entries in file order (a later line for the same key wins). Returns one warning per entry
// whose key matches no course. Throws RunError from the table engine.
QStringList ApplyCourses(const QString &workDir, const std::vector<CourseValues> &entries);

// The tool's whole answer to one showing of the level-and-course dialog: apply the entries
// (warnings to err); with `propose`, fill what is still empty with the level rules' proposals
// and print every course with where its values came from to out; then check every course.
// When one is incomplete it prints the missing-data message and the incomplete courses to err
// and returns the forced exit ("fuera", CURSOST keeping what was applied), unless
// allowIncomplete, when it returns as the dialog's close box does and the run goes on.
CourseDialogResult CliEditCourses(RunState &state, const std::vector<CourseValues> &entries, bool allowIncomplete,
                                  bool propose, QTextStream &out, QTextStream &err);
