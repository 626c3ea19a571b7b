#pragma once

namespace glidra::test {

// Makes file permissions hold for the calling thread while it lives, also
// when the tests run as root (as CI does): root's power to read and write
// past them (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH) is dropped from the
// thread's effective capabilities and given back afterwards. A test that
// needs an unreadable file checks that it really is, and skips otherwise.
class FilePermissionsEnforced {
public:
    FilePermissionsEnforced();
    ~FilePermissionsEnforced();
    FilePermissionsEnforced(const FilePermissionsEnforced&) = delete;
    FilePermissionsEnforced& operator=(const FilePermissionsEnforced&) = delete;

private:
    bool dropped_ = false;
    unsigned int savedEffective_ = 0;
};

}  // namespace glidra::test
