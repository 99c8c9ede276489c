#pragma once
// Makes every file this process writes fail past a size, to test what a failed write leaves.

#include <cstdint>

namespace TestSupport {
// Writes past `bytes` fail from now on; false where the system cannot limit them (Windows).
bool LimitFileSize(std::int64_t bytes);
// Lifts the limit.
void UnlimitFileSize();
} // namespace TestSupport
