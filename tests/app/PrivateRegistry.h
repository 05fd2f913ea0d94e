// On Windows the program's settings live in the registry under
// HKEY_CURRENT_USER, which a test must share neither with the user nor with
// another test program (on Linux CTest gives each program a configuration
// directory of its own). For the whole test program HKEY_CURRENT_USER is
// redirected to a key of its own, removed again at the end.
#pragma once

#if defined(_WIN32)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace driver {

class PrivateCurrentUser {
public:
    PrivateCurrentUser()
        : name_(L"Software\\TarveloV1 tests\\" + std::to_wstring(GetCurrentProcessId())) {
        RegDeleteTreeW(HKEY_CURRENT_USER, name_.c_str());
        if (RegCreateKeyExW(HKEY_CURRENT_USER, name_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key_, nullptr) != ERROR_SUCCESS ||
            RegOverridePredefKey(HKEY_CURRENT_USER, key_) != ERROR_SUCCESS) {
            std::fputs("cannot redirect HKEY_CURRENT_USER; the user's settings stay untouched, "
                       "and the tests do not run\n",
                       stderr);
            std::exit(1);
        }
    }
    ~PrivateCurrentUser() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(key_);
        RegDeleteTreeW(HKEY_CURRENT_USER, name_.c_str());
        // The parent too, unless another test program still uses it.
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TarveloV1 tests");
    }
    PrivateCurrentUser(const PrivateCurrentUser&) = delete;
    PrivateCurrentUser& operator=(const PrivateCurrentUser&) = delete;

private:
    std::wstring name_;
    HKEY key_ = nullptr;
};

// One per test program, set up before main() runs.
inline PrivateCurrentUser privateCurrentUser;

} // namespace driver
#endif
