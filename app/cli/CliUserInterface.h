#pragma once
// The command-line tool's side of a run: the file is given instead of chosen, results go to
// standard output and every failure or warning to standard error, and the courses come from a
// CSV file.

#include "app/cli/CoursesCsv.h"
#include "seneca/UserInterface.h"

#include <QTextStream>
#include <vector>

class CliUserInterface : public UserInterface {
public:
    CliUserInterface(QString file, QTextStream &out, QTextStream &err)
        : m_file(std::move(file)), m_out(out), m_err(err) {}

    std::vector<CourseValues> courses;
    bool allowIncomplete = false;
    bool propose = false; // --proponer: the level rules fill what the courses file leaves empty
    bool coursesIncomplete = false; // the run stopped because a course lacked its level or number

    std::optional<QString> chooseFile(const QString &) override { return m_file; }
    // "Proceso finalizado" is the result and goes to standard output; every other message
    // ("No existe archivo", the missing periods table) reports a failure: standard error.
    void showMessage(const QString &text) override;
    void showError(const QString &text) override { m_err << text << Qt::endl; }
    void setBusy(bool) override {}
    CourseDialogResult editCourses(RunState &state) override;
    void disableDirectionButtons() override {}
    void closeMainWindow() override {}

private:
    QString m_file;
    QTextStream &m_out;
    QTextStream &m_err;
};
