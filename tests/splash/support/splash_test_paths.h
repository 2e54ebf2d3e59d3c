// Where the splash tests find their pictures and programs, and where they
// keep the screenshots of the states they check.
#pragma once

#include "splash_image.h"

#include <boost/filesystem.hpp>

#include <string>

namespace splash_test {

boost::filesystem::path picture(const std::string& name); // tests/splash/pictures/<name>
boost::filesystem::path screenshot(const std::string& name); // <build>/tests/screenshots/<name>.bmp
boost::filesystem::path launcher_with_picture(); // the launcher with frame.png embedded
boost::filesystem::path probe_program();         // splash_probe
// Linux: preloaded, it makes the library named by the environment variable
// SPLASH_TEST_REFUSED_LIBRARY impossible to open.
boost::filesystem::path library_refuser();

splash_bytes read_bytes(const boost::filesystem::path& file);

} // namespace splash_test
