#pragma once
// What every fuzz target shares: a scratch folder of its own (in memory where the system has
// one, so each input costs no disk writes), files written into it, and Qt kept quiet.

#include <QString>
#include <cstddef>
#include <cstdint>

namespace Fuzz {

// The target's own folder, made once per process and emptied by clear(); `name` tells the
// targets apart when several run at once.
QString scratchFolder(const char *name);
// A sub-folder of the scratch folder, created when missing.
QString subFolder(const QString &scratch, const QString &name);
// Removes every file below the folder, keeping the folder.
void clear(const QString &folder);
// Writes the bytes to folder/name, replacing what was there.
void writeFile(const QString &folder, const QString &name, const std::uint8_t *data, std::size_t size);
// Qt's warnings would flood the fuzzer's output; they are dropped.
void silenceQt();

} // namespace Fuzz
