#include "gui/TCoursesGrid.h"

#include "gui/TCoursesModel.h"
#include "import/CoursesTable.h"
#include "platform/RunError.h"

#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

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

namespace {

// The titles as the header shows them: a title may also break after a dot ("CÓD." over
// "SÉNECA"), so that the key column need not be as wide as its title on one line.
class HeaderTitles : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        QVariant value = QIdentityProxyModel::headerData(section, orientation, role);
        if (role == Qt::DisplayRole && orientation == Qt::Horizontal)
            return value.toString().replace(QStringLiteral("."), QStringLiteral(".\u200B"));
        return value;
    }
};

} // namespace

TCoursesGrid::TCoursesGrid(TCoursesModel *model, QWidget *parent) : QTableView(parent), m_model(model) {
    setModel(model);
    auto *titles = new HeaderTitles(this);
    titles->setSourceModel(model);
    horizontalHeader()->setModel(titles);
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

    h->setStretchLastSection(false);
    // The units column shows only when the dialog knows the units; a reset shows every column.
    auto showColumns = [this] {
        setColumnHidden(TCoursesModel::ColUnits, !m_model->hasUnits());
        fitColumns();
    };
    connect(model, &QAbstractItemModel::modelReset, this, showColumns);
    showColumns();

    connect(model, &TCoursesModel::currentMoved, this, &TCoursesGrid::followModel);
}

void TCoursesGrid::fitColumns() {
    // Every title reads whole, and so do the values its field holds; the studies take the
    // rest of the grid (less a vertical scroll bar when the rows need one): names up to about
    // 40 characters read whole, longer ones in their tooltip or by scrolling.
    const QFontMetrics cells(font());
    const QFontMetrics titles(horizontalHeader()->font());
    const int padding = 8;
    auto fit = [&](int column, const QString &widest) {
        // A title on two lines needs its longer line.
        int title = 0;
        for (const QString &line : horizontalHeader()->model()->headerData(column, Qt::Horizontal).toString().split(
                 QChar(0x200B)))
            title = std::max(title, titles.horizontalAdvance(line));
        const int width = std::max(title, cells.horizontalAdvance(widest)) + padding;
        setColumnWidth(column, width);
        return width;
    };
    QString widestKey;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QString key = m_model->index(row, TCoursesModel::ColClave).data().toString();
        if (cells.horizontalAdvance(key) > cells.horizontalAdvance(widestKey))
            widestKey = key;
    }
    int used = fit(TCoursesModel::ColClave, widestKey);
    used += fit(TCoursesModel::ColNivel, QStringLiteral("FPBMV"));
    used += fit(TCoursesModel::ColCurso, QString(CoursesTable::CursoWidth, QLatin1Char('0')));
    if (!isColumnHidden(TCoursesModel::ColUnits))
        used += fit(TCoursesModel::ColUnits, QStringLiteral("00"));
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int rowsHeight = m_model->rowCount() * verticalHeader()->defaultSectionSize();
    const bool verticalBar = rowsHeight > height() - 2 * frameWidth() - horizontalHeader()->height() - scrollBar;
    const int room = width() - 2 * frameWidth() - verticalHeader()->width() - (verticalBar ? scrollBar : 0);
    fit(TCoursesModel::ColEstud, QString());
    setColumnWidth(TCoursesModel::ColEstud, std::max(room - used, columnWidth(TCoursesModel::ColEstud)));
}

void TCoursesGrid::resizeEvent(QResizeEvent *event) {
    QTableView::resizeEvent(event);
    fitColumns();
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
