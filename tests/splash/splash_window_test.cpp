// The splash window in this process, checked on the screen: the painting
// functions on a splash thread of the test's own, then the five operations
// of the bridge as the launcher and the natives use them.
#include "dispatch_queue.h"
#include "drawing_resources.h"
#include "output_capture.h"
#include "pictures.h"
#include "process_runner.h"
#include "reference_text.h"
#include "screen_checks.h"
#include "splash_bridge.h"
#include "splash_image.h"
#include "splash_test_paths.h"
#include "splash_text.h"
#include "splash_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <future>
#include <set>
#include <sstream>
#include <thread>

#ifndef _WIN32
#include "x_test_display_posix.h"

#include <sys/syscall.h>
#include <unistd.h>
#endif

using namespace splash_test;
using namespace std::chrono_literals;

namespace {

splash_bytes frame_png()
{
    return read_bytes(picture("frame.png"));
}

splash_bytes alpha_png()
{
    return read_bytes(picture("alpha.png"));
}

class SplashWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display (scripts/test starts Xvfb)";
    }

    void TearDown() override { on_splash_thread([] { destroy_splash_window(); }); }

    // Runs work on the splash thread, waits for it, and returns the lines it
    // wrote.
    std::string on_splash_thread(std::function<void()> work)
    {
        output_capture capture;
        std::promise<void> ran;
        std::future<void> done = ran.get_future();
        splash_thread.dispatch([&] {
            work();
            ran.set_value();
        });
        const bool finished = done.wait_for(60s) == std::future_status::ready;
        const captured_output seen = capture.finish();
        EXPECT_TRUE(finished) << "the splash thread hangs";
        EXPECT_EQ(seen.err, "");
        return seen.out;
    }

    void expect_window(const image& expected, const std::string& state)
    {
        const std::string why = wait_for_window(expected, test_name() + "-" + state);
        EXPECT_EQ(why, "");
    }

    dispatch_queue splash_thread{"window_test", 1};
};

TEST_F(SplashWindow, ShowsThePictureCentredAtItsOwnSizeInOneWindow)
{
    EXPECT_EQ(on_splash_thread([] { show_splash_window(load_png_splash_image(frame_png())); }),
              "Initialize window system\nBitmap resource succefully loaded\n");
    expect_window(frame_picture(), "frame");

    // Another picture: the same single window, at the new picture's size.
    image alpha;
    on_splash_thread([&alpha] {
        splash_bitmap bitmap = load_png_splash_image(alpha_png());
        alpha = shown(bitmap);
        show_splash_window(std::move(bitmap));
    });
    ASSERT_EQ(alpha.width(), kAlphaWidth);
    expect_window(alpha, "second-picture");

    EXPECT_EQ(on_splash_thread([] { destroy_splash_window(); }), "");
    EXPECT_TRUE(visible_splash_windows().empty()) << "destroyed at once";
}

TEST_F(SplashWindow, FieldTextsStayWhileUncommittedProgressDrawingsReplaceEachOther)
{
    on_splash_thread([] { show_splash_window(load_png_splash_image(frame_png())); });
    image base = frame_picture();

    EXPECT_EQ(on_splash_thread([] { draw_splash_text(20, 30, "Field one"); }), "");
    base = with_text(base, 20, 30, u"Field one");
    expect_window(base, "field");

    on_splash_thread([] { draw_splash_progress({37, 216, 426, 12, 20, 85, 201}, "Initialing Environment ...", false); });
    expect_window(with_bar(with_text(base, 85, 201, u"Initialing Environment ..."), {37, 216, 85, 12}),
                  "first-progress");

    // The first caption and bar go; the field stays.
    on_splash_thread([] { draw_splash_progress({37, 250, 426, 12, 50, 85, 235}, "Second caption", false); });
    expect_window(with_bar(with_text(base, 85, 235, u"Second caption"), {37, 250, 213, 12}), "second-progress");

    on_splash_thread([] { draw_splash_text(300, 30, "Field two"); });
    base = with_text(base, 300, 30, u"Field two");
    expect_window(base, "second-field");

    // A committed drawing stays like a field.
    on_splash_thread([] { draw_splash_progress({37, 270, 100, 8, 100, 200, 262}, "Kept", true); });
    base = with_bar(with_text(base, 200, 262, u"Kept"), {37, 270, 100, 8});
    expect_window(base, "committed");
    on_splash_thread([] { draw_splash_progress({37, 216, 426, 12, 30, 85, 201}, "Third", false); });
    expect_window(with_bar(with_text(base, 85, 201, u"Third"), {37, 216, 127, 12}), "after-committed");
}

TEST_F(SplashWindow, TheBarCoversTheCaptionWhereTheyMeet)
{
    on_splash_thread([] { show_splash_window(load_png_splash_image(frame_png())); });
    on_splash_thread([] { draw_splash_progress({30, 100, 200, 12, 50, 40, 98}, "Under the bar", false); });
    expect_window(with_bar(with_text(frame_picture(), 40, 98, u"Under the bar"), {30, 100, 100, 12}), "overlap");
}

TEST_F(SplashWindow, PercentZeroDrawsNoBarAndAboveHundredRunsPastTheWidth)
{
    on_splash_thread([] { show_splash_window(load_png_splash_image(frame_png())); });
    on_splash_thread([] { draw_splash_progress({37, 216, 426, 12, 0, 85, 201}, "Nothing yet", false); });
    expect_window(with_text(frame_picture(), 85, 201, u"Nothing yet"), "zero");

    on_splash_thread([] { draw_splash_progress({37, 216, 200, 12, 150, 85, 201}, "Past the end", false); });
    expect_window(with_bar(with_text(frame_picture(), 85, 201, u"Past the end"), {37, 216, 300, 12}), "150");

    // Beyond the picture's right edge: cut there.
    on_splash_thread([] { draw_splash_progress({37, 216, 426, 12, 200, 85, 201}, "Off the picture", false); });
    expect_window(with_bar(with_text(frame_picture(), 85, 201, u"Off the picture"), {37, 216, 463, 12}), "200");
}

TEST_F(SplashWindow, TheFirstDrawingTurnsFullyTransparentPixelsBlack)
{
    image loaded;
    on_splash_thread([&loaded] {
        splash_bitmap bitmap = load_png_splash_image(alpha_png());
        loaded = shown(bitmap);
        show_splash_window(std::move(bitmap));
    });
    on_splash_thread([] { draw_splash_progress({0, 0, 0, 0, 0, 0, 0}, "", false); });
    expect_window(loaded, "drawn");
    ASSERT_EQ(loaded.width(), kAlphaWidth);
    for (int y = 0; y < kAlphaHeight; y += 5) {
        EXPECT_EQ(loaded.at(0, y), 0x000000u);
        EXPECT_EQ(loaded.at(39, y), 0x000000u);
        EXPECT_EQ(loaded.at(80, y), kAlphaColour);
        EXPECT_EQ(loaded.at(119, y), kAlphaColour);
        // Half transparent: the colour times alpha 0x80, within one step.
        const std::uint32_t half = loaded.at(60, y);
        for (int shift : {16, 8, 0}) {
            const int expected = static_cast<int>(premultiply(kAlphaColour >> shift & 0xFF, kAlphaHalf));
            EXPECT_LE(std::abs(static_cast<int>(half >> shift & 0xFF) - expected), 1) << std::hex << half;
        }
    }
}

TEST_F(SplashWindow, TextsAreDrawnAsTheCharactersTheyHold)
{
    on_splash_thread([] { show_splash_window(load_png_splash_image(frame_png())); });
    const std::u16string text = u"Gr\u00FC\u00DFe, caf\u00E9 \u2013 \u0395\u03BB\u03BB\u03AC\u03B4\u03B1";
    const std::string bytes = modified_utf8(text);
    on_splash_thread([&bytes] { draw_splash_text(20, 100, bytes); });
    const image expected = with_text(frame_picture(), 20, 100, text);
    expect_window(expected, "non-ascii");

    // Drawing the bytes one by one would look different: the check above
    // tells the two apart.
    image as_bytes = frame_picture();
    draw_reference_bytes(as_bytes, 20, 100, bytes);
    EXPECT_NE(as_bytes.pixels(), expected.pixels());
}

TEST_F(SplashWindow, ATextLongerThanAnyPictureCanShowIsCut)
{
    on_splash_thread([] { show_splash_window(load_png_splash_image(frame_png())); });
    // Placed so that the kept part ends at x = 20: whatever followed it
    // would show from there on.
    const std::u16string kept(kSplashMostTextUnits, u'i');
    const int left = 20 - reference_text_width(kept);
    const std::string bytes = modified_utf8(kept + u"Cut off here" + std::u16string(1000, u'i'));
    on_splash_thread([&bytes, left] { draw_splash_text(left, 100, bytes); });
    expect_window(with_text(frame_picture(), left, 100, kept), "cut");
}

TEST_F(SplashWindow, WithoutAPictureNothingShowsAndDrawingsAreDropped)
{
    EXPECT_EQ(on_splash_thread([] { show_splash_window(load_png_splash_image({})); }),
              "Failed to create image stream\nInitialize window system\nThe bitmap is not found\n");
    EXPECT_EQ(on_splash_thread([] {
                  draw_splash_text(10, 10, "dropped");
                  draw_splash_progress({37, 216, 426, 12, 20, 85, 201}, "dropped too", false);
              }),
              "");
    EXPECT_TRUE(no_window_for(500ms));

    // Nothing of them comes back with the next picture.
    on_splash_thread([] { show_splash_window(load_png_splash_image(frame_png())); });
    expect_window(frame_picture(), "later-picture");
}

class SplashBridge : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display (scripts/test starts Xvfb)";
    }
    void TearDown() override { hide_splash(); }
};

const char* const kQueueMade = "Creating dispatch queue: splash_msg_queue\nDispatch threads: 1\n";
const char* const kQueueEnded = "Destructor: Destroying dispatch threads...\n"
                                "Destructor: Joining thread 0 until completion\n";

TEST_F(SplashBridge, AHideRemovesTheWindowAndAShowAfterItBringsItBack)
{
    output_capture capture;
    // No queue yet: nothing to post to, nothing happens.
    set_splash_field(10, 10, "too early");
    set_splash_progress({37, 216, 426, 12, 20, 85, 201}, "too early", false);
    hide_splash();

    show_png_splash(frame_png());
    set_splash_field(20, 30, "Field one");
    const std::string shown_first = wait_for_window(with_text(frame_picture(), 20, 30, u"Field one"),
                                                    test_name() + "-first");
    hide_splash();
    const bool gone = visible_splash_windows().empty();
    set_splash_field(10, 10, "too late");
    hide_splash();

    show_png_splash(frame_png());
    const std::string shown_again = wait_for_window(frame_picture(), test_name() + "-again");
    hide_splash();
    const captured_output seen = capture.finish();

    EXPECT_EQ(shown_first, "");
    EXPECT_TRUE(gone) << "the window is gone when hide_splash returns";
    EXPECT_EQ(shown_again, "");
    const std::string one_round =
        std::string(kQueueMade) + "Initialize window system\nBitmap resource succefully loaded\n" + kQueueEnded;
    EXPECT_EQ(seen.out, one_round + one_round);
    EXPECT_EQ(seen.err, "");
}

TEST_F(SplashBridge, EverythingPostedBeforeAHideRunsBeforeIt)
{
    output_capture capture;
    show_png_splash(splash_bytes{});
    show_png_splash(splash_bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
    hide_splash();
    const captured_output seen = capture.finish();
    EXPECT_EQ(seen.out, std::string(kQueueMade) +
                            "Failed to create image stream\n"
                            "Initialize window system\n"
                            "The bitmap is not found\n"
                            "Failed to initialize PNG decoder\n"
                            "Failed to load bitmap from stream\n"
                            "Initialize window system\n"
                            "The bitmap is not found\n" +
                            kQueueEnded);
}

TEST_F(SplashBridge, ThreadsMayShowDrawAndHideAtTheSameTime)
{
    const splash_bytes png = alpha_png();
    output_capture capture;
    std::vector<std::future<void>> callers;
    for (int t = 0; t < 4; ++t)
        callers.push_back(std::async(std::launch::async, [&png, t] {
            for (int i = 0; i < 12; ++i) {
                show_png_splash(png);
                set_splash_field(t * 10, i, "field");
                set_splash_progress({0, 40, 120, 8, i * 4, 0, 20}, "progress", false);
                if (i % 3 == t % 3)
                    hide_splash();
            }
        }));
    bool finished = true;
    for (std::future<void>& caller : callers)
        finished = finished && caller.wait_for(300s) == std::future_status::ready;
    hide_splash();
    const bool gone = visible_splash_windows().empty();
    const captured_output seen = capture.finish();

    ASSERT_TRUE(finished) << "the callers hang";
    EXPECT_TRUE(gone);
    const std::set<std::string> known{"Creating dispatch queue: splash_msg_queue",
                                      "Dispatch threads: 1",
                                      "Initialize window system",
                                      "Bitmap resource succefully loaded",
                                      "Destructor: Destroying dispatch threads...",
                                      "Destructor: Joining thread 0 until completion"};
    std::istringstream lines(seen.out);
    std::string line;
    int made = 0;
    int ended = 0;
    while (std::getline(lines, line)) {
        EXPECT_TRUE(known.count(line)) << "unexpected line: " << line;
        made += line == "Dispatch threads: 1";
        ended += line == "Destructor: Joining thread 0 until completion";
    }
    EXPECT_GT(made, 0);
    EXPECT_EQ(made, ended) << "every queue made was ended";
}

#ifndef _WIN32
// While the test holds the X server, the splash thread stops at its next
// round trip to it: a splash thread that is busy, for as long as the test
// wants. Released on every path.
class server_grab {
public:
    server_grab()
    {
        XGrabServer(test_display());
        XSync(test_display(), False);
    }
    ~server_grab()
    {
        XUngrabServer(test_display());
        XSync(test_display(), False);
    }
    server_grab(const server_grab&) = delete;
    server_grab& operator=(const server_grab&) = delete;
};

long this_thread_id()
{
    return syscall(SYS_gettid);
}

// Whether a thread of this process is blocked (waiting, not running).
bool thread_waits(long id)
{
    std::ifstream stat("/proc/self/task/" + std::to_string(id) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t name_end = line.rfind(')');
    return name_end != std::string::npos && line.size() > name_end + 2 && line[name_end + 2] == 'S';
}

TEST_F(SplashBridge, OtherThreadsGoOnWhileAHideWaitsForTheSplashThread)
{
    show_png_splash(frame_png());
    ASSERT_EQ(wait_for_window(frame_picture(), test_name() + "-shown"), "");
    std::atomic<long> hider{0};
    std::future<void> hiding;
    std::future<void> drawing;
    {
        server_grab grab;
        set_splash_field(20, 30, "Held up");
        hiding = std::async(std::launch::async, [&hider] {
            hider = this_thread_id();
            hide_splash();
        });
        ASSERT_TRUE(eventually([&hider] { return hider != 0 && thread_waits(hider); })) << "the hide never waits";
        drawing = std::async(std::launch::async, [] {
            set_splash_field(20, 60, "During the hide");
            set_splash_progress({37, 216, 426, 12, 50, 85, 201}, "During the hide", false);
        });
        EXPECT_EQ(drawing.wait_for(10s), std::future_status::ready) << "a field call waits for the hide";
        EXPECT_EQ(hiding.wait_for(0s), std::future_status::timeout) << "the hide did not wait for the window";
    }
    EXPECT_EQ(hiding.wait_for(60s), std::future_status::ready);
    EXPECT_EQ(drawing.wait_for(60s), std::future_status::ready);
    EXPECT_TRUE(visible_splash_windows().empty());
}

TEST_F(SplashBridge, DrawingsThatWaitForABusySplashThreadArePresentedTogether)
{
    // Worked out first: Xft is not to be used by two threads at once.
    struct field {
        int x;
        int y;
        std::string text;
    };
    std::vector<field> fields;
    image expected = frame_picture();
    for (int i = 0; i < 100; ++i) {
        fields.push_back({10 + i % 10 * 48, 20 + i / 10 * 16, "F" + std::to_string(i)});
        const field& f = fields.back();
        expected = with_text(expected, f.x, f.y, std::u16string(f.text.begin(), f.text.end()));
    }
    expected = with_bar(with_text(expected, 85, 201, u"Step 99"), {37, 216, 421, 12});

    show_png_splash(frame_png());
    ASSERT_EQ(wait_for_window(frame_picture(), test_name() + "-shown"), "");
    const std::uint64_t shown_before = splash_frames_shown();
    {
        server_grab grab;
        for (int i = 0; i < 100; ++i) {
            set_splash_field(fields[i].x, fields[i].y, fields[i].text);
            set_splash_progress({37, 216, 426, 12, i, 85, 201}, "Step " + std::to_string(i), false);
        }
    }
    EXPECT_EQ(wait_for_window(expected, test_name() + "-drawn"), "");
    // The one drawing under way when the server was taken, and the rest.
    EXPECT_LE(splash_frames_shown() - shown_before, 2u) << "every drawing was presented on its own";
}
#endif

// Three hundred rounds of shows and drawings, with a hide (and a new queue,
// thread and window) every tenth round. Under Wine without a window manager
// each hide waits two seconds for the window to be withdrawn, hence not more.
TEST_F(SplashBridge, DrawingResourcesStaySteadyOverManyCycles)
{
    const splash_bytes png = frame_png();
    drawing_resources resources;
    std::vector<long> counts;
    std::size_t most_windows = 0;
    bool owner_found = false;
    output_capture capture;
    for (int round = 0; round < 300; ++round) {
        show_png_splash(png);
        set_splash_field(20, 30, "Round");
        set_splash_progress({37, 216, 426, 12, round % 101, 85, 201}, "Progress", false);
        show_png_splash(png); // the window is reused
        set_splash_progress({37, 240, 426, 12, 50, 85, 235}, "More", false);
        set_splash_progress({37, 260, 426, 12, 70, 85, 250}, "Kept", true);
        set_splash_field(300, 30, "Field");
        if (round == 0 || round == 155) {
            eventually([] { return !visible_splash_windows().empty(); });
            most_windows = std::max(most_windows, visible_splash_windows().size());
            owner_found = owner_found || resources.find_owner();
        }
        if (round % 10 == 9) {
            hide_splash();
            counts.push_back(resources.count());
        }
    }
    const captured_output seen = capture.finish();

    ASSERT_TRUE(owner_found) << "no splash window to count resources of";
    EXPECT_EQ(most_windows, 1u);
    ASSERT_GT(counts.back(), 0) << "resources cannot be counted";
    for (std::size_t i = 2; i < counts.size(); ++i)
        ASSERT_EQ(counts[i], counts[1]) << "after hide " << i << "; counts from the first hide on: " << [&counts] {
            std::string all;
            for (long count : counts)
                all += std::to_string(count) + " ";
            return all;
        }();
    EXPECT_EQ(seen.err, "");
}

// Xlib aborts the process on a line of a few hundred thousand characters
// (the first), or ends it on as many combining accents (the second).
TEST(SplashLongTexts, TextsOfHundredsOfThousandsOfCharactersLeaveTheProcessRunning)
{
    const std::pair<const char*, const char*> texts[] = {{"250000", "ab"}, {"400000", "\\u0301"}};
    for (const auto& text : texts) {
        RunOptions options;
        options.timeoutMs = 120000;
        const RunResult result =
            runProgram(probe_program().string(),
                       {"show", picture("frame.png").string(), "repeated-field", "20", "100", text.first,
                        text.second, "progress", "37", "216", "426", "12", "20", "85", "201", "caption", "hide"},
                       options);
        EXPECT_EQ(result.exitCode, 0) << text.second << ": " << describe(result);
        EXPECT_EQ(result.out, std::string(kQueueMade) + "Initialize window system\nBitmap resource succefully loaded\n" +
                                  kQueueEnded + "probe: done\n")
            << describe(result);
        EXPECT_EQ(result.err, "");
    }
}

#ifndef _WIN32
// A fresh process, since this one keeps the display connection it opened.
TEST(SplashWithoutDisplay, NoWindowIsMadeAndNothingFails)
{
    RunOptions options;
    options.environment = {{"DISPLAY", ""}};
    options.timeoutMs = 60000;
    const RunResult result =
        runProgram(probe_program().string(),
                   {"show", picture("frame.png").string(), "field", "1", "1", "text", "progress", "37", "216", "426",
                    "12", "20", "85", "201", "caption", "hide"},
                   options);
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    EXPECT_EQ(result.out, std::string(kQueueMade) +
                              "Initialize window system\n"
                              "Failed to open display\n"
                              "Bitmap resource succefully loaded\n" +
                              kQueueEnded + "probe: done\n");
    EXPECT_EQ(result.err, "");
}

// A machine without one of the splash's libraries, which are opened only
// when needed: the splash says which and why, once where it would otherwise
// say it at every text, and goes on without what the library does.
TEST(SplashWithoutALibrary, TheMissingLibraryIsWrittenAndTheProgramRunsOn)
{
    const std::string missing = ": cannot open shared object file: No such file or directory\n";
    const std::pair<const char*, std::string> cases[] = {
        {"libX11.so.6", "Initialize window system\nFailed to load refused-libX11.so.6" + missing +
                            "Bitmap resource succefully loaded\n"},
        {"libpng16.so.16", "Failed to load refused-libpng16.so.16" + missing +
                               "Failed to load bitmap from stream\nInitialize window system\nThe bitmap is not found\n"},
        {"libXft.so.2", "Initialize window system\nBitmap resource succefully loaded\nFailed to load refused-libXft.so.2" +
                            missing},
    };
    for (const auto& [library, lines] : cases) {
        RunOptions options;
        options.environment = {{"LD_PRELOAD", library_refuser().string()}, {"SPLASH_TEST_REFUSED_LIBRARY", library}};
        options.timeoutMs = 60000;
        const RunResult result =
            runProgram(probe_program().string(),
                       {"show", picture("frame.png").string(), "field", "1", "1", "text", "hide", "show",
                        picture("frame.png").string(), "field", "1", "20", "again", "hide"},
                       options);
        EXPECT_EQ(result.exitCode, 0) << library << ": " << describe(result);
        const std::string xft_once = library == std::string("libXft.so.2")
                                         ? "Initialize window system\nBitmap resource succefully loaded\n"
                                         : lines;
        EXPECT_EQ(result.out, kQueueMade + lines + kQueueEnded + kQueueMade + xft_once + kQueueEnded + "probe: done\n")
            << library;
        EXPECT_EQ(result.err, "") << library;
    }
}

TEST(SplashWithoutThreads, AQueueThatCannotBeMadeIsWrittenAndTheCallsAreDropped)
{
    RunOptions options;
    options.timeoutMs = 60000;
    const RunResult result = runProgram(probe_program().string(),
                                        {"no-threads", "show", picture("frame.png").string(), "field", "1", "1",
                                         "text", "hide", "show", picture("frame.png").string()},
                                        options);
    if (result.err.find("Sanitizer") != std::string::npos)
        GTEST_SKIP() << "a sanitizer needs more address space than the limit leaves";
    EXPECT_EQ(result.exitCode, 0) << describe(result);
    const std::string failed = std::string(kQueueMade) + "Failed to create splash queue: ";
    EXPECT_EQ(result.out.rfind(failed, 0), 0u) << describe(result);
    EXPECT_EQ(result.out.find("Initialize window system"), std::string::npos) << describe(result);
    EXPECT_NE(result.out.find("\n" + failed, failed.size()), std::string::npos) << "the second show tries again";
    EXPECT_EQ(result.out.substr(result.out.size() - 12), "probe: done\n") << describe(result);
}
#endif

} // namespace
