#include "app/cli/CliUserInterface.h"

CourseDialogResult CliUserInterface::editCourses(RunState &state) {
    CourseDialogResult result = CliEditCourses(state, courses, allowIncomplete, m_out, m_err);
    if (result.exitWord == QStringLiteral("fuera"))
        coursesIncomplete = true;
    return result;
}
