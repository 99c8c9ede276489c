#pragma once
// Shared test helpers: a scripted stand-in for the user, small Séneca fixtures written on the
// fly, and tables dumped as "FIELD=value" lines so a failure reads as a diff.

#include "seneca/RunState.h"
#include "seneca/UserInterface.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

class Report;

namespace TestSupport {

// The path of a file under tests/data; fails the test loudly when it is missing.
QString dataFile(const QString &name);

// A file's whole bytes (none when it cannot be read), and a file written whole (the test fails
// when it cannot be).
QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);

// A user who answers from a script and records what the run showed.
class ScriptedUi : public UserInterface {
public:
    // Answers of the open-file dialog, in order; an empty optional cancels. When the script
    // runs out, the dialog is cancelled.
    std::deque<std::optional<QString>> fileAnswers;
    // Called once per showing of the courses dialog; when unset, every showing ends as the
    // dialog's close box does and the run goes on with the table as it is.
    std::function<CourseDialogResult(RunState &)> courseEditor;

    QStringList messages;     // showMessage, in order
    QStringList errors;       // showError, in order
    QStringList events;       // every call: "choose", "message:...", "error:...", "busy:1", ...
    int courseShowings = 0;
    bool busy = false;
    bool buttonsDisabled = false;
    bool closed = false;

    std::optional<QString> chooseFile(const QString &initialFolder) override;
    void showMessage(const QString &text) override;
    void showError(const QString &text) override;
    void setBusy(bool on) override;
    CourseDialogResult editCourses(RunState &state) override;
    void disableDirectionButtons() override;
    void closeMainWindow() override;
};

// Paths of a fresh test: the working folder and the executable's folder inside a temporary
// folder; the catalogue is the one the build made, unless the test says otherwise.
Paths pathsIn(const QString &root);

// Writes an ISO-8859-1 Séneca document around the given groups (UTF-8 here, converted on
// write) and returns its path. Each group is the XML of one <grupo_datos seq=...> element.
QString writeSeneca(const QString &folder, const QString &fileName, const QStringList &groups);
// <grupo_datos seq="SEQ"> with one record per entry, each record's dato values in order;
// names (when given) become nombre_dato.
QString group(const QString &seq, const QList<QStringList> &records, const QStringList &names = {});
// The school-year group: its dato directly under the group.
QString yearGroup(const QString &year, const QString &start, const QString &end);

// A CURSOST as the dialog leaves it: rows of CLAVE, NIVEL, CURSO and, when given, ESTUD
// (otherwise "Estudios <CLAVE>").
void writeCourses(const QString &folder, const QList<QStringList> &rows);

// Every visible record of a table, one line per record: "FIELD=value|FIELD=value|...".
QStringList dumpTable(const QString &folder, const QString &name);
// The values of one field, in table order.
QStringList column(const QString &folder, const QString &name, const QString &field);
// Chosen fields of every visible record, one line per record: "value|value|..." in the order
// the fields are given.
QStringList columns(const QString &folder, const QString &name, const QStringList &fields);

// Every finding of a report, one "level | kind | text" line each, for a failed check to show.
QString DumpFindings(const Report &report);

} // namespace TestSupport
