#include "import/CourseCheck.h"

#include "import/CoursesTable.h"
#include "seneca/Clipper.h"

bool CourseRowIncomplete(const DbfTable &courses) {
    return Clipper::IsBlankText(courses.text(CoursesTable::Nivel))
        || Clipper::IsBlankText(courses.text(CoursesTable::Curso));
}

bool CourseDataMissing(DbfTable &courses) {
    for (courses.first(); !courses.eof(); courses.next())
        if (CourseRowIncomplete(courses))
            return true;
    return false;
}

std::vector<IncompleteCourse> IncompleteCourses(const QString &folder) {
    DbfTable courses;
    courses.open(folder, CoursesTable::Name, DbfTable::Mode::Shared);
    std::vector<IncompleteCourse> found;
    for (courses.first(); !courses.eof(); courses.next())
        if (CourseRowIncomplete(courses))
            found.push_back({courses.text(CoursesTable::Clave), courses.text(CoursesTable::Estud)});
    courses.close();
    return found;
}
