#pragma once
// Last year's answers: the level and course number of every course of the imports that
// completed, kept in CursosRecordados.csv in the working folder, so that the next import finds
// its courses already filled in. UTF-8 text, fields separated by ';', first line
// "CLAVE;ESTUD;NIVEL;CURSO;CURSO_ESCOLAR", then one course per line; a field is in double
// quotes (a quote inside written twice) when it holds ';', a quote, or blanks at its ends.

#include "platform/AnsiText.h"
#include "seneca/RunState.h"
#include "seneca/UserInterface.h"

#include <QString>
#include <vector>

struct RememberedCourse {
    AnsiText clave;
    AnsiText estud;
    AnsiText nivel;
    AnsiText curso;
    QString year; // the school year of the import that saved it ("2026")
};

namespace RememberedCourses {
inline const QString FileName = QStringLiteral("CursosRecordados.csv");
QString pathIn(const QString &workDir);

// The whole file; none when it does not exist. A file that cannot be read, is not UTF-8, lacks
// the header, has a line that is not five fields or a course without its key, level or course
// number, or text the tables cannot hold throws RunError naming the file (and the line).
std::vector<RememberedCourse> read(const QString &path);
// Writes the file whole, replacing it only once it is complete. Throws RunError.
void write(const QString &path, const std::vector<RememberedCourse> &courses);
// The old entries with the new ones over them: an entry of a key already there takes its
// place, one of a new key goes at the end; entries of keys that are not in `now` stay.
std::vector<RememberedCourse> merged(std::vector<RememberedCourse> old, const std::vector<RememberedCourse> &now);
// The entry for a course: the one of its key, else the latest (by school year, then by its
// place in the file) of its exact study name; nullptr when there is none.
const RememberedCourse *find(const std::vector<RememberedCourse> &courses, const AnsiText &clave,
                             const AnsiText &estud);
} // namespace RememberedCourses

// In the courses step, once CURSOST is written in `tableFolder`: fills the empty NIVEL and CURSO
// of every course that the file in the working folder remembers, and lists the filled rows in
// state.rememberedCourseRows. A damaged or unreadable file is reported through the user
// interface and left out; it never ends the run. Throws RunError from the table engine.
void FillRememberedCourses(RunState &state, UserInterface &ui, const QString &tableFolder);

// After an import that completed: merges the complete courses of CURSOST into the file in
// the working folder. A damaged file is kept beside it as CursosRecordados.csv.bak before
// it is replaced. A failure is reported through the user interface; it never ends the run.
void RememberCourses(RunState &state, UserInterface &ui);
