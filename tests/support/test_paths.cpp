#include "test_paths.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>
#include <iterator>
#include <stdexcept>

namespace fs = boost::filesystem;

namespace test_paths {

fs::path fromBuild(const char* path)
{
#ifdef _WIN32
    if (path[0] == '/')
        return fs::path(std::string("Z:") + path).make_preferred();
#endif
    return fs::path(path);
}

fs::path fromUtf8(const std::string& text)
{
#ifdef _WIN32
    std::wstring wide(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                           static_cast<int>(wide.size()));
    wide.resize(static_cast<size_t>(std::max(length, 0)));
    return fs::path(wide);
#else
    return fs::path(text);
#endif
}

std::string utf8Of(const fs::path& path)
{
#ifdef _WIN32
    const std::wstring& wide = path.native();
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string text(static_cast<size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0], size, nullptr, nullptr);
    return text;
#else
    return path.string();
#endif
}

fs::path launcherProgram() { return fromBuild(TEST_LAUNCHER_PROGRAM); }
fs::path updaterProgram() { return fromBuild(TEST_UPDATER_PROGRAM); }
fs::path standInRuntime() { return fromBuild(TEST_STANDIN_RUNTIME); }
fs::path standInNoEntry() { return fromBuild(TEST_STANDIN_NOENTRY); }
fs::path standInDependency() { return fromBuild(TEST_STANDIN_DEPENDENCY); }
fs::path workDirectory() { return fromBuild(TEST_WORK_DIRECTORY); }
fs::path javaHome() { return fromBuild(TEST_JAVA_HOME); }
fs::path javaFixtures() { return fromBuild(TEST_JAVA_FIXTURES); }
fs::path sampleApplication() { return fromBuild(TEST_SAMPLE_APPLICATION); }
fs::path toolsJar() { return fromBuild(TEST_TOOLS_JAR); }
fs::path helperProgram(const std::string& name)
{
    return fromBuild(TEST_HELPER_DIRECTORY) / (name + TEST_PROGRAM_SUFFIX);
}

fs::path freshDirectory(const std::string& name)
{
    fs::path dir = workDirectory() / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

} // namespace test_paths

void writeTextFile(const fs::path& path, const std::string& content)
{
    if (path.has_parent_path())
        fs::create_directories(path.parent_path());
    std::ofstream file(path.string().c_str(), std::ios::binary | std::ios::trunc);
    file << content;
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

std::string readTextFile(const fs::path& path)
{
    std::ifstream file(path.string().c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::vector<std::string> readLines(const fs::path& path)
{
    std::vector<std::string> lines;
    std::ifstream file(path.string().c_str(), std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool waitForLastLine(const fs::path& path, const std::string& lastLine, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (fs::exists(path)) {
            std::vector<std::string> lines = readLines(path);
            if (!lines.empty() && lines.back() == lastLine)
                return true;
        }
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool waitForLine(const fs::path& path, const std::string& line, const std::string& after, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        std::vector<std::string> lines = readLines(path);
        const size_t n = lines.size();
        if (after.empty() ? std::find(lines.begin(), lines.end(), line) != lines.end()
                          : n >= 2 && lines[n - 2] == line && lines[n - 1] == after)
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}
