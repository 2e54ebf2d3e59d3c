#include "splash_test_paths.h"

#include "test_paths.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = boost::filesystem;

using test_paths::fromBuild;

namespace splash_test {

fs::path picture(const std::string& name)
{
    return fromBuild(SPLASH_TEST_PICTURES) / name;
}

fs::path screenshot(const std::string& name)
{
    const fs::path directory = fromBuild(SPLASH_TEST_SCREENSHOTS);
    fs::create_directories(directory);
    return directory / (name + ".bmp");
}

fs::path launcher_with_picture()
{
    return fromBuild(SPLASH_TEST_LAUNCHER);
}

fs::path probe_program()
{
    return fromBuild(SPLASH_TEST_PROBE);
}

#ifdef SPLASH_TEST_REFUSE_LIBRARY
fs::path library_refuser()
{
    return fromBuild(SPLASH_TEST_REFUSE_LIBRARY);
}
#endif

splash_bytes read_bytes(const fs::path& file)
{
    std::ifstream in(file.string().c_str(), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    return splash_bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace splash_test
