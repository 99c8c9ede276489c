// The level-and-course dialog driven with real key and mouse events on the offscreen
// platform: what the first and later showings offer, the accept check and its warning, the
// forced exit, typed values reaching CURSOST, Enter as Tab, field widths, the empty table,
// the close box, the navigator, and a table held by another program.

#include "import/CoursesTable.h"
#include "gui/GradientPanel.h"
#include "gui/TControlCursos.h"
#include "gui/TCoursesGrid.h"
#include "gui/TCoursesModel.h"
#include "gui/TCoursesNavigator.h"
#include "platform/DbfTable.h"
#include "seneca/Messages.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace TestSupport;

namespace {

// Runs one showing; the script acts on the open dialog, which is then closed by its close
// box if the script left it open.
CourseDialogResult runDialog(RunState &state, const std::function<void(TControlCursos *)> &script) {
    QTimer::singleShot(0, [&] {
        TControlCursos *dialog = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<TControlCursos *>(w); d && d->isVisible())
                dialog = d;
        if (!dialog)
            qFatal("the courses dialog is not showing");
        (void)QTest::qWaitForWindowActive(dialog);
        script(dialog);
        if (dialog->isVisible())
            dialog->close();
    });
    return TControlCursos::Run(nullptr, state);
}

QModelIndex cell(TControlCursos *d, int row, int column) { return d->CursosTDBGrid->model()->index(row, column); }

// Opens the cell's editor with F2 and types into it with real key events.
QLineEdit *typeInto(TControlCursos *d, int row, int column, const QString &text) {
    TCoursesGrid *grid = d->CursosTDBGrid;
    grid->setCurrentIndex(cell(d, row, column));
    QTest::keyClick(grid, Qt::Key_F2);
    auto *editor = qobject_cast<QLineEdit *>(grid->indexWidget(grid->currentIndex()));
    if (!editor)
        return nullptr;
    QTest::keyClicks(editor, text);
    return editor;
}

bool shown(QWidget *w) { return !w->isHidden(); }

} // namespace

class TestGuiCoursesDialog : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_work;
    QStringList m_messages; // what the dialog's message boxes said; errors as "error:..."
    std::function<void(TControlCursos *)> m_onMessage;

    RunState freshState() { return RunState(pathsIn(m_dir.path())); }

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        m_work = pathsIn(m_dir.path()).workDir;
        QDir(m_work).remove("CURSOST.DBF");
        m_messages.clear();
        m_onMessage = nullptr;
        TControlCursos::MessageBoxHook = [this](QWidget *parent, const QString &text, bool isError) {
            m_messages << (isError ? QStringLiteral("error:") : QString()) + text;
            if (m_onMessage)
                m_onMessage(qobject_cast<TControlCursos *>(parent));
        };
    }

    void firstAndLaterShowings_data() {
        QTest::addColumn<bool>("checkFailed");
        QTest::newRow("first showing") << false;
        QTest::newRow("after a failed check") << true;
    }
    void firstAndLaterShowings() {
        QFETCH(bool, checkFailed);
        writeCourses(m_work, {{"6001", "", ""}, {"6002", "", ""}});
        RunState state = freshState();
        state.CourseCheckFailed = checkFailed;
        runDialog(state, [&](TControlCursos *d) {
            QCOMPARE(d->objectName(), QStringLiteral("ControlCursos"));
            QCOMPARE(d->windowTitle(), QStringLiteral("Asignación de Niveles y Cursos"));
            QCOMPARE(d->size(), QSize(686, 499));
            QCOMPARE(d->property("helpContext").toInt(), 1);
            QCOMPARE(d->CursosTDBGrid->property("helpContext").toInt(), 1);
            QCOMPARE(d->Label2->text(), QStringLiteral("Se ha detectado que falta por indicar algún NIVEL  o CURSO. "
                                                       "Complete el/los datos que falten, para poder concluir el "
                                                       "proceso, antes de Salir."));
            QCOMPARE(d->BitBtn1->text(), QStringLiteral("Aceptar"));
            QCOMPARE(shown(d->BitBtn2), checkFailed);
            QCOMPARE(shown(d->Label8), checkFailed);
            QVERIFY(!shown(d->Label3) && !shown(d->Label2));
            QVERIFY(shown(d->Label1) && shown(d->Label9) && shown(d->Label11));
            QCOMPARE(d->CursosTDBGrid->model()->rowCount(), 2);
            QCOMPARE(d->CursosTDBGrid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("CÓD.SÉNECA"));
            // Moving between columns hides the forced exit and its warning; moving between
            // rows does not bring them back.
            QCOMPARE(d->CursosTDBGrid->currentIndex(), cell(d, 0, 0));
            QTest::keyClick(d->CursosTDBGrid, Qt::Key_Down);
            QCOMPARE(shown(d->BitBtn2), checkFailed);
            QTest::keyClick(d->CursosTDBGrid, Qt::Key_Right);
            QVERIFY(!shown(d->BitBtn2) && !shown(d->Label8));
        });
        QCOMPARE(m_messages, QStringList{});
    }

    // The warning labels are up while the message is open; the forced exit appears after it.
    void acceptWithBlankLevel() {
        writeCourses(m_work, {{"6001", "ESO", "1"}, {"6002", " ", "2"}, {"6003", "", ""}});
        RunState state = freshState();
        QStringList atMessage;
        m_onMessage = [&](TControlCursos *d) {
            atMessage << QString::number(shown(d->Label3)) + QString::number(shown(d->Label2)) +
                             QString::number(shown(d->BitBtn2)) +
                             QString::number(d->CursosTDBGrid->currentIndex().row());
        };
        bool forcedExitAfter = false;
        const CourseDialogResult r = runDialog(state, [&](TControlCursos *d) {
            QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
            forcedExitAfter = shown(d->BitBtn2);
            QVERIFY(!d->isVisible());
        });
        QCOMPARE(m_messages, QStringList{Msg::MissingData});
        QCOMPARE(atMessage, QStringList{QStringLiteral("1101")}); // the grid stands on the first incomplete row
        QVERIFY(forcedExitAfter);
        QVERIFY(r.missingData);
        QCOMPARE(r.exitWord, QString());
    }

    void forcedExit() {
        writeCourses(m_work, {{"6001", "", ""}});
        RunState state = freshState();
        state.CourseCheckFailed = true;
        const CourseDialogResult r = runDialog(state, [&](TControlCursos *d) {
            QLineEdit *editor = typeInto(d, 0, TCoursesModel::ColNivel, QStringLiteral("ESO"));
            QVERIFY(editor);
            QTest::mouseClick(d->BitBtn2, Qt::LeftButton);
            QVERIFY(!d->isVisible());
        });
        QVERIFY(!r.missingData);
        QCOMPARE(r.exitWord, QStringLiteral("fuera"));
        QCOMPARE(m_messages, QStringList{});
        QCOMPARE(column(m_work, "CURSOST", "NIVEL"), QStringList{"ESO"}); // leaving the grid posted it
    }

    // Typed values reach CURSOST as rows are left and the dialog is accepted; the next
    // showing starts from them.
    void typedValuesPersist() {
        writeCourses(m_work, {{"6001", "", ""}, {"6002", "", ""}});
        RunState state = freshState();
        CourseDialogResult r = runDialog(state, [&](TControlCursos *d) {
            QLineEdit *editor = typeInto(d, 0, TCoursesModel::ColNivel, QStringLiteral("ESO"));
            QVERIFY(editor);
            QTest::keyClick(editor, Qt::Key_Return); // to CURSO, with its editor open
            QCOMPARE(d->CursosTDBGrid->currentIndex(), cell(d, 0, TCoursesModel::ColCurso));
            auto *next = qobject_cast<QLineEdit *>(d->CursosTDBGrid->indexWidget(d->CursosTDBGrid->currentIndex()));
            QVERIFY(next);
            QTest::keyClicks(next, QStringLiteral("1"));
            QTest::keyClick(next, Qt::Key_Enter); // to the next row: the first row is posted
            QCOMPARE(d->CursosTDBGrid->currentIndex(), cell(d, 1, TCoursesModel::ColClave));
            QCOMPARE(columns(m_work, "CURSOST", {"NIVEL", "CURSO"}), (QStringList{"ESO|1", "|"}));
            QVERIFY(typeInto(d, 1, TCoursesModel::ColNivel, QStringLiteral("BCT")));
            QTest::mouseClick(d->BitBtn1, Qt::LeftButton); // the editor's text is kept
        });
        QVERIFY(r.missingData);
        QCOMPARE(columns(m_work, "CURSOST", {"NIVEL", "CURSO"}), (QStringList{"ESO|1", "BCT|"}));

        state.CourseCheckFailed = true;
        m_messages.clear();
        r = runDialog(state, [&](TControlCursos *d) {
            QVERIFY(shown(d->BitBtn2));
            QCOMPARE(cell(d, 1, TCoursesModel::ColNivel).data().toString(), QStringLiteral("BCT"));
            QVERIFY(typeInto(d, 1, TCoursesModel::ColCurso, QStringLiteral("2")));
            QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
        });
        QVERIFY(!r.missingData);
        QCOMPARE(m_messages, QStringList{});
        QCOMPARE(columns(m_work, "CURSOST", {"CLAVE", "NIVEL", "CURSO"}), (QStringList{"6001|ESO|1", "6002|BCT|2"}));
    }

    void enterMovesToTheNextCell() {
        writeCourses(m_work, {{"6001", "ESO", "1"}, {"6002", "ESO", "2"}});
        RunState state = freshState();
        runDialog(state, [&](TControlCursos *d) {
            TCoursesGrid *grid = d->CursosTDBGrid;
            QStringList visited;
            for (int i = 0; i < 5; ++i) {
                QTest::keyClick(grid->focusWidget() ? grid->focusWidget() : grid, Qt::Key_Return);
                visited << QStringLiteral("%1,%2").arg(grid->currentIndex().row()).arg(grid->currentIndex().column());
                // An editable cell opens its editor; Enter there moves on as well.
            }
            QCOMPARE(visited, (QStringList{"0,1", "0,2", "0,3", "1,0", "1,1"}));
            QVERIFY(d->isVisible()); // Enter in the grid never presses the default button
        });
    }

    void textBeyondTheWidth_data() {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("level") << int(TCoursesModel::ColNivel) << "EDSOXYZ" << "EDSOX";
        QTest::newRow("course") << int(TCoursesModel::ColCurso) << "1234" << "123";
    }
    void textBeyondTheWidth() {
        QFETCH(int, col);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        writeCourses(m_work, {{"6001", "", ""}});
        RunState state = freshState();
        runDialog(state, [&](TControlCursos *d) {
            QLineEdit *editor = typeInto(d, 0, col, typed);
            QVERIFY(editor);
            QCOMPARE(editor->text(), kept);
            QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
        });
        QCOMPARE(column(m_work, "CURSOST", col == TCoursesModel::ColNivel ? "NIVEL" : "CURSO"), QStringList{kept});
    }

    // Entering the grid of an empty table starts a new row; left untouched it is dropped, so
    // nothing is missing and no blank row is written. A row the user fills in is kept.
    void emptyTable_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("missing");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("untouched") << QString() << false << QStringList{};
        QTest::newRow("filled in") << QStringLiteral("ESO") << true << QStringList{"|ESO|"};
    }
    void emptyTable() {
        QFETCH(QString, typed);
        writeCourses(m_work, {});
        RunState state = freshState();
        const CourseDialogResult r = runDialog(state, [&](TControlCursos *d) {
            QCOMPARE(d->CursosTDBGrid->model()->rowCount(), 1);
            QCOMPARE(d->wwTableCursosT->state(), DbfTable::State::Insert);
            if (!typed.isEmpty())
                QVERIFY(typeInto(d, 0, TCoursesModel::ColNivel, typed));
            QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
        });
        QTEST(r.missingData, "missing");
        QTEST(columns(m_work, "CURSOST", {"CLAVE", "NIVEL", "CURSO"}), "rows");
    }

    // The close box keeps what was typed in the current row and reports nothing.
    void closeBoxKeepsTheRow() {
        writeCourses(m_work, {{"6001", "", ""}});
        RunState state = freshState();
        const CourseDialogResult r = runDialog(state, [&](TControlCursos *d) {
            QVERIFY(typeInto(d, 0, TCoursesModel::ColNivel, QStringLiteral("LS")));
            d->close();
        });
        QVERIFY(!r.missingData);
        QCOMPARE(r.exitWord, QString());
        QCOMPARE(column(m_work, "CURSOST", "NIVEL"), QStringList{"LS"});
    }

    void navigator() {
        QList<QStringList> rows;
        for (int i = 0; i < 15; ++i)
            rows << QStringList{QString::number(6000 + i), "", ""};
        writeCourses(m_work, rows);
        RunState state = freshState();
        runDialog(state, [&](TControlCursos *d) {
            using N = TCoursesNavigator;
            QStringList hints;
            for (int b = 0; b < N::ButtonCount; ++b) {
                QToolButton *button = d->wwDBNavigator1->button(static_cast<N::Button>(b));
                hints << button->toolTip();
                QVERIFY(button->autoRepeat());
                QCOMPARE(button->autoRepeatDelay(), 500);
                QCOMPARE(button->autoRepeatInterval(), 100);
            }
            QCOMPARE(hints, (QStringList{"Move to first record", "Move backward 10 records", "Move to prior record",
                                         "Move to next record", "Move forward 10 records", "Move to last record",
                                         "Edit current record", "Post changes of current record",
                                         "Cancel changes made to current record",
                                         "Refresh the contents of the dataset"}));
            auto press = [&](N::Button b) { QTest::mouseClick(d->wwDBNavigator1->button(b), Qt::LeftButton); };
            press(N::NextPage);
            QCOMPARE(d->CursosTDBGrid->currentIndex().row(), 10);
            press(N::NextPage);
            QCOMPARE(d->CursosTDBGrid->currentIndex().row(), 14);
            press(N::First);
            QCOMPARE(d->CursosTDBGrid->currentIndex().row(), 0);

            QVERIFY(typeInto(d, 3, TCoursesModel::ColNivel, QStringLiteral("GAD")));
            press(N::Cancel);
            QCOMPARE(cell(d, 3, TCoursesModel::ColNivel).data().toString(), QString());
            QVERIFY(typeInto(d, 3, TCoursesModel::ColNivel, QStringLiteral("GAD")));
            press(N::Post);
            QCOMPARE(column(m_work, "CURSOST", "NIVEL").at(3), QStringLiteral("GAD"));
            QVERIFY(!d->wwDBNavigator1->button(N::Post)->isEnabled());
        });
    }

    // A table another program holds: the error is shown, accepting cannot check and keeps
    // the dialog open; once the table is free, accepting checks and closes.
    void tableHeldByAnotherProgram() {
        writeCourses(m_work, {{"6001", "ESO", "1"}});
        auto holder = std::make_unique<DbfTable>();
        holder->open(m_work, "CURSOST", DbfTable::Mode::Exclusive);
        RunState state = freshState();
        const CourseDialogResult r = runDialog(state, [&](TControlCursos *d) {
            QCOMPARE(m_messages.size(), 1);
            QVERIFY2(m_messages[0].startsWith(QStringLiteral("error:")), qPrintable(m_messages[0]));
            QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
            QVERIFY(d->isVisible());
            QCOMPARE(m_messages.size(), 2);
            holder.reset();
            QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
            QVERIFY(!d->isVisible());
        });
        QVERIFY(!r.missingData);
        QCOMPARE(m_messages.size(), 2);
    }

    // The proposal button: empty cells filled and shown in italics with "propuesto", what the
    // user typed kept, a name no rule knows marked; typing over a proposal makes it the user's.
    void proposeButton() {
        writeCourses(m_work, {{"6001", "", "", "1º de E.S.O."},
                              {"6002", "SEC", "", "2º de E.S.O."},
                              {"6003", "", "", "Estudios propios"},
                              {"6004", "", "", "1º de Bachillerato (Ciencias y Tecnología)"}});
        RunState state = freshState();
        runDialog(state, [&](TControlCursos *d) {
            QVERIFY(shown(d->BProponer));
            QCOMPARE(d->BProponer->text(), QStringLiteral("Proponer niveles y cursos"));
            QVERIFY(typeInto(d, 3, TCoursesModel::ColCurso, QStringLiteral("7"))); // pending when pressed
            QTest::mouseClick(d->BProponer, Qt::LeftButton);
            QCOMPARE(columns(m_work, "CURSOST", {"NIVEL", "CURSO"}),
                     (QStringList{"SEC|1", "SEC|2", "|", "BCT|7"}));
            auto *model = d->wwTableCursosT;
            using M = TCoursesModel::Mark;
            QCOMPARE(model->mark(0, TCoursesModel::ColNivel), M::Proposed);
            QCOMPARE(model->mark(1, TCoursesModel::ColNivel), M::None);
            QCOMPARE(model->mark(1, TCoursesModel::ColCurso), M::Proposed);
            QCOMPARE(model->mark(2, TCoursesModel::ColNivel), M::NoProposal);
            QCOMPARE(model->mark(3, TCoursesModel::ColCurso), M::None);
            QVERIFY(cell(d, 0, TCoursesModel::ColNivel).data(Qt::FontRole).value<QFont>().italic());
            QCOMPARE(cell(d, 0, TCoursesModel::ColNivel).data(Qt::ToolTipRole).toString(), QStringLiteral("propuesto"));
            QVERIFY(!cell(d, 1, TCoursesModel::ColNivel).data(Qt::FontRole).value<QFont>().italic());
            QVERIFY(cell(d, 2, TCoursesModel::ColNivel).data(Qt::ToolTipRole).toString().startsWith("sin propuesta"));

            QLineEdit *editor = typeInto(d, 0, TCoursesModel::ColNivel, QStringLiteral("ESO"));
            QVERIFY(editor);
            QTest::keyClick(editor, Qt::Key_Return);
            QCOMPARE(model->mark(0, TCoursesModel::ColNivel), M::None);
            QCOMPARE(model->mark(0, TCoursesModel::ColCurso), M::Proposed);
        });
        QCOMPARE(m_messages, QStringList{});
        QCOMPARE(column(m_work, "CURSOST", "NIVEL").at(0), QStringLiteral("ESO"));
    }

    // Rows the courses step filled from memory are marked "recordado" until accepted.
    void rememberedRowsMarked() {
        writeCourses(m_work, {{"6001", "ESO", "1"}, {"6002", "", ""}});
        RunState state = freshState();
        state.rememberedCourseRows = {0};
        runDialog(state, [&](TControlCursos *d) {
            QCOMPARE(cell(d, 0, TCoursesModel::ColCurso).data(Qt::ToolTipRole).toString(), QStringLiteral("recordado"));
            QVERIFY(cell(d, 0, TCoursesModel::ColNivel).data(Qt::FontRole).value<QFont>().italic());
            QCOMPARE(cell(d, 1, TCoursesModel::ColNivel).data(Qt::ToolTipRole), QVariant());
            QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
        });
        QVERIFY(state.rememberedCourseRows.empty());
    }

    // With the export loaded, the units of each course show; a course without any says that it
    // makes no group. Without it the column is not shown.
    void unitsColumn() {
        RunState state = freshState();
        state.document.load(writeSeneca(m_dir.path(), "centro.xml",
                                        {group("UNIDADES", {{"900001", "E1A", "6001"}, {"900002", "E1B", "6001"}})}));
        writeCourses(m_work, {{"6001", "", ""}, {"6002", "", ""}});
        runDialog(state, [&](TControlCursos *d) {
            QVERIFY(!d->CursosTDBGrid->isColumnHidden(TCoursesModel::ColUnits));
            QCOMPARE(cell(d, 0, TCoursesModel::ColUnits).data().toInt(), 2);
            QCOMPARE(cell(d, 1, TCoursesModel::ColUnits).data().toInt(), 0);
            QVERIFY(cell(d, 1, TCoursesModel::ColUnits).data(Qt::ToolTipRole).toString().startsWith("Sin unidades"));
            QVERIFY(!(d->wwTableCursosT->flags(cell(d, 0, TCoursesModel::ColUnits)) & Qt::ItemIsEditable));
        });
        RunState noDocument = freshState();
        runDialog(noDocument, [&](TControlCursos *d) {
            QVERIFY(d->CursosTDBGrid->isColumnHidden(TCoursesModel::ColUnits));
        });
    }

    // At the dialog's size every title reads whole and so does a usual name, without a
    // horizontal scroll, also with a vertical one; a longer name reads whole in its tooltip.
    // The new button overlaps none of the other controls.
    void readableGrid() {
        const QString usualName = QStringLiteral("2º de Bachillerato (Ciencias y Tecnología)");
        const QString longName = QStringLiteral("1º de Bachillerato (Humanidades y Ciencias Sociales)");
        RunState state = freshState();
        state.document.load(writeSeneca(m_dir.path(), "centro.xml", {group("UNIDADES", {{"900001", "E1A", "6001"}})}));
        QList<QStringList> rows;
        for (int i = 0; i < 40; ++i) // enough for a vertical scroll bar
            rows.append({QString::number(35000 + i), "", "", i == 0 ? longName : usualName});
        writeCourses(m_work, rows);
        runDialog(state, [&](TControlCursos *d) {
            TCoursesGrid *grid = d->CursosTDBGrid;
            const QFontMetrics titles(grid->horizontalHeader()->font());
            // A title may take its second line after a dot, never inside a word.
            QCOMPARE(grid->horizontalHeader()->model()->headerData(0, Qt::Horizontal).toString(),
                     QStringLiteral("CÓD.\u200BSÉNECA"));
            for (int c = 0; c < TCoursesModel::ColumnCount; ++c) {
                const QString title = grid->horizontalHeader()->model()->headerData(c, Qt::Horizontal).toString();
                for (const QString &line : title.split(QChar(0x200B)))
                    QVERIFY2(grid->columnWidth(c) > titles.horizontalAdvance(line), qPrintable(line));
            }
            QVERIFY(grid->columnWidth(TCoursesModel::ColEstud) > QFontMetrics(grid->font()).horizontalAdvance(usualName));
            QCOMPARE(cell(d, 0, TCoursesModel::ColEstud).data(Qt::ToolTipRole).toString(), longName);
            QVERIFY(grid->verticalScrollBar()->isVisible());
            QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
            QCOMPARE(grid->geometry(), QRect(3, 56, 454, 433));
            for (QWidget *other : d->Draw3D1->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                if (other != d->BProponer)
                    QVERIFY2(!other->geometry().intersects(d->BProponer->geometry()), qPrintable(other->objectName()));
        });
    }
};

QTEST_MAIN(TestGuiCoursesDialog)
#include "test_gui_courses_dialog.moc"
