#pragma once

// While one lives, this thread meets permission bits as an ordinary user does, also when it
// runs as root: the capabilities that let root write into read-only folders and read
// unreadable files (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH) leave its effective set and come
// back at the end. For a user without those capabilities it changes nothing.
class EnforcedPermissions {
public:
    EnforcedPermissions();
    ~EnforcedPermissions();
    EnforcedPermissions(const EnforcedPermissions&) = delete;
    EnforcedPermissions& operator=(const EnforcedPermissions&) = delete;

    // Whether creating a file in a folder of mode 0555 fails here now: false when the bits
    // cannot be enforced (the capability calls failed).
    static bool HoldInFolder(const char* Folder);

private:
    bool FDropped = false;
    unsigned FSavedEffective[2] = {};
};
