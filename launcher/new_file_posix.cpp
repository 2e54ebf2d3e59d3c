// A file created where none was, written and closed with every step checked.
#include "new_file.h"

#include "os_handles.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

bool writeNewFile(const std::string& path, const std::string& text)
{
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!file)
        return false;
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(file.get(), text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += static_cast<size_t>(n);
    }
    // A failed close can mean the text never reached the disk.
    const bool closed = ::close(file.release()) == 0;
    if (written == text.size() && closed)
        return true;
    ::unlink(path.c_str());
    return false;
}
