#pragma once
// How many units (class groups to be) each course has in the loaded export: a course without
// any makes no group, so its level and course number are never used.

#include "seneca/SenecaDocument.h"

#include <optional>
#include <string>
#include <unordered_map>

// Units per course key (as CURSOST holds the key), counting the "UNIDADES" records that the
// groups step takes; nullopt when no document has been loaded.
std::optional<std::unordered_map<std::string, int>> UnitsPerCourse(const SenecaDocument &document);
