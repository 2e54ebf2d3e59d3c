#include "process.h"

#include "process_internal.h"

#include <boost/filesystem.hpp>

#include <cstdlib>

std::string canonicalFallbackLocation(const char* fallbackName)
{
    if (fallbackName == nullptr || *fallbackName == '\0')
        return {};
    boost::system::error_code ec;
    boost::filesystem::path resolved =
        boost::filesystem::canonical(boost::filesystem::path(fallbackName),
                                     boost::filesystem::current_path(), ec);
    if (ec)
        return {};
    return resolved.make_preferred().string();
}

std::string errorBoxText(const std::exception& e)
{
    return std::string("Failed to start application: ") + e.what();
}

void freeNarrowCommandLine(int count, char** arguments)
{
    if (arguments == nullptr)
        return;
    for (int i = 0; i < count; ++i)
        std::free(arguments[i]);
    std::free(arguments);
}
