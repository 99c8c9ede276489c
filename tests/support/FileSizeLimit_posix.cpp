#include "support/FileSizeLimit.h"

#include <csignal>
#include <sys/resource.h>

namespace {
struct rlimit saved;
void (*savedHandler)(int) = SIG_DFL;
} // namespace

bool TestSupport::LimitFileSize(std::int64_t bytes) {
    if (getrlimit(RLIMIT_FSIZE, &saved) != 0)
        return false;
    // Past the limit the write fails with EFBIG instead of the signal ending the process.
    savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = rlim_t(bytes);
    return setrlimit(RLIMIT_FSIZE, &small) == 0;
}

void TestSupport::UnlimitFileSize() {
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
}
