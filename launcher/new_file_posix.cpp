#include "new_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

bool writeNewFile(const std::string& path, const std::string& text)
{
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (file < 0)
        return false;
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(file, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += static_cast<size_t>(n);
    }
    const bool closed = ::close(file) == 0;
    if (written == text.size() && closed)
        return true;
    ::unlink(path.c_str());
    return false;
}
