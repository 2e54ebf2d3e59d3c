#include "splash_application.h"

#include "splash_test_paths.h"

#include <cstdio>
#include <sstream>

namespace fs = boost::filesystem;

namespace splash_test {

std::string described(const std::u16string& text)
{
    std::string out = "\"";
    for (char16_t c : text) {
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        }
    }
    return out + "\"";
}

std::string utf8(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {

std::u16string ascii(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

} // namespace

splash_application::splash_application(const std::string& name) : layout(name)
{
    config.mainClass = "io.tarnwick.splashtest.SplashDriver";
    config.mainMethod = "run";
}

splash_application::~splash_application()
{
    if (runner_.joinable())
        runner_.join();
}

void splash_application::use_launcher_with_picture()
{
    fs::copy_file(launcher_with_picture(), layout.launcher(), fs::copy_options::overwrite_existing);
}

void splash_application::show(const fs::path& file)
{
    script_.push_back("call showPNGSplashImpl " + described(ascii(file.string())));
    arguments_.insert(arguments_.end(), {"show", file.string()});
}

void splash_application::field(int x, int y, const std::u16string& text)
{
    script_.push_back("call setFieldImpl " + std::to_string(x) + " " + std::to_string(y) + " " + described(text));
    arguments_.insert(arguments_.end(), {"field", std::to_string(x), std::to_string(y), utf8(text)});
}

void splash_application::progress(const std::vector<int>& numbers, const std::u16string& text)
{
    std::string call = "call setProgressImpl";
    arguments_.push_back("progress");
    for (int n : numbers) {
        call += " " + std::to_string(n);
        arguments_.push_back(std::to_string(n));
    }
    script_.push_back(call + " " + described(text));
    arguments_.push_back(utf8(text));
}

void splash_application::hide()
{
    script_.push_back("call hideSplashImpl");
    arguments_.push_back("hide");
}

void splash_application::print(const std::string& text)
{
    script_.push_back("print " + described(ascii(text)));
    arguments_.insert(arguments_.end(), {"print", text});
}

void splash_application::checkpoint(const std::string& name)
{
    script_.push_back("print \"checkpoint " + name + "\"");
    script_.push_back("sleep 5000");
    arguments_.insert(arguments_.end(), {"checkpoint", name});
}

void splash_application::run(std::vector<std::string> arguments)
{
    layout.writeConfig(config);
    layout.makeLib();
    RunOptions options;
    options.workingDirectory = layout.root().string();
    options.timeoutMs = 120000;
    options.environment = environment;
    runner_ = std::thread([this, arguments, options] {
        result_ = runProgram(layout.launcher().string(), arguments, options);
    });
}

RunResult splash_application::finish()
{
    runner_.join();
    return result_;
}

std::string splash_application::lines_of(const RunResult& result)
{
    std::istringstream in(result.out);
    std::string line;
    std::string kept;
    while (std::getline(in, line))
        if (line.rfind("checkpoint ", 0) != 0)
            kept += line + "\n";
    return kept;
}

std::string splash_application::location_line() const
{
    return "Current launcher location: " + layout.launcher().string() + "\n";
}

} // namespace splash_test
