#pragma once
// The level-and-course dialog: the user gives every course of CURSOST a level (NIVEL) and a
// course number (CURSO), from which the groups step names the class groups (ESO1A, ESO1B...).
// Accepting with a course incomplete warns and reports MissingData, and the courses step
// shows a fresh dialog, which then also offers the forced exit.

#include "seneca/RunState.h"
#include "seneca/UserInterface.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class TCoursesGrid;
class TCoursesModel;
class TCoursesNavigator;
class GradientPanel;

class TControlCursos : public QDialog {
    Q_OBJECT
public:
    TControlCursos(QWidget *owner, RunState &state);
    ~TControlCursos() override;

    // One modal showing over CURSOST in the import's table folder (state.tableFolder()), in a fresh dialog.
    static CourseDialogResult Run(QWidget *owner, RunState &state);

    // Where the dialog's message boxes go: the missing-data notice (isError false) and table
    // errors (isError true). Unset, they are modal message boxes; tests set it to answer them.
    static std::function<void(QWidget *parent, const QString &text, bool isError)> MessageBoxHook;

    bool MissingData = false;
    QString ExitWord;

    // Event handlers, named after their component and event.
    void FormShow();
    void CursosTDBGridEnter();
    void CursosTDBGridExit();
    void CursosTDBGridColEnter();
    void BitBtn1Click();
    void BitBtn2Click();
    // "Proponer niveles y cursos": fills the empty NIVEL and CURSO cells from the names of the
    // studies; what the user wrote stays.
    void BProponerClick();

    GradientPanel *Draw3D1;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9, *Label10, *Label11;
    TCoursesNavigator *wwDBNavigator1;
    TCoursesGrid *CursosTDBGrid;
    QPushButton *BitBtn1, *BitBtn2, *BProponer;
    TCoursesModel *wwTableCursosT;

public slots:
    // The window's close box: posts what the user typed in the current row, then closes.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void leaveGrid();
    void focusMoved(QWidget *old, QWidget *now);
    void notify(const QString &text, bool isError);
    void updateNavigator();

    RunState &m_state;
    bool m_shown = false;
};
