#include "gui/TCoursesModel.h"

#include "import/CourseProposals.h"
#include "import/CoursesTable.h"
#include "platform/RunError.h"

#include <QColor>
#include <QFont>
#include <algorithm>
#include <iterator>

TCoursesModel::TCoursesModel(QObject *parent) : QAbstractTableModel(parent) {}

TCoursesModel::~TCoursesModel() { abandon(); }

const QString &TCoursesModel::fieldOf(int column) {
    static const QString names[FieldColumns] = {CoursesTable::Clave, CoursesTable::Estud, CoursesTable::Nivel,
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
    for (int c = 0; c < FieldColumns; ++c)
        row.values[c] = m_table.text(fieldOf(c));
    return row;
}

void TCoursesModel::loadRows() {
    // Reading the rows again keeps the marks of the rows that are still there.
    const std::vector<Row> old = std::move(m_rows);
    m_rows.clear();
    for (m_table.first(); !m_table.eof(); m_table.next())
        m_rows.push_back(readRow());
    for (size_t i = 0; i < m_rows.size() && i < old.size(); ++i)
        std::copy(std::begin(old[i].marks), std::end(old[i].marks), std::begin(m_rows[i].marks));
    m_modified = false;
    m_current = m_rows.empty() ? -1 : 0;
    if (m_current == 0)
        m_table.first();
}

void TCoursesModel::reloadCurrent() {
    if (m_current < 0 || m_current >= static_cast<int>(m_rows.size()))
        return;
    Row &row = m_rows[static_cast<size_t>(m_current)];
    Row fresh = readRow();
    std::copy(std::begin(row.marks), std::end(row.marks), std::begin(fresh.marks));
    row = fresh;
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
    const Row &row = m_rows[static_cast<size_t>(index.row())];
    if (index.column() == ColUnits)
        return unitsData(row, role);
    if (role == Qt::ToolTipRole && index.column() == ColEstud) // the whole name, also where the column cuts it
        return row.values[ColEstud].toQString();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return row.values[index.column()].toQString();

    case MaxLengthRole: {
        static const int widths[FieldColumns] = {CoursesTable::ClaveWidth, CoursesTable::EstudWidth,
                                                 CoursesTable::NivelWidth, CoursesTable::CursoWidth};
        return widths[index.column()];
    }
    default:
        return index.column() == ColNivel || index.column() == ColCurso ? markData(row, index.column(), role)
                                                                         : QVariant();
    }
}

QVariant TCoursesModel::unitsData(const Row &row, int role) const {
    if (!m_hasUnits)
        return {};
    const auto found = m_units.find(row.values[ColClave].bytes());
    const int units = found == m_units.end() ? 0 : found->second;
    switch (role) {
    case Qt::DisplayRole:
        return units;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        return units == 0 ? QVariant(QColor(0xC0, 0x00, 0x00)) : QVariant();
    case Qt::ToolTipRole:
        return units == 0 ? QStringLiteral("Sin unidades: este curso no forma ningún grupo, su NIVEL y su CURSO "
                                           "no se usan")
                          : QStringLiteral("Unidades de este curso en la exportación de Séneca");
    default:
        return {};
    }
}

QVariant TCoursesModel::markData(const Row &row, int column, int role) const {
    const Mark m = row.marks[column - ColNivel];
    switch (role) {
    case Qt::FontRole:
        if (m == Mark::Remembered || m == Mark::Proposed) {
            QFont italic;
            italic.setItalic(true);
            return italic;
        }
        return {};
    case Qt::ToolTipRole:
        switch (m) {
        case Mark::Remembered: return QStringLiteral("recordado");
        case Mark::Proposed: return QStringLiteral("propuesto");
        case Mark::NoProposal: return QStringLiteral("sin propuesta: complételo a mano");
        case Mark::None: return {};
        }
        return {};
    case Qt::BackgroundRole:
        return m == Mark::NoProposal ? QVariant(QColor(0xFF, 0xD8, 0xD8)) : QVariant();
    default:
        return {};
    }
}

void TCoursesModel::markRemembered(const std::vector<int> &rows) {
    for (const int r : rows) {
        if (r < 0 || r >= rowCount())
            continue;
        m_rows[static_cast<size_t>(r)].marks[0] = m_rows[static_cast<size_t>(r)].marks[1] = Mark::Remembered;
        emit dataChanged(index(r, ColNivel), index(r, ColCurso));
    }
}

int TCoursesModel::propose() {
    if (!isOpen())
        return 0;
    post();
    std::vector<CourseCells> cells;
    for (const Row &row : m_rows)
        cells.push_back({row.values[ColClave], row.values[ColEstud], row.values[ColNivel], row.values[ColCurso]});
    const std::vector<CourseProposal> proposals = ProposeCourses(cells);
    int filled = 0;
    for (size_t i = 0; i < proposals.size(); ++i) {
        const CourseProposal &p = proposals[i];
        Row &row = m_rows[i];
        const CellSource sources[2] = {p.nivelSource, p.cursoSource};
        const AnsiText values[2] = {p.nivel, p.curso};
        bool changed = false;
        for (int c = 0; c < 2; ++c) {
            if (sources[c] == CellSource::Given)
                continue;
            row.marks[c] = sources[c] == CellSource::Proposed ? Mark::Proposed : Mark::NoProposal;
            if (sources[c] != CellSource::Proposed)
                continue;
            if (!changed) {
                m_table.moveTo(static_cast<int>(i));
                m_table.edit();
                changed = true;
            }
            m_table.setText(fieldOf(ColNivel + c), values[c]);
            ++filled;
        }
        if (changed) {
            m_table.post();
            row.values[ColNivel] = m_table.text(CoursesTable::Nivel);
            row.values[ColCurso] = m_table.text(CoursesTable::Curso);
        }
        emit dataChanged(index(static_cast<int>(i), ColNivel), index(static_cast<int>(i), ColCurso));
    }
    if (m_current >= 0)
        m_table.moveTo(m_current);
    setCurrent(m_current);
    return filled;
}

void TCoursesModel::clearMarks() {
    for (Row &row : m_rows)
        row.marks[0] = row.marks[1] = Mark::None;
    if (!m_rows.empty())
        emit dataChanged(index(0, ColNivel), index(rowCount() - 1, ColCurso));
}

TCoursesModel::Mark TCoursesModel::mark(int row, int column) const {
    if (row < 0 || row >= rowCount() || (column != ColNivel && column != ColCurso))
        return Mark::None;
    return m_rows[static_cast<size_t>(row)].marks[column - ColNivel];
}

void TCoursesModel::setUnits(std::unordered_map<std::string, int> units) {
    beginResetModel();
    m_units = std::move(units);
    m_hasUnits = true;
    endResetModel();
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
        // What the user writes (or confirms) in a cell is no longer a proposal.
        row.marks[index.column() - ColNivel] = Mark::None;
        if (text == row.values[index.column()]) {
            emit dataChanged(index, index);
            return true;
        }
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
                                                    QStringLiteral("NIVEL"), QStringLiteral("CURSO"),
                                                    QStringLiteral("UDS.")};
        if (section < 0 || section >= ColumnCount)
            return {};
        if (role == Qt::ToolTipRole && section == ColUnits)
            return QStringLiteral("Unidades del curso en la exportación de Séneca; un curso sin unidades no forma "
                                  "ningún grupo");
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
