// The updater killed with SIGKILL at every file-system step of an apply: the
// steps are counted by the library's step log in one whole apply, then for
// each step a fresh 1.0.0 folder with 2.0.0 staged is applied with the kill
// at that step, and the next launcher start must end on a complete 1.0.0 or
// a complete 2.0.0, held against the manifests.
#include "test_paths.h"
#include "test_text.h"
#include "update_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <iostream>
#include <thread>

namespace fs = boost::filesystem;
using namespace update_test;

namespace {

// Points are independent (a folder and a data folder each), so two run at once.
constexpr int kWorkers = 2;

TEST(KillTest, EveryStepOfAnApplyHolds)
{
    Product product("update_kill");
    // 2.0.0 replaces, removes, adds (nested) and keeps files, so that every
    // kind of step is taken.
    const fs::path v1 = product.releaseFolder(
        "1.0.0", {{"lib/a.txt", "a1\n"}, {"lib/b.txt", "b1\n"}, {"lib/kept.txt", "kept\n"}, {"lib/old/x.txt", "x\n"}});
    product.publish(v1, "1.0.0");
    product.publish(product.releaseFolder("2.0.0", {{"lib/a.txt", "a2\n"},
                                                    {"lib/kept.txt", "kept\n"},
                                                    {"lib/new/c.txt", "c2\n"},
                                                    {"lib/new/deeper/d.txt", "d2\n"}}),
                    "2.0.0");
    const Manifest manifests[] = {product.manifest("1.0.0"), product.manifest("2.0.0")};

    // 1.0.0 installed with 2.0.0 staged, made once and copied for each point.
    const fs::path appTemplate = product.install(v1, "app-template");
    RunResult staging = product.startLauncher(appTemplate, {"PROBE_STAGE_ONLY=1"});
    ASSERT_NE(staging.out.find("[probe] staged 2.0.0\n"), std::string::npos) << describe(staging);
    const fs::path stagingTemplate = product.folder() / "staging-template";
    copyFolder(product.staging(), stagingTemplate);
    ASSERT_EQ(differencesFrom(appTemplate, manifests[0]), "");

    // A fresh point in `work`: its application folder, and the environment
    // that names its own data folder.
    auto freshPoint = [&](const fs::path& work) {
        fs::remove_all(work);
        fs::create_directories(work / "data");
        copyFolder(appTemplate, work / "app");
        copyFolder(stagingTemplate, work / "data" / product.packageName);
        return std::vector<std::string>{"XDG_DATA_HOME=" + (work / "data").string()};
    };

    // The whole apply, once, to count its steps.
    const fs::path steps = product.folder() / "steps.log";
    const fs::path counting = product.folder() / "counting";
    std::vector<std::string> environment = freshPoint(counting);
    RunResult counted =
        product.runUpdater(counting / "app", {"-Dio.tarnwick.update.test.stepLog=" + steps.string()}, environment);
    ASSERT_FALSE(counted.timedOut) << describe(counted);
    ASSERT_EQ(differencesFrom(counting / "app", manifests[1]), "") << describe(counted);
    const std::vector<std::string> stepLines = readLines(steps);
    const size_t points = stepLines.size();
    ASSERT_GT(points, 0u) << "no step was logged";

    // "" when the point held, else what went wrong.
    auto killAt = [&](size_t n, const fs::path& work) -> std::string {
        const std::vector<std::string> environment = freshPoint(work);
        const fs::path app = work / "app";
        RunResult killed =
            product.runUpdater(app, {"-Dio.tarnwick.update.test.killAtStep=" + std::to_string(n)}, environment);
        if (killed.timedOut || killed.exitCode != 128 + 9)
            return "the updater was not killed\n" + describe(killed);
        std::vector<std::string> next = environment;
        next.push_back("PROBE_NO_CHECK=1");
        RunResult start = product.startLauncher(app, next);
        if (start.timedOut || start.exitCode != 0)
            return "the next start did not end well\n" + describe(start);
        const std::string version = versionRun(start);
        const Manifest* manifest = version == "1.0.0" ? &manifests[0] : version == "2.0.0" ? &manifests[1] : nullptr;
        if (!manifest)
            return "no whole version ran\n" + describe(start);
        const std::string differences = differencesFrom(app, *manifest);
        if (!differences.empty())
            return version + " ran on a folder that is not " + version + ":\n" + differences + describe(start);
        // The folder says which release it holds, and nothing is left half done.
        if (readManifest(app / ".tarnwick" / "installed.json").version != version)
            return "installed.json does not name " + version;
        if (fs::exists(app / "install.me") || fs::exists(app / ".tarnwick" / "journal.json"))
            return "install.me or the journal is left";
        return "";
    };

    std::vector<std::string> failures(points);
    std::atomic<size_t> nextPoint{1};
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; ++w)
        workers.emplace_back([&, w] {
            const fs::path work = product.folder() / ("point-" + std::to_string(w));
            for (size_t n = nextPoint++; n <= points; n = nextPoint++)
                failures[n - 1] = killAt(n, work);
        });
    for (std::thread& worker : workers)
        worker.join();

    size_t held = 0;
    for (size_t n = 1; n <= points; ++n) {
        if (failures[n - 1].empty())
            ++held;
        else
            ADD_FAILURE() << "killed at step " << stepLines[n - 1] << ": " << failures[n - 1];
    }
    std::cout << "kill test: " << points << " kill points, "
              << (held == points ? "all held" : std::to_string(points - held) + " did not hold") << std::endl;
}

} // namespace
