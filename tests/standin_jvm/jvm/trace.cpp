#include "trace.h"

#include "platform.h"
#include "runtime.h"

#include <cstdio>
#include <cstdlib>

namespace standin {

const std::filesystem::path& home_directory()
{
    static const std::filesystem::path directory = platform::library_file().parent_path();
    return directory;
}

void trace(const std::string& line)
{
    std::FILE* file = platform::open_file(home_directory() / "trace.txt", "ab");
    if (file == nullptr)
        return;
    std::fwrite(line.data(), 1, line.size(), file);
    std::fputc('\n', file);
    std::fclose(file);
}

void fatal(const std::string& message)
{
    // Recursive: also right when the caller already holds it.
    auto guard = Runtime::instance().lock();
    const std::string line = "stand-in: " + message;
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    trace(line);
    std::abort();
}

} // namespace standin
