#include "support/FilePermissionsEnforced.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace glidra::test {

namespace {

constexpr unsigned int kOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

// Both capabilities are below 32, so they live in the first of the two
// words; pid 0 is the calling thread.
bool capabilities(__user_cap_data_struct (&data)[2]) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capget, &header, data) == 0;
}

bool setCapabilities(__user_cap_data_struct (&data)[2]) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

FilePermissionsEnforced::FilePermissionsEnforced() {
    __user_cap_data_struct data[2]{};
    if (!capabilities(data) || (data[0].effective & kOverrides) == 0) return;
    savedEffective_ = data[0].effective;
    data[0].effective &= ~kOverrides;
    dropped_ = setCapabilities(data);
}

FilePermissionsEnforced::~FilePermissionsEnforced() {
    if (!dropped_) return;
    __user_cap_data_struct data[2]{};
    if (!capabilities(data)) return;
    data[0].effective = savedEffective_;
    setCapabilities(data);
}

}  // namespace glidra::test
