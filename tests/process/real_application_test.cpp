// A real desktop application that nobody here wrote, started through the
// launcher unchanged: jEdit from Debian's package, in the machine's JVM, with
// the launcher's built-in splash and the ready runner of tarnwick-tools.jar.
#include "app_layout.h"
#include "process_runner.h"
#include "test_paths.h"
#include "x_windows_posix.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace fs = boost::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const fs::path kJedit = "/usr/share/jedit/jedit.jar";

struct DisplayClose {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

// The test's X screen, seen as a person sees it: which windows are up.
class Screen {
public:
    Screen() : display_(XOpenDisplay(nullptr)) { x_windows::tolerate_vanishing_windows(); }
    explicit operator bool() const { return display_ != nullptr; }

    // A mapped top-level window whose name holds `part`, or 0.
    Window viewable(const std::string& part) const
    {
        for (const x_windows::top_level& window : x_windows::viewable_top_levels(display_.get()))
            if (window.name.find(part) != std::string::npos)
                return window.id;
        return 0;
    }

    // What a window manager sends when the user closes a window.
    void askToClose(Window window) const
    {
        Display* display = display_.get();
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
        XFlush(display);
    }

private:
    std::unique_ptr<Display, DisplayClose> display_;
};

// What the watcher saw, in milliseconds since the launcher was started; -1
// when it never happened.
struct Seen {
    long splash = -1;
    long editor = -1;
    long splashGone = -1;
    bool askedToClose = false;
};

long since(Clock::time_point start)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

Seen watch(Clock::time_point start)
{
    Seen seen;
    Screen screen;
    if (!screen)
        return seen;
    const auto deadline = start + std::chrono::seconds(60);
    Window editor = 0;
    while (Clock::now() < deadline) {
        const Window splash = screen.viewable("Tarnwick.IO");
        if (splash != 0 && seen.splash < 0)
            seen.splash = since(start);
        if (editor == 0 && (editor = screen.viewable("jEdit - ")) != 0)
            seen.editor = since(start);
        if (editor != 0 && splash == 0 && seen.splash >= 0) {
            seen.splashGone = since(start);
            break;
        }
        if (editor != 0 && since(start) > seen.editor + 5000)
            break; // the splash stayed: reported below
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (editor != 0) {
        screen.askToClose(editor);
        seen.askedToClose = true;
    }
    return seen;
}

TEST(RealApplication, JeditStartsAfterTheSplashAndEndsWhenClosed)
{
    ASSERT_TRUE(fs::exists(kJedit)) << "Debian's jedit package (scripts/bootstrap installs it)";
    ASSERT_TRUE(Screen()) << "needs an X display";

    // The launcher with a picture built in, renamed as a shipper would.
    AppLayout app("real_application");
    const fs::path launcher = app.root() / "jedit";
    fs::copy_file(test_paths::fromBuild(TEST_LAUNCHER_WITH_SPLASH), launcher);
    fs::permissions(launcher, fs::perms::owner_all);
    AppConfig config;
    config.packageName = "jedit";
    config.mainClass = "io.tarnwick.tools.MainRunner";
    config.showSplash = true;
    config.classPath = {"./lib/tarnwick-tools.jar", kJedit.string()};
    config.vmOption = {"-Dio.tarnwick.main=org.gjt.sp.jedit.jEdit"};
    writeTextFile(app.root() / "cfg" / "jedit.json", config.json());
    app.makeLib();
    fs::copy_file(test_paths::toolsJar(), app.root() / "lib" / "tarnwick-tools.jar");
    app.linkRealJava();

    const fs::path home = test_paths::freshDirectory("real_application_home");
    RunOptions options;
    options.timeoutMs = 90000;
    options.environment.push_back({"HOME", home.string()});
    options.environment.push_back({"XDG_DATA_HOME", (home / "data").string()});
    const Clock::time_point start = Clock::now();
    Seen seen;
    std::thread watcher([&] { seen = watch(start); });
    RunResult result = runProgram(
        launcher.string(), {"-noserver", "-nosplash", "-settings=" + (home / "settings").string()}, options);
    watcher.join();

    EXPECT_FALSE(result.timedOut) << describe(result);
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    ASSERT_GE(seen.splash, 0) << "the launcher's splash never showed\n" << describe(result);
    ASSERT_GE(seen.editor, 0) << "jEdit's window never showed\n" << describe(result);
    EXPECT_LT(seen.splash, seen.editor) << "the splash comes first";
    EXPECT_GE(seen.splashGone, seen.editor) << "the splash stayed over jEdit\n" << describe(result);
    EXPECT_LT(seen.splashGone, seen.editor + 2000) << "the splash went only late\n" << describe(result);
    EXPECT_TRUE(seen.askedToClose);
}

} // namespace
