#pragma once
// The tables the export reads, written directly with the engine in the layouts the import
// gives them (SOLUC in a layout the host writes), so an export test states only the records
// that matter to it.

#include <QString>
#include <QVariant>
#include <initializer_list>
#include <utility>

namespace ExportFixture {

using Values = std::initializer_list<std::pair<const char *, QVariant>>;

// Creates the nine tables the export opens, all empty, and PERIODOS with one record.
void createTables(const QString &workDir, const QString &start = QStringLiteral("15/09/2025"),
                  const QString &end = QStringLiteral("22/06/2026"));
// Creates SOLUC alone in the host's layout (PROF, DIA, HORA, ASIG, CODGRUPO, TAREA, AULA and
// a field the export does not read).
void createSoluc(const QString &workDir);

// Appends one record; a QString value is set as text (UTF-8 converted to table text), an int
// as a number. Fields not named stay empty.
void append(const QString &workDir, const QString &table, Values values);

void teacher(const QString &workDir, const QString &abbreviation, const QString &employee,
             const QString &postDate = QStringLiteral("01/09/2020"));
// A SOLUC entry: teacher, day (0 = not placed), slot, subject, group, activity, room.
void entry(const QString &workDir, const QString &teacher, int day, int slot, const QString &subject,
           const QString &group, const QString &activity = {}, const QString &room = {});
void assignment(const QString &workDir, const QString &subject, const QString &group, const QString &senecaSubject,
                const QString &offer);                                                 // ASIGT
void subject(const QString &workDir, const QString &code, const QString &activity = {}); // ASIGNOMT
void subjectOffer(const QString &workDir, const QString &code, const QString &offer,
                  const QString &senecaSubject);                                       // ASIGNOMT2
void slot(const QString &workDir, const QString &key, const QString &day, const QString &code,
          const QString &start, const QString &end);                                   // DIASHORAST
void group(const QString &workDir, const QString &abbreviation, const QString &unit, const QString &offer); // GRUPOST

} // namespace ExportFixture
