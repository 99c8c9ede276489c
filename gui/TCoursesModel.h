#pragma once
// The dialog's view of CURSOST: one row per record, columns CLAVE, ESTUD, NIVEL, CURSO. It
// keeps the data-set rules of the host's grids: the current row may be pending (being edited,
// or a new row being inserted); leaving it posts it; a pending row the user has not changed
// is dropped rather than written, so an untouched new row vanishes.
//
// Every method that touches the table may throw RunError, except the ones Qt calls
// (setData and the read-only model API), which report through errorHandler instead.

#include "platform/AnsiText.h"
#include "platform/DbfTable.h"

#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class TCoursesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The first four show the table's fields; ColUnits the course's units in the export.
    enum Column { ColClave, ColEstud, ColNivel, ColCurso, ColUnits, ColumnCount };
    static constexpr int FieldColumns = ColUnits;
    // Where the value of a NIVEL or CURSO cell came from, until the user edits it.
    enum class Mark { None, Remembered, Proposed, NoProposal };
    // The field's width in characters (an int), for editors that must not take more.
    static constexpr int MaxLengthRole = Qt::UserRole + 1;

    explicit TCoursesModel(QObject *parent = nullptr);
    ~TCoursesModel() override;

    // Opens CURSOST in the folder for shared use and loads its rows; the first is current.
    void open(const QString &folder);
    // Posts the pending row, then closes and empties the model.
    void close();
    // Closes without posting, swallowing every error: the way out after a failure.
    void abandon() noexcept;
    bool isOpen() const;
    DbfTable &table() { return m_table; }

    DbfTable::State state() const;
    bool editing() const;
    int currentRow() const { return m_current; }
    // Posts the pending row (as leaving it does) and stands on another row, clamped to the rows.
    void moveTo(int row);
    // Unless a row is pending, starts editing the current row; on an empty table, a new blank row.
    void startEdit();
    // Posts the pending row if it is another, then starts editing the given row (a cell
    // editor opened on it): the row is pending from the first key, as in the host's grids.
    void editRow(int row);
    // Writes the pending row when the user changed it; forgets it otherwise.
    void post();
    // Forgets the pending row's changes (a new row disappears).
    void cancel();
    // Posts, then reads every row again from disk.
    void refresh();
    // Makes the table's own position (moved by a check that walked it) the current row.
    void followTable();

    // Marks both cells of these rows as filled from the remembered courses.
    void markRemembered(const std::vector<int> &rows);
    // Posts the pending row, then fills every empty NIVEL and CURSO with the level rules'
    // proposals (writing the rows that change) and marks them, or marks the cells for which
    // there is none. Returns the number of cells filled.
    int propose();
    void clearMarks();
    Mark mark(int row, int column) const;
    // The units of each course key; without them the units column stays empty.
    void setUnits(std::unordered_map<std::string, int> units);
    bool hasUnits() const { return m_hasUnits; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    std::function<void(const QString &message)> errorHandler;

signals:
    // The current row or its pending state changed (the grid follows, the navigator updates).
    void currentMoved(int row);

private:
    struct Row {
        AnsiText values[FieldColumns];
        Mark marks[2] = {Mark::None, Mark::None}; // NIVEL, CURSO
    };
    QVariant unitsData(const Row &row, int role) const;
    QVariant markData(const Row &row, int column, int role) const;
    static const QString &fieldOf(int column);
    Row readRow() const;
    void loadRows();
    void reloadCurrent();
    void setCurrent(int row);

    DbfTable m_table;
    std::vector<Row> m_rows;
    int m_current = -1;
    bool m_modified = false;
    std::unordered_map<std::string, int> m_units;
    bool m_hasUnits = false;
};
