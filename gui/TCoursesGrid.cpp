#include "gui/TCoursesGrid.h"

#include "gui/TCoursesModel.h"
#include "platform/RunError.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>

QWidget *TCoursesDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const {
    auto *editor = new QLineEdit(parent);
    editor->setFrame(false);
    const QVariant max = index.data(TCoursesModel::MaxLengthRole);
    if (max.isValid())
        editor->setMaxLength(max.toInt());
    return editor;
}

bool TCoursesDelegate::eventFilter(QObject *editor, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            return QStyledItemDelegate::eventFilter(editor, &tab);
        }
    }
    return QStyledItemDelegate::eventFilter(editor, event);
}

TCoursesGrid::TCoursesGrid(TCoursesModel *model, QWidget *parent) : QTableView(parent), m_model(model) {
    setModel(model);
    setItemDelegate(new TCoursesDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setTabKeyNavigation(true);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    // Cells on pale blue, every other row on a deeper blue.
    setAlternatingRowColors(true);
    QPalette p = palette();
    p.setColor(QPalette::Base, QColor(0xF0, 0xFB, 0xFF));
    p.setColor(QPalette::AlternateBase, QColor(0xCF, 0xD9, 0xFE));
    setPalette(p);

    const QFontMetrics fm(font());
    QHeaderView *v = verticalHeader();
    v->setSectionResizeMode(QHeaderView::Fixed);
    v->setDefaultSectionSize(fm.height() + 4);
    v->setDefaultAlignment(Qt::AlignCenter);
    v->setFixedWidth(fm.height() + 2);
    v->setHighlightSections(false);

    // Bold titles on two lines, left-aligned, on a pale orange.
    QHeaderView *h = horizontalHeader();
    QFont bold = font();
    bold.setBold(true);
    h->setFont(bold);
    h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter | Qt::Alignment::fromInt(Qt::TextWordWrap));
    h->setHighlightSections(false);
    h->setSectionsMovable(false);
    h->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: #FEE4A9; font-weight: bold; "
                                    "border: 0px; border-right: 1px solid #808080; "
                                    "border-bottom: 1px solid #808080; padding-left: 2px; }"));
    h->setFixedHeight(2 * QFontMetrics(bold).lineSpacing() + 6);

    // Widths in characters, as the host's grids give them.
    const int charWidth = fm.horizontalAdvance(QLatin1Char('0'));
    const int widths[TCoursesModel::ColumnCount] = {10, 40, 5, 3};
    for (int c = 0; c < TCoursesModel::ColumnCount; ++c)
        setColumnWidth(c, widths[c] * charWidth + 8);
    h->setStretchLastSection(false);

    connect(model, &TCoursesModel::currentMoved, this, &TCoursesGrid::followModel);
}

void TCoursesGrid::followModel(int row) {
    if (row < 0 || row == currentIndex().row())
        return;
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    setCurrentIndex(m_model->index(row, column));
}

void TCoursesGrid::commitOpenEditor() {
    if (QWidget *editor = indexWidget(currentIndex()); editor) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void TCoursesGrid::discardOpenEditor() {
    if (QWidget *editor = indexWidget(currentIndex()); editor)
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void TCoursesGrid::navigate(TCoursesNavigator::Button which) {
    using N = TCoursesNavigator;
    const int row = m_model->currentRow();
    if (which == N::Cancel) {
        discardOpenEditor();
        m_model->cancel();
        return;
    }
    commitOpenEditor();
    switch (which) {
    case N::First: m_model->moveTo(0); break;
    case N::PriorPage: m_model->moveTo(row - 10); break;
    case N::Prior: m_model->moveTo(row - 1); break;
    case N::Next: m_model->moveTo(row + 1); break;
    case N::NextPage: m_model->moveTo(row + 10); break;
    case N::Last: m_model->moveTo(m_model->rowCount() - 1); break;
    case N::Edit: m_model->startEdit(); break;
    case N::Post: m_model->post(); break;
    case N::Refresh: m_model->refresh(); break;
    default: break;
    }
}

bool TCoursesGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) {
    if (!QTableView::edit(index, trigger, event))
        return false;
    if (indexWidget(index)) {
        try {
            m_model->editRow(index.row());
        } catch (const RunError &error) {
            if (m_model->errorHandler)
                m_model->errorHandler(error.message());
        }
    }
    return true;
}

void TCoursesGrid::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QTableView::keyPressEvent(&tab);
        event->accept();
        return;
    }
    case Qt::Key_Escape:
        // Forgets the pending row's changes; the dialog has no cancel button to close.
        try {
            m_model->cancel();
        } catch (const RunError &error) {
            if (m_model->errorHandler)
                m_model->errorHandler(error.message());
        }
        event->accept();
        return;
    default:
        QTableView::keyPressEvent(event);
    }
}
