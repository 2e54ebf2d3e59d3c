// An application folder whose Java side calls the splash natives step by
// step, as an application does, and stops at checkpoints so that a test can
// look at the screen. On Windows the stand-in runtime acts the steps out
// from its description; on Linux the machine's JVM runs
// io.tarnwick.splashtest.SplashDriver with the steps as its arguments.
#pragma once

#include "app_layout.h"
#include "process_runner.h"

#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace splash_test {

class splash_application {
public:
    explicit splash_application(const std::string& name);
    ~splash_application();
    splash_application(const splash_application&) = delete;
    splash_application& operator=(const splash_application&) = delete;

    // The launcher built with frame.png as its picture, in place of the plain one.
    void use_launcher_with_picture();

    void show(const boost::filesystem::path& file);
    void field(int x, int y, const std::u16string& text);
    void progress(const std::vector<int>& numbers, const std::u16string& text);
    void hide();
    void print(const std::string& text);
    // The Java side waits here until go_on (the stand-in: for five seconds).
    void checkpoint(const std::string& name);
    // Linux: the Java side writes the launcher's memory map, as it is at
    // this step, into the file name in the application folder; maps_of
    // reads it afterwards.
    void maps(const std::string& name);
    std::string maps_of(const std::string& name) const;

    // Starts the launcher. natives: how many of the five the Java class
    // SplashScreen declares; 0 leaves the class off the class path.
    void start(const std::vector<std::string>& launcher_arguments, int natives = 5);
    // Waits (up to a minute) until the Java side is at the checkpoint.
    bool reached(const std::string& name);
    void go_on(const std::string& name);
    RunResult finish();

    // What the launcher wrote, without the stand-in's checkpoint lines.
    static std::string lines_of(const RunResult& result);
    std::string location_line() const;

    AppLayout layout;
    AppConfig config;
    std::vector<std::pair<std::string, std::string>> environment;

private:
    void run(std::vector<std::string> arguments);

    std::vector<std::string> script_;    // the stand-in's script lines
    std::vector<std::string> arguments_; // SplashDriver's arguments
    std::thread runner_;
    RunResult result_;
};

// Texts and paths as the stand-in's description writes them: quoted, with
// \uXXXX for everything outside printable ASCII.
std::string described(const std::u16string& text);
std::string utf8(const std::u16string& text);

} // namespace splash_test
