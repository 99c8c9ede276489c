#pragma once
// What a conversion run asks of the user and of the window that started it. The Qt window
// implements it with real dialogs; the command-line tool and the tests with their own.

#include <QString>
#include <optional>

class RunState;

struct CourseDialogResult {
    bool missingData = false; // accepted while a course still lacked its level or number
    QString exitWord;         // "fuera" after the forced exit
};

class UserInterface {
public:
    virtual ~UserInterface() = default;
    // The open-file dialog "Archivo XML" at the given folder; nullopt when cancelled.
    virtual std::optional<QString> chooseFile(const QString &initialFolder) = 0;
    // A modal message; returns when the user dismisses it.
    virtual void showMessage(const QString &text) = 0;
    // The error display: an error's message, after which the program goes on.
    virtual void showError(const QString &text) = 0;
    virtual void setBusy(bool busy) = 0;
    // One showing of the level-and-course dialog on CURSOST in the working folder.
    virtual CourseDialogResult editCourses(RunState &state) = 0;
    virtual void disableDirectionButtons() = 0;
    // After "Proceso finalizado", when the run's report has errors or avisos: offers to open
    // the report. Not called in host mode. A user interface that has nothing to offer it with
    // (the command-line tool prints the report's counts instead) ignores it.
    virtual void offerReport(const QString &path, int errors, int avisos) {
        (void)path, (void)errors, (void)avisos;
    }
    // Closes the main window, which ends the program (and writes the outcome in host mode).
    virtual void closeMainWindow() = 0;
};

// Shows the wait cursor for its lifetime, whatever way the scope ends.
class BusyCursor {
public:
    explicit BusyCursor(UserInterface &ui) : m_ui(ui) { m_ui.setBusy(true); }
    ~BusyCursor() { m_ui.setBusy(false); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    UserInterface &m_ui;
};
