#include "support/FileSizeLimit.h"

bool TestSupport::LimitFileSize(std::int64_t) { return false; }

void TestSupport::UnlimitFileSize() {}
