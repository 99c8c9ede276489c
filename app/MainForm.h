#pragma once
// The main window MForm: the two directions of conversion, help and close; owner of the
// run-wide state; and the hand-off with the host (living inside the host's window, running
// the requested direction at once, leaving the outcome in Zetarium.ini on closing).

#include "app/HostCommandLine.h"
#include "seneca/RunState.h"
#include "seneca/UserInterface.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class GradientPanel;
class QFileDialog;
class QLabel;
class QPushButton;
class QWindow;

class TMForm : public QWidget, public UserInterface {
    Q_OBJECT
public:
    // `parameters`: the program's arguments without the program name. The creation handler
    // runs here: with two parameters the window is made a child of the host's window.
    explicit TMForm(const QStringList &parameters, Paths paths = Paths::defaults(), QWidget *parent = nullptr);
    ~TMForm() override;

    RunState &state() { return m_state; }
    // True once the window has been closed; the program then ends.
    bool hasClosed() const { return m_closed; }

    // The first showing runs the show handler before the window becomes visible; a window
    // closed by it is never shown.
    void setVisible(bool visible) override;

    // UserInterface
    std::optional<QString> chooseFile(const QString &initialFolder) override;
    void showMessage(const QString &text) override;
    void showError(const QString &text) override;
    void setBusy(bool busy) override;
    CourseDialogResult editCourses(RunState &state) override;
    void disableDirectionButtons() override;
    void closeMainWindow() override;
    // "¿Desea abrir el informe...?"; yes opens it in the browser.
    void offerReport(const QString &path, int errors, int avisos) override;

    GradientPanel *Draw3D1 = nullptr;
    GradientPanel *Draw3D2 = nullptr;
    GradientPanel *Draw3D3 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QPushButton *BExportar = nullptr;
    QPushButton *BImportar = nullptr;
    QPushButton *BClose = nullptr;
    QPushButton *Button1 = nullptr;
    QFileDialog *OpenDialogXML = nullptr;

    // What the help button asks for: the help system's contents (the help file SENECA.chm).
    static std::function<void()> HelpContentsHook;
    // Where showMessage and showError go. Unset, they are modal message boxes titled
    // "TransVelkorSeneca"; tests set it to answer them.
    static std::function<void(const QString &text, bool isError)> MessageBoxHook;
    // The question that offers to open a report, and how the report is opened. Unset, the
    // question is a Sí/No message box and the report opens in the desktop's browser; tests set
    // them to answer and to see what would open.
    static std::function<bool(const QString &question)> ReportQuestionHook;
    static std::function<bool(const QString &path)> OpenReportHook;

signals:
    // Emitted once, after the close handler: the program ends.
    void closed();

public slots:
    void BExportarClick();
    void BImportarClick();
    void Button1Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWidgets();
    void FormCreate();
    void FormShow();
    void FormClose();
    void hostWindowCheck();
    // The parent of the run's dialogs: the form, or none while it is inside the host's window.
    QWidget *dialogOwner();
    // Keeps a parentless dialog above the host's window.
    void attachToHost(QWidget *dialog);
    template <class F> void guarded(F &&body);

    RunState m_state;
    HostCommandLine m_commandLine;
    QPointer<QWindow> m_hostWindow; // the host's window while embedded
    QTimer m_hostWatch;
    bool m_shown = false;
    bool m_closed = false;
    // Set once the close handler has run: the program is ending, and a run still going asks
    // nothing more of the user (no dialog opens, no message shows, the courses end by force).
    bool m_ended = false;
};
