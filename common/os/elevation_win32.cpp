#include "elevation.h"

#include <windows.h>

#include <memory>

namespace {

struct HandleCloser {
    void operator()(void* handle) const { CloseHandle(static_cast<HANDLE>(handle)); }
};

} // namespace

bool processIsElevated()
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw))
        return false;
    const std::unique_ptr<void, HandleCloser> token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(raw, TokenElevation, &elevation, sizeof(elevation), &size) != 0 &&
           elevation.TokenIsElevated != 0;
}
