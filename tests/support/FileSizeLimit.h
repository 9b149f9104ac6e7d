#pragma once

#include <csignal>
#include <sys/resource.h>

// Lets files grow to limit bytes only, as a full disk would.
inline void limitFileSize(rlim_t limit)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit sizes {limit, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &sizes);
}
