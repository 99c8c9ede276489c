#include "app/cli/CliUserInterface.h"

#include "seneca/Messages.h"

void CliUserInterface::showMessage(const QString &text) {
    (text == Msg::Finished ? m_out : m_err) << text << Qt::endl;
}

CourseDialogResult CliUserInterface::editCourses(RunState &state) {
    CourseDialogResult result = CliEditCourses(state, courses, allowIncomplete, propose, m_out, m_err);
    if (result.exitWord == QStringLiteral("fuera"))
        coursesIncomplete = true;
    return result;
}
