#pragma once
// The host's solved timetable SOLUC, read once and grouped by teacher abbreviation. Each
// teacher's placed entries keep table order, so walking them gives what the filter
// PROF= 'abbreviation' would let through (exact, case-sensitive), without passing the whole
// table once per teacher.

#include "platform/AnsiText.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class DbfTable;

// One placed entry (DIA not 0) of SOLUC.
struct SolucEntry {
    std::int32_t day = 0;  // DIA
    std::int32_t slot = 0; // HORA
    AnsiText subject;      // ASIG
    AnsiText group;        // CODGRUPO
    AnsiText activity;     // TAREA
    AnsiText room;         // AULA
};

class SolucEntries {
public:
    // Reads PROF and DIA of every visible record, and the other fields of the placed ones.
    // An entry with DIA 0 is not placed: it is neither counted nor written.
    void read(DbfTable &soluc);
    // The teacher's placed entries in table order (an empty list when there are none).
    const std::vector<SolucEntry> &placed(const AnsiText &teacher) const;

private:
    std::unordered_map<std::string, std::vector<SolucEntry>> m_byTeacher;
};
