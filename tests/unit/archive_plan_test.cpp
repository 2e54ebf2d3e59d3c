// The class-data archive's planner without a JVM: what a runtime's release
// file, the class path and the key beside the archive make of a start.
#include "archive_key.h"
#include "archive_plan.h"
#include "jvm_host.h"
#include "jvm_library.h"

#include "test_paths.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = boost::filesystem;

namespace {

#ifdef _WIN32
const std::string kSep = ";";
#else
const std::string kSep = ":";
#endif

const std::string kCapable = "JAVA_VERSION=\"17.0.9\"\nMODULES=\"java.base java.desktop java.management\"\n";

class ArchivePlan : public ::testing::Test {
protected:
    fs::path root = test_paths::freshDirectory(std::string("archive_plan_") +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string jre = (root / "jre").string();
    std::string data = (root / "data").string();
    std::string jar = (root / "app.jar").string();
    ApplicationSettings settings{};

    void SetUp() override
    {
        settings.packageName = "sampleapp";
        settings.classDataArchive = true;
        writeTextFile(javaRuntimeLibraryPath(jre), "a runtime");
        writeTextFile(jre + "/release", kCapable);
        writeTextFile(jar, "a jar");
        fs::create_directories(data);
    }

    void TearDown() override { verboseMode = false; }

    // The plan, and what it said when verbose.
    std::pair<ClassDataArchive, std::string> plan(const std::vector<std::string>& classPath)
    {
        verboseMode = true;
        ::testing::internal::CaptureStdout();
        ClassDataArchive planned;
        std::string thrown;
        try {
            planned = planClassDataArchiveIn(settings, jre, classPath, data);
        } catch (const std::exception& e) {
            thrown = e.what();
        }
        std::string said = ::testing::internal::GetCapturedStdout();
        verboseMode = false;
        if (!thrown.empty())
            said += "threw " + thrown;
        return {planned, said};
    }

    std::string archive() const { return data + "/sampleapp/classes.jsa"; }
};

// A release file that does not tell the version, however it is damaged,
// means no archive and a line that says why; one written with CRLF or by
// Java 8 is read as any other.
TEST_F(ArchivePlan, TheReleaseFileDecidesWhetherAnArchiveIsPossible)
{
    const std::string unknown = "Class data archive: not possible because the runtime's release file does not "
                                "tell its version (" +
                                jre + "/release)\n";
    const std::string recording = "Class data archive: recording for " + archive() + "\n";
    const std::pair<std::string, std::string> cases[] = {
        {"", unknown},
        {"IMPLEMENTOR=\"x\"\n", unknown},
        {"JAVA_VERSION=\n", unknown},
        {"JAVA_VERSION=\"\"\n", unknown},
        {"JAVA_VERSION=\"abc\"\n", unknown},
        {"JAVA_VERSION=\"1\"\n", unknown},
        {"JAVA_VERSION=\"1.\"\n", unknown},
        {"JAVA_VERSION=\"123456789012\"\n", unknown},
        {std::string("JAVA_VERSION=\"\xff\0\x01", 17) + "\"\n", unknown},
        {"JAVA_VERSION=\"1.8.0_392\"\n", "Class data archive: not possible because the runtime is Java 8, older "
                                         "than 17\n"},
        {"JAVA_VERSION=\"17.0.9\"\r\nMODULES=\"java.base java.management\"\r\n", recording},
        {"JAVA_VERSION=\"21\"\nMODULES=\"java.base java.managementx\"\n",
         "Class data archive: not possible because the runtime has no java.management module\n"},
        {"JAVA_VERSION=\"21\"\n", recording},
    };
    for (const auto& [text, said] : cases) {
        writeTextFile(jre + "/release", text);
        const auto [planned, out] = plan({jar});
        EXPECT_EQ(out, said) << text;
        const bool records = said == recording;
        EXPECT_EQ(planned.step, records ? ClassDataArchive::Step::Record : ClassDataArchive::Step::None) << text;
        EXPECT_EQ(planned.options.empty(), !records) << text;
    }
    // A folder where the file should be tells nothing either, nor does a
    // pipe, which would hold the start up.
    fs::remove(jre + "/release");
    fs::create_directories(jre + "/release");
    const auto [planned, out] = plan({jar});
    EXPECT_EQ(out, unknown);
    EXPECT_EQ(planned.step, ClassDataArchive::Step::None);
#ifndef _WIN32
    fs::remove(jre + "/release");
    ASSERT_EQ(::mkfifo((jre + "/release").c_str(), 0644), 0);
    EXPECT_EQ(plan({jar}).second, unknown);
#endif
}

// The key decides: the archive is used only under the key written for this
// runtime and class path; one for another fingerprint, or written before the
// runtime changed, has the start record afresh.
TEST_F(ArchivePlan, AKeyForAnotherFingerprintIsNotTrusted)
{
    const ClassDataArchive first = plan({jar}).first;
    ASSERT_EQ(first.step, ClassDataArchive::Step::Record);
    writeTextFile(first.archive, "an archive");
    const auto keyFor = [&](const std::string& fingerprint) {
        const std::string key = archiveKeyText(fingerprint, first.archive);
        ASSERT_FALSE(key.empty());
        writeTextFile(first.key, key);
    };

    keyFor(first.fingerprint);
    const auto [used, said] = plan({jar});
    EXPECT_EQ(used.step, ClassDataArchive::Step::Use) << said;
    EXPECT_EQ(used.options,
              (std::vector<std::string>{"-XX:SharedArchiveFile=" + first.archive, "-Xlog:cds*=off"}));
    EXPECT_EQ(said, "Class data archive: used " + first.archive + "\n");

    std::string other = first.fingerprint;
    other[0] = other[0] == '0' ? '1' : '0';
    keyFor(other);
    EXPECT_EQ(plan({jar}).first.step, ClassDataArchive::Step::Record);

    // Another runtime in the same folder: its release file, or its library.
    keyFor(first.fingerprint);
    writeTextFile(jre + "/release", kCapable + "IMPLEMENTOR=\"another\"\n");
    const ClassDataArchive released = plan({jar}).first;
    EXPECT_EQ(released.step, ClassDataArchive::Step::Record);
    EXPECT_NE(released.fingerprint, first.fingerprint);
    writeTextFile(jre + "/release", kCapable);
    ASSERT_EQ(plan({jar}).first.step, ClassDataArchive::Step::Use);
    writeTextFile(javaRuntimeLibraryPath(jre), "another runtime");
    EXPECT_EQ(plan({jar}).first.step, ClassDataArchive::Step::Record);
}

// An entry may name several elements joined with the separator: the runtime
// sees each, and so does the planner, in the keys as in its checks.
TEST_F(ArchivePlan, AnEntryNamingSeveralElementsCountsAsThoseElements)
{
    const std::string second = (root / "second.jar").string();
    writeTextFile(second, "another jar");
    const std::string apart = plan({jar, second}).first.fingerprint;
    EXPECT_EQ(plan({jar + kSep + second}).first.fingerprint, apart);
    EXPECT_NE(plan({second, jar}).first.fingerprint, apart);

    const fs::path classes = root / "classes";
    writeTextFile(classes / "A.class", "");
    const auto [planned, said] = plan({jar + kSep + classes.string()});
    EXPECT_EQ(planned.step, ClassDataArchive::Step::None);
    EXPECT_EQ(said, "Class data archive: not possible because the class path holds a folder with files (" +
                        classes.string() + "); the archive takes jars only\n");
}

} // namespace
