#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// While it lives, file permissions bind the thread that made it and the
// threads it starts from then on, root included: a read-only folder then
// refuses a removal as it would for any user. Capabilities are per thread,
// so make it before the store whose worker is to be bound.
class OwnerPermissions final {
public:
    OwnerPermissions()
    {
        syscall(SYS_capget, &m_header, m_saved);
        __user_cap_data_struct bound[_LINUX_CAPABILITY_U32S_3] = {m_saved[0], m_saved[1]};
        bound[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        syscall(SYS_capset, &m_header, bound);
    }
    ~OwnerPermissions() { syscall(SYS_capset, &m_header, m_saved); }
    OwnerPermissions(const OwnerPermissions &) = delete;
    OwnerPermissions &operator=(const OwnerPermissions &) = delete;

private:
    __user_cap_header_struct m_header {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[_LINUX_CAPABILITY_U32S_3] {};
};
