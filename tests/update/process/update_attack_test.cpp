// What a feed, a mirror or another local user can offer the application
// instead of a good release, each refused with a clear message and the
// application folder left as it was (hashed before and after); and a disk
// too small for the new release, after which the old version still runs.
#include "test_paths.h"
#include "test_text.h"
#include "update_fixture.h"

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace fs = boost::filesystem;
using namespace update_test;

namespace {

// The state the library keeps of its own attempts; everything else in the
// folder must stay as it was.
const std::vector<std::string> kAttemptRecords{".tarnwick/update.log", ".tarnwick/failures.json", ".tarnwick/lock",
                                               ".tarnwick/running.lock"};

std::string manifestJson(const std::string& packageName, const std::string& version, const std::string& expires,
                         std::vector<ManifestEntry> files)
{
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.path < b.path; });
    std::string json = "{\"format\": 1, \"packageName\": " + quotedLiteral(packageName) + ", \"version\": " +
                       quotedLiteral(version) + ", \"published\": \"2026-01-01T00:00:00Z\", \"expires\": " +
                       quotedLiteral(expires) + ", \"files\": [";
    for (size_t i = 0; i < files.size(); ++i)
        json += std::string(i ? ", " : "") + "{\"path\": " + quotedLiteral(files[i].path) +
                ", \"size\": " + std::to_string(files[i].size) + ", \"sha256\": \"" + files[i].sha256 +
                "\", \"executable\": " + (files[i].executable ? "true" : "false") + "}";
    return json + "]}";
}

class Attack : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        product = std::make_unique<Product>("update_attack_" + name);
        v1 = product->releaseFolder("1.0.0", {{"lib/a.txt", "a1\n"}});
        product->publish(v1, "1.0.0");
        app = product->install(v1, "app");
    }

    // The 2.0.0 that publish makes, as the base of what is forged from it.
    void publishGood()
    {
        product->publish(product->releaseFolder("2.0.0", {{"lib/a.txt", "a2 and more\n"}}), "2.0.0");
    }

    std::string payloadFile(const std::string& version, const std::string& path)
    {
        for (const ManifestEntry& entry : product->manifest(version).files)
            if (entry.path == path)
                return (product->feed() / "files" / entry.sha256).string();
        ADD_FAILURE() << path << " not in " << version;
        return "";
    }

    // release.json (and releases/<version>.json) made of any manifest text,
    // signed with the trusted key.
    void offerForged(const std::string& version, const std::string& manifest)
    {
        const fs::path text = product->folder() / ("forged-" + version + ".json");
        writeTextFile(text, manifest);
        const fs::path envelope = product->feed() / "release.json";
        RunResult forged = forgeRelease(product->keys().privateKey, product->keys().publicKey, text, envelope);
        ASSERT_EQ(forged.exitCode, 0) << describe(forged);
        fs::copy_file(envelope, product->feed() / "releases" / (version + ".json"), fs::copy_options::overwrite_existing);
    }

    // A start of the application: it is refused with a message that says
    // `why`, 1.0.0 runs, nothing is staged and the folder is as it was (and,
    // unless the test changed it, as 1.0.0 has it).
    void expectRefused(const std::string& why, bool asPublished = true)
    {
        const std::string before = folderDigest(app, kAttemptRecords);
        RunResult run = product->startLauncher(app);
        ASSERT_FALSE(run.timedOut) << describe(run);
        EXPECT_EQ(run.exitCode, 0) << describe(run);
        EXPECT_EQ(versionRun(run), "1.0.0") << describe(run);
        const std::string all = run.out + run.err + readTextFile(app / ".tarnwick" / "update.log");
        EXPECT_NE(all.find(why), std::string::npos) << "no message saying \"" << why << "\"\n" << describe(run);
        EXPECT_FALSE(fs::exists(product->staging() / "snapshot.json"));
        EXPECT_EQ(folderDigest(app, kAttemptRecords), before) << describe(run);
        if (asPublished) {
            EXPECT_EQ(differencesFrom(app, product->manifest("1.0.0")), "");
        }
    }

    std::unique_ptr<Product> product;
    fs::path v1, app;
};

TEST_F(Attack, ManifestSignedByAnotherKey)
{
    // The bytes of a good 2.0.0, signed by a key the application does not list.
    publishGood();
    const KeyPair other = makeKeyPair(product->folder() / "other-keys");
    const fs::path manifest = product->folder() / "manifest-2.0.0.json";
    writeTextFile(manifest, signedBytes(product->feed() / "releases" / "2.0.0.json"));
    RunResult forged = forgeRelease(other.privateKey, other.publicKey, manifest, product->feed() / "release.json");
    ASSERT_EQ(forged.exitCode, 0) << describe(forged);
    expectRefused("is refused: it is signed by no trusted key");
}

TEST_F(Attack, ManifestBadlySigned)
{
    publishGood();
    // The signature of 1.0.0 over the bytes of 2.0.0.
    const fs::path release = product->feed() / "release.json";
    std::string text = readTextFile(release);
    const std::string older = readTextFile(product->feed() / "releases" / "1.0.0.json");
    auto signature = [](const std::string& envelope) {
        const size_t at = envelope.find("\"sig\"");
        const size_t open = envelope.find('"', envelope.find(':', at)) + 1;
        return envelope.substr(open, envelope.find('"', open) - open);
    };
    const std::string good = signature(text);
    text.replace(text.find(good), good.size(), signature(older));
    writeTextFile(release, text);
    expectRefused("is refused: its signature does not match its contents");
}

TEST_F(Attack, FileWhoseHashDiffers)
{
    publishGood();
    const std::string file = payloadFile("2.0.0", "lib/a.txt");
    std::string content = readTextFile(file);
    content[0] ^= 1;
    writeTextFile(file, content);
    expectRefused("is refused: its SHA-256 is not the one its release declares");
}

TEST_F(Attack, FileShorterThanDeclared)
{
    publishGood();
    const std::string file = payloadFile("2.0.0", "lib/a.txt");
    writeTextFile(file, readTextFile(file).substr(1));
    expectRefused("bytes before its declared size");
}

TEST_F(Attack, BodyLongerThanDeclared)
{
    publishGood();
    const std::string file = payloadFile("2.0.0", "lib/a.txt");
    writeTextFile(file, readTextFile(file) + std::string(1 << 20, 'x'));
    expectRefused("is refused: it is longer than its declared size");
}

TEST_F(Attack, OlderSignedRelease)
{
    // 2.0.0 installed; the feed offers the signed 1.0.0 again.
    publishGood();
    const fs::path v2 = product->folder() / "release-2.0.0";
    app = product->install(v2, "app");
    fs::copy_file(product->feed() / "releases" / "1.0.0.json", product->feed() / "release.json",
                  fs::copy_options::overwrite_existing);
    const std::string before = folderDigest(app, kAttemptRecords);
    RunResult run = product->startLauncher(app);
    EXPECT_EQ(versionRun(run), "2.0.0") << describe(run);
    EXPECT_NE((run.out + run.err).find("older than the installed"), std::string::npos) << describe(run);
    EXPECT_FALSE(fs::exists(product->staging() / "snapshot.json"));
    EXPECT_EQ(folderDigest(app, kAttemptRecords), before);
}

TEST_F(Attack, ExpiredManifest)
{
    publishGood();
    offerForged("2.0.0", manifestJson(product->packageName, "2.0.0", "2026-01-02T00:00:00Z",
                                      product->manifest("2.0.0").files));
    expectRefused("is refused: release 2.0.0 expired at");
}

TEST_F(Attack, PathsThatLeaveTheFolderOrCollide)
{
    publishGood();
    const Manifest good = product->manifest("2.0.0");
    const ManifestEntry& some = good.files.front();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"../outside.txt"}, "it has a \"..\" segment"},
        {{"lib/../../outside.txt"}, "it has a \"..\" segment"},
        {{"/tmp/outside.txt"}, "it is absolute"},
        {{"C:/outside.txt"}, "it holds ':'"},
        {{"c:outside.txt"}, "it holds ':'"},
        {{"lib\\..\\..\\outside.txt"}, "it holds a backslash"},
        {{"lib/A.TXT", "lib/a.txt"}, "they name the same file where case is not told apart"},
    };
    // Each case its own version, so that no count of failed attempts of one
    // version hides the next refusal.
    int patch = 0;
    for (const auto& [paths, why] : cases) {
        SCOPED_TRACE(paths.front());
        const std::string version = "2.0." + std::to_string(++patch);
        std::vector<ManifestEntry> files = good.files;
        files.erase(std::remove_if(files.begin(), files.end(),
                                   [&](const ManifestEntry& e) {
                                       return std::find(paths.begin(), paths.end(), e.path) != paths.end();
                                   }),
                    files.end());
        for (const std::string& path : paths) {
            ManifestEntry entry = some;
            entry.path = path;
            files.push_back(entry);
        }
        offerForged(version, manifestJson(product->packageName, version, "2099-01-01T00:00:00Z", files));
        expectRefused(why);
        EXPECT_FALSE(fs::exists(product->folder() / "outside.txt"));
    }
}

TEST_F(Attack, PlainHttpToAnotherMachine)
{
    // 192.0.2.1 is a documentation address: the library must refuse it
    // before any connection, which would otherwise end in a timeout.
    writeTextFile(app / "cfg" / "update.json", product->updateJson("http://192.0.2.1/feed/"));
    expectRefused("the feed http://192.0.2.1/feed/ is plain http: use https", false);
}

// The updater's side: a target that passes through a link in the folder,
// and a staged file changed after staging in the user's data folder.
TEST_F(Attack, TargetThroughALinkInTheFolder)
{
    const fs::path elsewhere = product->folder() / "elsewhere";
    fs::create_directories(elsewhere);
    fs::create_directory_symlink(elsewhere, app / "lib" / "plugins");
    product->publish(product->releaseFolder("2.0.0", {{"lib/a.txt", "a2\n"}, {"lib/plugins/p.txt", "p\n"}}), "2.0.0");
    const std::string before = folderDigest(app, kAttemptRecords);
    RunResult run = product->startLauncher(app);
    ASSERT_FALSE(run.timedOut) << describe(run);
    EXPECT_NE((run.out + run.err + readTextFile(app / ".tarnwick" / "update.log")).find("passes through the link"),
              std::string::npos)
        << describe(run);
    EXPECT_TRUE(fs::is_empty(elsewhere));
    EXPECT_EQ(folderDigest(app, kAttemptRecords), before) << describe(run);
}

TEST_F(Attack, StagedFileChangedBeforeTheApply)
{
    product->publish(product->releaseFolder("2.0.0", {{"lib/a.txt", "a2\n"}}), "2.0.0");
    RunResult staging = product->startLauncher(app, {"PROBE_STAGE_ONLY=1"});
    ASSERT_NE(staging.out.find("[probe] staged 2.0.0\n"), std::string::npos) << describe(staging);
    const Manifest v2 = product->manifest("2.0.0");
    const auto a = std::find_if(v2.files.begin(), v2.files.end(), [](const auto& e) { return e.path == "lib/a.txt"; });
    ASSERT_NE(a, v2.files.end());
    const fs::path staged = product->staging() / "staged" / a->sha256;
    ASSERT_TRUE(fs::exists(staged));
    writeTextFile(staged, "a3\n");
    const std::string before = folderDigest(app, kAttemptRecords);
    RunResult run = product->startLauncher(app, {"PROBE_NO_CHECK=1"});
    ASSERT_FALSE(run.timedOut) << describe(run);
    EXPECT_EQ(versionRun(run), "1.0.0") << describe(run);
    EXPECT_NE((run.out + run.err + readTextFile(app / ".tarnwick" / "update.log")).find("is refused: its SHA-256 is not the one its release declares"),
              std::string::npos)
        << describe(run);
    EXPECT_EQ(folderDigest(app, kAttemptRecords), before) << describe(run);
}

// A folder on a disk too small for the new release: a clear error, and the
// old version runs on, whole.
TEST_F(Attack, DiskFullDuringTheApply)
{
    const fs::path disk = product->folder() / "small-disk";
    fs::create_directories(disk);
    // Room for 1.0.0 and 2 MiB more.
    std::uintmax_t used = 0;
    for (fs::recursive_directory_iterator it(v1), end; it != end; ++it)
        if (fs::is_regular_file(it->symlink_status()))
            used += fs::file_size(it->path());
    const std::string size = "size=" + std::to_string(used + (2 << 20));
    if (mount("tmpfs", disk.c_str(), "tmpfs", 0, size.c_str()) != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here: " << std::strerror(errno);
    struct Unmount {
        fs::path at;
        ~Unmount() { umount2(at.c_str(), MNT_DETACH); }
    } unmount{disk};
    app = disk / "app";
    copyFolder(v1, app);
    fs::create_directory_symlink(test_paths::javaHome(), app / "jre");
    // More than the disk has left.
    std::string big(16 << 20, 'b');
    for (size_t i = 0; i < big.size(); i += 97)
        big[i] = static_cast<char>('a' + i % 26);
    product->publish(product->releaseFolder("2.0.0", {{"lib/a.txt", "a2\n"}, {"lib/big.bin", big}}), "2.0.0");

    RunResult run = product->startLauncher(app);
    ASSERT_FALSE(run.timedOut) << describe(run);
    EXPECT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_NE((run.out + run.err + readTextFile(app / ".tarnwick" / "update.log")).find("No space left on device"),
              std::string::npos)
        << describe(run);
    EXPECT_EQ(versionRun(run), "1.0.0") << describe(run);
    EXPECT_EQ(differencesFrom(app, product->manifest("1.0.0")), "");
}

} // namespace
