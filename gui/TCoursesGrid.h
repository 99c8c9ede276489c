#pragma once
// The courses grid over TCoursesModel: CLAVE and ESTUD read-only, NIVEL and CURSO edited in a
// line that takes no more characters than the field holds. Enter moves to the next cell as
// Tab does; Escape forgets the pending row's changes. The row indicator at the left is the
// vertical header, which does not scroll sideways. The units column, read-only, shows when
// the model knows the units.

#include "gui/TCoursesNavigator.h"

#include <QStyledItemDelegate>
#include <QTableView>

class TCoursesModel;

class TCoursesDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *editor, QEvent *event) override;
};

class TCoursesGrid : public QTableView {
    Q_OBJECT
public:
    TCoursesGrid(TCoursesModel *model, QWidget *parent = nullptr);
    TCoursesModel *courses() const { return m_model; }

    // Hands the open editor's text to the model (as leaving the cell does) and closes it.
    void commitOpenEditor();
    // Closes the open editor without keeping its text.
    void discardOpenEditor();
    // What a navigator button does. Throws RunError from the table engine.
    void navigate(TCoursesNavigator::Button which);
    // Sizes the columns to the grid's width: titles and keys whole, the studies the rest.
    void fitColumns();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void followModel(int row);
    TCoursesModel *m_model;
};
