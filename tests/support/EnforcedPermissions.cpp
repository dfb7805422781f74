#include "EnforcedPermissions.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace {
constexpr unsigned PERMISSION_OVERRIDES = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

struct Capabilities {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};

    bool Get() { return syscall(SYS_capget, &header, data) == 0; }
    bool Set() { return syscall(SYS_capset, &header, data) == 0; }
};
} // namespace

EnforcedPermissions::EnforcedPermissions() {
    Capabilities caps;
    if (!caps.Get())
        return;
    FSavedEffective[0] = caps.data[0].effective;
    FSavedEffective[1] = caps.data[1].effective;
    caps.data[0].effective &= ~PERMISSION_OVERRIDES;
    FDropped = caps.Set();
}

EnforcedPermissions::~EnforcedPermissions() {
    Capabilities caps;
    if (!FDropped || !caps.Get())
        return;
    caps.data[0].effective = FSavedEffective[0];
    caps.data[1].effective = FSavedEffective[1];
    caps.Set();
}

bool EnforcedPermissions::HoldInFolder(const char* Folder) {
    const std::string probe = std::string(Folder) + "/.permission-probe";
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        return errno == EACCES;
    close(fd);
    unlink(probe.c_str());
    return false;
}
