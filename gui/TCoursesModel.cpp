#include "gui/TCoursesModel.h"

#include "import/CoursesTable.h"
#include "platform/RunError.h"

#include <algorithm>

TCoursesModel::TCoursesModel(QObject *parent) : QAbstractTableModel(parent) {}

TCoursesModel::~TCoursesModel() { abandon(); }

const QString &TCoursesModel::fieldOf(int column) {
    static const QString names[ColumnCount] = {CoursesTable::Clave, CoursesTable::Estud, CoursesTable::Nivel,
                                               CoursesTable::Curso};
    return names[column];
}

void TCoursesModel::open(const QString &folder) {
    abandon();
    m_table.open(folder, CoursesTable::Name, DbfTable::Mode::Shared);
    beginResetModel();
    loadRows();
    endResetModel();
    emit currentMoved(m_current);
}

void TCoursesModel::close() {
    if (!m_table.isOpen())
        return;
    post();
    m_table.close();
    beginResetModel();
    m_rows.clear();
    m_current = -1;
    endResetModel();
    emit currentMoved(m_current);
}

void TCoursesModel::abandon() noexcept {
    try {
        if (editing())
            m_table.cancel();
    } catch (...) {
    }
    try {
        if (m_table.isOpen())
            m_table.close();
    } catch (...) {
    }
    m_modified = false;
}

bool TCoursesModel::isOpen() const { return m_table.isOpen(); }

DbfTable::State TCoursesModel::state() const { return m_table.isOpen() ? m_table.state() : DbfTable::State::Closed; }

bool TCoursesModel::editing() const {
    const DbfTable::State s = state();
    return s == DbfTable::State::Edit || s == DbfTable::State::Insert;
}

TCoursesModel::Row TCoursesModel::readRow() const {
    Row row;
    for (int c = 0; c < ColumnCount; ++c)
        row.values[c] = m_table.text(fieldOf(c));
    return row;
}

void TCoursesModel::loadRows() {
    m_rows.clear();
    for (m_table.first(); !m_table.eof(); m_table.next())
        m_rows.push_back(readRow());
    m_modified = false;
    m_current = m_rows.empty() ? -1 : 0;
    if (m_current == 0)
        m_table.first();
}

void TCoursesModel::reloadCurrent() {
    if (m_current < 0 || m_current >= static_cast<int>(m_rows.size()))
        return;
    m_rows[static_cast<size_t>(m_current)] = readRow();
    emit dataChanged(index(m_current, 0), index(m_current, ColumnCount - 1));
}

void TCoursesModel::setCurrent(int row) {
    const int old = m_current;
    m_current = row;
    if (old >= 0 && old != row && old < rowCount())
        emit headerDataChanged(Qt::Vertical, old, old);
    if (row >= 0)
        emit headerDataChanged(Qt::Vertical, row, row);
    emit currentMoved(row);
}

void TCoursesModel::moveTo(int row) {
    if (!isOpen() || m_rows.empty())
        return;
    row = std::clamp(row, 0, rowCount() - 1);
    if (row == m_current)
        return; // staying on a pending row keeps it pending
    post();
    row = std::min(row, rowCount() - 1); // an untouched new row may have gone
    m_table.moveTo(row);
    setCurrent(row);
}

void TCoursesModel::startEdit() {
    if (!isOpen() || editing())
        return;
    if (m_rows.empty()) {
        beginInsertRows({}, 0, 0);
        m_table.append();
        m_rows.push_back(readRow());
        endInsertRows();
        m_modified = false;
        setCurrent(0);
        return;
    }
    m_table.moveTo(m_current);
    m_table.edit();
    m_modified = false;
    setCurrent(m_current);
}

void TCoursesModel::editRow(int row) {
    if (!isOpen() || row < 0 || row >= rowCount())
        return;
    moveTo(row);
    if (row != m_current || editing())
        return;
    m_table.moveTo(m_current);
    m_table.edit();
    m_modified = false;
    setCurrent(m_current);
}

void TCoursesModel::post() {
    if (!editing())
        return;
    if (!m_modified) {
        cancel();
        return;
    }
    m_table.post();
    m_modified = false;
    m_table.moveTo(m_current);
    reloadCurrent();
    setCurrent(m_current);
}

void TCoursesModel::cancel() {
    if (!editing())
        return;
    const bool inserting = m_table.state() == DbfTable::State::Insert;
    m_table.cancel();
    m_modified = false;
    if (inserting) {
        const int row = rowCount() - 1;
        beginRemoveRows({}, row, row);
        m_rows.pop_back();
        endRemoveRows();
        const int now = m_rows.empty() ? -1 : std::min(m_current, rowCount() - 1);
        if (now >= 0)
            m_table.moveTo(now);
        setCurrent(now);
        return;
    }
    m_table.moveTo(m_current);
    reloadCurrent();
    setCurrent(m_current);
}

void TCoursesModel::refresh() {
    if (!isOpen())
        return;
    post();
    const int keep = m_current;
    beginResetModel();
    loadRows();
    endResetModel();
    if (keep > 0 && !m_rows.empty()) {
        m_current = std::min(keep, rowCount() - 1);
        m_table.moveTo(m_current);
    }
    emit currentMoved(m_current);
}

void TCoursesModel::followTable() {
    if (!isOpen() || m_table.eof())
        return;
    setCurrent(m_table.position());
}

int TCoursesModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TCoursesModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TCoursesModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_rows[static_cast<size_t>(index.row())].values[index.column()].toQString();
    case MaxLengthRole: {
        static const int widths[ColumnCount] = {CoursesTable::ClaveWidth, CoursesTable::EstudWidth,
                                                CoursesTable::NivelWidth, CoursesTable::CursoWidth};
        return widths[index.column()];
    }
    default:
        return {};
    }
}

bool TCoursesModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    try {
        if (index.row() != m_current)
            moveTo(index.row());
        if (index.row() != m_current)
            return false; // the row went away with the pending one
        const AnsiText text = AnsiText::fromQString(value.toString());
        Row &row = m_rows[static_cast<size_t>(m_current)];
        if (text == row.values[index.column()])
            return true;
        if (!editing()) {
            m_table.moveTo(m_current);
            m_table.edit();
        }
        const QString &field = fieldOf(index.column());
        m_table.setText(field, text);
        row.values[index.column()] = m_table.text(field); // as the field holds it: cut, unpadded
        m_modified = true;
        emit dataChanged(index, index);
        setCurrent(m_current);
        return true;
    } catch (const RunError &error) {
        if (errorHandler)
            errorHandler(error.message());
        return false;
    }
}

Qt::ItemFlags TCoursesModel::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (isOpen() && (index.column() == ColNivel || index.column() == ColCurso))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant TCoursesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        static const QString titles[ColumnCount] = {QStringLiteral("CÓD.SÉNECA"), QStringLiteral("ESTUDIOS"),
                                                    QStringLiteral("NIVEL"), QStringLiteral("CURSO")};
        if (section < 0 || section >= ColumnCount)
            return {};
        return role == Qt::DisplayRole ? QVariant(titles[section]) : QVariant();
    }
    // The row indicator: an arrow on the current row, an I-beam while it is edited, an
    // asterisk on a new row.
    if (role != Qt::DisplayRole || section != m_current)
        return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
    switch (state()) {
    case DbfTable::State::Edit:
        return QStringLiteral("I");
    case DbfTable::State::Insert:
        return QStringLiteral("*");
    default:
        return QStringLiteral("\u25B6");
    }
}
