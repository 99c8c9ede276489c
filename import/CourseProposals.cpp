#include "import/CourseProposals.h"

#include "import/CoursesTable.h"
#include "platform/DbfTable.h"
#include "seneca/Clipper.h"

#include <QHash>
#include <algorithm>
#include <map>
#include <optional>

namespace {

// Levels are told apart by their first 5 characters, whatever their letter case.
QString levelKey(const AnsiText &level) { return Clipper::AllTrim(level).toQString().toUpper().left(5); }

// A free level for a study: its own, or with a number in place of its last characters.
QString freeLevel(const QString &wanted, const QHash<QString, QString> &owners, const QString &study) {
    auto freeFor = [&](const QString &level) {
        const auto owner = owners.constFind(level);
        return owner == owners.constEnd() || *owner == study;
    };
    if (freeFor(wanted))
        return wanted;
    for (int n = 2; n < 1000; ++n) {
        const QString digits = QString::number(n);
        const QString candidate = wanted.left(5 - static_cast<int>(digits.size())) + digits;
        if (freeFor(candidate))
            return candidate;
    }
    return {};
}

} // namespace

std::vector<CourseProposal> ProposeCourses(const std::vector<CourseCells> &rows, const LevelRules &rules) {
    std::vector<std::optional<StudyGuess>> guesses;
    guesses.reserve(rows.size());
    for (const CourseCells &row : rows)
        guesses.push_back(rules.guess(row.estud.toQString()));

    // Levels already given belong to their row's study (or, unknown, to the row alone); the
    // first given level of a study is the one its other courses take.
    QHash<QString, QString> owners; // level key -> study
    std::map<QString, QString> levelOfStudy;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (Clipper::IsBlankText(rows[i].nivel))
            continue;
        const QString study = guesses[i] ? guesses[i]->study : QStringLiteral("row %1").arg(i);
        owners.insert(levelKey(rows[i].nivel), study);
        levelOfStudy.try_emplace(study, Clipper::AllTrim(rows[i].nivel).toQString());
    }

    // The studies that still need a level, the table's own levels first, then those made from
    // a title's initials; each group in the order of its studies, so the result does not
    // depend on the order Séneca lists the courses in.
    std::map<std::pair<bool, QString>, QString> needed; // (derived, study) -> wanted level
    for (size_t i = 0; i < rows.size(); ++i)
        if (guesses[i] && Clipper::IsBlankText(rows[i].nivel) && !levelOfStudy.contains(guesses[i]->study))
            needed.try_emplace({guesses[i]->derivedLevel, guesses[i]->study}, guesses[i]->level);
    for (const auto &[key, wanted] : needed) {
        const QString level = freeLevel(wanted, owners, key.second);
        if (level.isEmpty())
            continue;
        owners.insert(level, key.second);
        levelOfStudy.emplace(key.second, level);
    }

    std::vector<CourseProposal> out;
    out.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const CourseCells &row = rows[i];
        const std::optional<StudyGuess> &g = guesses[i];
        CourseProposal p{row.nivel, row.curso};
        if (Clipper::IsBlankText(row.nivel)) {
            const auto level = g ? levelOfStudy.find(g->study) : levelOfStudy.end();
            if (level != levelOfStudy.end()) {
                p.nivel = AnsiText::fromQString(level->second);
                p.nivelSource = CellSource::Proposed;
            } else {
                p.nivelSource = CellSource::NoProposal;
            }
        }
        if (Clipper::IsBlankText(row.curso)) {
            if (g && !g->course.isEmpty()) {
                p.curso = AnsiText::fromQString(g->course).left(CoursesTable::CursoWidth);
                p.cursoSource = CellSource::Proposed;
            } else {
                p.cursoSource = CellSource::NoProposal;
            }
        }
        out.push_back(p);
    }
    return out;
}

std::vector<CourseCells> ReadCourseCells(const QString &folder) {
    DbfTable courses;
    courses.open(folder, CoursesTable::Name, DbfTable::Mode::Shared);
    std::vector<CourseCells> rows;
    for (courses.first(); !courses.eof(); courses.next())
        rows.push_back({courses.text(CoursesTable::Clave), courses.text(CoursesTable::Estud),
                        courses.text(CoursesTable::Nivel), courses.text(CoursesTable::Curso)});
    courses.close();
    return rows;
}

std::vector<CourseProposal> ProposeIntoTable(const QString &folder) {
    const std::vector<CourseProposal> proposals = ProposeCourses(ReadCourseCells(folder));
    DbfTable courses;
    courses.open(folder, CoursesTable::Name, DbfTable::Mode::Exclusive);
    int row = 0;
    for (courses.first(); !courses.eof() && row < static_cast<int>(proposals.size()); courses.next(), ++row) {
        const CourseProposal &p = proposals[static_cast<size_t>(row)];
        if (p.nivelSource != CellSource::Proposed && p.cursoSource != CellSource::Proposed)
            continue;
        courses.edit();
        if (p.nivelSource == CellSource::Proposed)
            courses.setText(CoursesTable::Nivel, p.nivel);
        if (p.cursoSource == CellSource::Proposed)
            courses.setText(CoursesTable::Curso, p.curso);
        courses.post();
    }
    courses.close();
    return proposals;
}
