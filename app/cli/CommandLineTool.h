#pragma once
// transvelkor-cli: the same conversions as the window, with the file given on the command
// line. Messages go to standard output, errors to standard error.

#include <QStringList>
#include <QTextStream>

namespace CommandLineTool {
enum Exit { Ok = 0, RunFailed = 1, BadUsage = 2, CoursesIncomplete = 3, ReportHasErrors = 4 };
// arguments[0] is the program name.
int run(const QStringList &arguments);
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);
} // namespace CommandLineTool
