// The launcher's splash as an application meets it: the launcher shows its
// embedded picture and first progress, then Java drives the five natives.
// On Windows the stand-in runtime calls the natives from a script; on Linux
// the machine's JVM runs io.tarnwick.splashtest.SplashDriver, which calls
// them through the class io.tarnwick.tools.SplashScreen.
#include "pictures.h"
#include "screen_checks.h"
#include "splash_application.h"
#include "splash_image.h"
#include "splash_test_paths.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>

#ifndef _WIN32
#include "private_x_server_posix.h"

#include <X11/Xlib.h>
#endif

namespace fs = boost::filesystem;
using namespace splash_test;
using namespace std::chrono_literals;

namespace {

const char* const kQueueMade = "Creating dispatch queue: splash_msg_queue\nDispatch threads: 1\n";
const char* const kQueueEnded = "Destructor: Destroying dispatch threads...\n"
                                "Destructor: Joining thread 0 until completion\n";
const char* const kNoResource = "Create stream on resource: IDI_SPLASHIMAGE type: PNG\n"
                                "Resource is not found\n"
                                "Failed to create image stream\n";

class SplashLauncher : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display (scripts/test starts Xvfb)";
    }

    void expect_window(const image& expected, const std::string& state)
    {
        EXPECT_EQ(wait_for_window(expected, test_name() + "-" + state, 4s), "");
    }

    // Waits for the checkpoint, checks, and lets the application go on.
    template <class Check>
    void at(splash_application& app, const std::string& name, Check check)
    {
        ASSERT_TRUE(app.reached(name)) << "the application never reached " << name;
        check();
        app.go_on(name);
    }

    splash_application app{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

TEST_F(SplashLauncher, WithoutAPictureTheLaunchersOwnProgressDrawsNothing)
{
    app.config.showSplash = true;
    app.checkpoint("started");
    app.show(picture("frame.png"));
    app.checkpoint("shown");
    app.hide();
    app.start({});

    at(app, "started", [] { EXPECT_TRUE(no_window_for(1s)); });
    // The launcher's caption and bar were dropped, and do not come back.
    at(app, "shown", [this] { expect_window(frame_picture(), "shown"); });
    const RunResult result = app.finish();

    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_EQ(splash_application::lines_of(result),
              app.location_line() + "Show resource splash window\n" + kQueueMade + kNoResource +
                  "Initialize window system\nThe bitmap is not found\n"
                  "Initialize window system\nBitmap resource succefully loaded\n" +
                  kQueueEnded)
        << describe(result);
}

TEST_F(SplashLauncher, TheEmbeddedPictureShowsTheLaunchersFirstProgressThenJavaTakesOver)
{
    app.use_launcher_with_picture();
    app.config.showSplash = true;
    app.checkpoint("first");
    const std::u16string version = u"Version 1.0 \u2013 Gr\u00FC\u00DFe";
    app.field(300, 40, version);
    app.progress({37, 216, 426, 12, 50, 85, 201}, u"Loading the application");
    app.checkpoint("second");
    // Java's progress drawings are never kept: a smaller one replaces the last.
    app.progress({37, 216, 426, 12, 30, 85, 201}, u"Starting");
    app.checkpoint("third");
    app.hide();
    app.checkpoint("hidden");
    app.show(picture("alpha.png"));
    app.checkpoint("again");
    app.hide();
    app.start({});

    at(app, "first", [this] {
        expect_window(with_bar(with_text(frame_picture(), 85, 201, u"Initialing Environment ..."), {37, 216, 85, 12}),
                      "first");
        // The bar: 85 pixels wide at (37, 216), 12 high, in 0xDCA048.
        const image shot = capture(centred(kFrameWidth, kFrameHeight));
        EXPECT_EQ(shot.at(37, 216), kBarColourRgb);
        EXPECT_EQ(shot.at(121, 227), kBarColourRgb);
        EXPECT_EQ(shot.at(122, 216), kFrameInside);
        EXPECT_EQ(shot.at(36, 216), kFrameInside);
        EXPECT_EQ(shot.at(37, 215), kFrameInside);
        EXPECT_EQ(shot.at(37, 228), kFrameInside);
    });
    at(app, "second", [&] {
        // Java's field stays; its progress replaces the launcher's.
        expect_window(with_bar(with_text(with_text(frame_picture(), 300, 40, version), 85, 201,
                                         u"Loading the application"),
                               {37, 216, 213, 12}),
                      "second");
    });
    at(app, "third", [&] {
        expect_window(with_bar(with_text(with_text(frame_picture(), 300, 40, version), 85, 201, u"Starting"),
                               {37, 216, 127, 12}),
                      "third");
    });
    at(app, "hidden", [] { EXPECT_TRUE(no_window_for(1s)); });
    at(app, "again", [this] {
        image alpha = shown(load_png_splash_image(read_bytes(picture("alpha.png"))));
        expect_window(alpha, "again");
    });
    const RunResult result = app.finish();

    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_EQ(splash_application::lines_of(result),
              app.location_line() + "Show resource splash window\n" + kQueueMade +
                  "Create stream on resource: IDI_SPLASHIMAGE type: PNG\n"
                  "Initialize window system\nBitmap resource succefully loaded\n" +
                  kQueueEnded + kQueueMade + "Initialize window system\nBitmap resource succefully loaded\n" +
                  kQueueEnded)
        << describe(result);
    EXPECT_EQ(result.err, "");
}

TEST_F(SplashLauncher, TheSplashOptionShowsTheEmbeddedPictureAtOnce)
{
    app.use_launcher_with_picture();
    app.checkpoint("shown");
    app.hide();
    app.start({"--lsplash"});

    at(app, "shown", [this] { expect_window(frame_picture(), "shown"); });
    const RunResult result = app.finish();

    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_EQ(splash_application::lines_of(result),
              app.location_line() + kQueueMade +
                  "Create stream on resource: IDI_SPLASHIMAGE type: PNG\n"
                  "Initialize window system\nBitmap resource succefully loaded\n" +
                  kQueueEnded)
        << describe(result);
}

TEST_F(SplashLauncher, BytesThatAreNoPictureLeaveTheWindowHidden)
{
    const fs::path empty = app.layout.root() / "empty.bin";
    const fs::path text = app.layout.root() / "text.bin";
    writeTextFile(empty, "");
    writeTextFile(text, "this is not a PNG file");
    app.show(empty);
    app.show(text);
    app.checkpoint("none");
    app.hide();
    app.start({});

    at(app, "none", [] { EXPECT_TRUE(no_window_for(1s)); });
    const RunResult result = app.finish();

    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_EQ(splash_application::lines_of(result),
              app.location_line() + kQueueMade +
                  "Failed to create image stream\n"
                  "Initialize window system\nThe bitmap is not found\n"
                  "Failed to initialize PNG decoder\nFailed to load bitmap from stream\n"
                  "Initialize window system\nThe bitmap is not found\n" +
                  kQueueEnded)
        << describe(result);
}

TEST_F(SplashLauncher, WithoutTheSplashClassTheExceptionIsPrintedAndTheLaunchGoesOn)
{
    app.print("the main method runs");
    app.start({}, 0);
    const RunResult result = app.finish();

    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_NE(result.err.find("Exception in thread \"main\" java.lang.NoClassDefFoundError: io"), std::string::npos)
        << describe(result);
    EXPECT_NE(result.out.find("the main method runs\n"), std::string::npos) << describe(result);
#ifdef _WIN32
    const std::vector<std::string> trace = app.layout.trace();
    ASSERT_GE(trace.size(), 5u);
    const std::vector<std::string> registration(trace.begin() + 1, trace.begin() + 5);
    EXPECT_EQ(registration, (std::vector<std::string>{
                                "FindClass \"io/tarnwick/tools/SplashScreen\" -> NULL (java/lang/NoClassDefFoundError)",
                                "ExceptionCheck -> 1", "ExceptionDescribe", "ExceptionClear"}));
#endif
}

#ifdef _WIN32
// The stand-in can leave a native undeclared: registration then fails as a
// whole, and the exported natives still serve the class.
TEST_F(SplashLauncher, AFailedRegistrationIsPrintedAndTheExportsStillServe)
{
    app.show(picture("frame.png"));
    app.checkpoint("shown");
    app.hide();
    app.start({}, 4);

    at(app, "shown", [this] { expect_window(frame_picture(), "shown"); });
    const RunResult result = app.finish();

    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_NE(result.err.find("java.lang.NoSuchMethodError"), std::string::npos) << describe(result);
    const std::vector<std::string> trace = app.layout.trace();
    ASSERT_GE(trace.size(), 7u);
    EXPECT_EQ(trace[2].rfind("RegisterNatives io/tarnwick/tools/SplashScreen 5 [", 0), 0u) << trace[2];
    EXPECT_NE(trace[2].find("-> -1 (java/lang/NoSuchMethodError)"), std::string::npos) << trace[2];
    EXPECT_EQ(trace[3], "ExceptionCheck -> 1");
    EXPECT_EQ(trace[4], "ExceptionDescribe");
    EXPECT_EQ(trace[5], "ExceptionClear");
    EXPECT_EQ(trace[6], "DeleteLocalRef class io/tarnwick/tools/SplashScreen");
    EXPECT_EQ(splash_application::lines_of(result),
              app.location_line() + kQueueMade + "Initialize window system\nBitmap resource succefully loaded\n" +
                  kQueueEnded)
        << describe(result);
}
#else
TEST_F(SplashLauncher, WithoutADisplayTheApplicationRunsWithoutAWindow)
{
    app.environment = {{"DISPLAY", ""}};
    app.show(picture("frame.png"));
    app.field(10, 10, u"field");
    app.progress({37, 216, 426, 12, 20, 85, 201}, u"caption");
    app.hide();
    app.print("the main method ends");
    app.start({});
    const RunResult result = app.finish();

    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_EQ(splash_application::lines_of(result),
              app.location_line() + kQueueMade +
                  "Initialize window system\nFailed to open display\nBitmap resource succefully loaded\n" +
                  kQueueEnded + "the main method ends\n")
        << describe(result);
}

// Which of the splash's libraries (and those they pull in) a memory map holds.
std::vector<std::string> splash_libraries_in(const std::string& maps)
{
    std::vector<std::string> found;
    for (const char* name : {"/libX11.so", "/libpng16.so", "/libXft.so", "/libfontconfig.so", "/libfreetype.so"})
        if (maps.find(name) != std::string::npos)
            found.push_back(name + 1);
    return found;
}

// A launch without a splash pays nothing for one: the launcher maps none of
// the splash's libraries until a splash is shown; the picture brings X11
// and PNG, the first text the font libraries.
TEST_F(SplashLauncher, TheSplashLibrariesAreMappedOnlyWhenTheSplashNeedsThem)
{
    app.maps("no-splash.maps");
    app.show(picture("frame.png"));
    app.checkpoint("shown");
    app.maps("shown.maps");
    app.field(20, 30, u"Field one");
    app.hide();
    app.maps("text.maps");
    app.start({});

    at(app, "shown", [this] { expect_window(frame_picture(), "shown"); });
    const RunResult result = app.finish();

    ASSERT_EQ(result.exitCode, 0) << describe(result);
    const std::string without = app.maps_of("no-splash.maps");
    EXPECT_NE(without.find("/libjvm.so"), std::string::npos) << "the map of the running launcher";
    EXPECT_EQ(splash_libraries_in(without), std::vector<std::string>{});
    EXPECT_EQ(splash_libraries_in(app.maps_of("shown.maps")), (std::vector<std::string>{"libX11.so", "libpng16.so"}));
    EXPECT_EQ(splash_libraries_in(app.maps_of("text.maps")),
              (std::vector<std::string>{"libX11.so", "libpng16.so", "libXft.so", "libfontconfig.so",
                                        "libfreetype.so"}));
}

// The launcher waits for its picture before it loads the JVM, but not for an
// X server that does not answer (here: held by another client's grab): the
// application runs all the same.
TEST_F(SplashLauncher, AnXServerThatDoesNotAnswerDoesNotHoldTheLaunchUp)
{
    private_x_server server;
    Display* holder = XOpenDisplay(server.display().c_str());
    ASSERT_NE(holder, nullptr);
    XGrabServer(holder);
    XSync(holder, False);
    app.use_launcher_with_picture();
    app.config.showSplash = true;
    app.environment = {{"DISPLAY", server.display()}};
    app.print("the main method ends");
    app.start({"--lsplash"});
    const RunResult result = app.finish();
    XCloseDisplay(holder);

    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_NE(result.out.find("Show resource splash window\n"), std::string::npos) << describe(result);
    EXPECT_NE(result.out.find("the main method ends\n"), std::string::npos) << describe(result);
}

// The X server ends while the splash is up: the splash gives the display up,
// and the application and the launcher run on to their end.
TEST_F(SplashLauncher, ALostDisplayEndsTheSplashNotTheApplication)
{
    private_x_server server;
    app.environment = {{"DISPLAY", server.display()}};
    app.show(picture("frame.png"));
    app.checkpoint("shown");
    app.field(10, 10, u"field");
    app.progress({37, 216, 426, 12, 20, 85, 201}, u"caption");
    app.hide();
    app.show(picture("frame.png"));
    app.field(10, 10, u"field");
    app.hide();
    app.print("the main method ends");
    app.start({});

    at(app, "shown", [&server] {
        EXPECT_TRUE(eventually([&server] { return server.shows_splash_window(); }))
            << "no splash window on " << server.display();
        server.stop();
    });
    const RunResult result = app.finish();

    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_EQ(splash_application::lines_of(result),
              app.location_line() + kQueueMade + "Initialize window system\nBitmap resource succefully loaded\n" +
                  "Lost the connection to the display\n" + kQueueEnded + kQueueMade +
                  "Initialize window system\nFailed to open display\nBitmap resource succefully loaded\n" +
                  kQueueEnded + "the main method ends\n")
        << describe(result);
    EXPECT_EQ(result.err, "") << describe(result);
}
#endif

} // namespace
