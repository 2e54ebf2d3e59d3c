// Decides whether this start uses, records or goes without the archive, from
// the configuration, the runtime's release file and the class path.
#include "archive_plan.h"

#include "archive_fingerprint.h"
#include "archive_key.h"
#include "archive_log.h"
#include "elevation.h"
#include "path_conventions.h"
#include "process.h"
#include "runtime_release.h"

#include <boost/filesystem.hpp>

namespace fs = boost::filesystem;

namespace {

// Dynamic archives from a JNI host, written on request: JDK 17 and later.
constexpr int kFirstCapableRelease = 17;

// The elements the JVM sees: an entry may itself name several, joined with
// the separator.
std::vector<std::string> classPathElements(const std::vector<std::string>& entries)
{
    const std::string separator = kClassPathSeparator;
    std::vector<std::string> elements;
    for (const std::string& entry : entries)
        for (size_t start = 0; start <= entry.size();) {
            size_t end = entry.find(separator, start);
            if (end == std::string::npos)
                end = entry.size();
            elements.push_back(entry.substr(start, end - start));
            start = end + separator.size();
        }
    return elements;
}

bool setsItsOwnArchive(const std::vector<std::string>& options)
{
    for (const std::string& option : options)
        if (option.rfind("-Xshare:", 0) == 0 || option.find("SharedArchiveFile") != std::string::npos ||
            option.find("ArchiveClassesAtExit") != std::string::npos ||
            option.find("RecordDynamicDumpInfo") != std::string::npos)
            return true;
    return false;
}

// The runtime archives classes from jars only, and ends the whole process
// when asked to with a folder of classes on the class path.
std::string folderWithFiles(const std::vector<std::string>& elements)
{
    for (const std::string& element : elements) {
        boost::system::error_code ec;
        if (fs::is_directory(element, ec) && !fs::is_empty(element, ec))
            return element;
    }
    return {};
}

// Why this start cannot have an archive; empty when it can.
std::string impossibility(const ApplicationSettings& settings, const std::string& jreDirectory,
                          const RuntimeRelease& release, const std::vector<std::string>& elements)
{
    if (setsItsOwnArchive(settings.vmOption))
        return "the configuration's own JVM options set class sharing";
    if (release.feature == 0)
        return "the runtime's release file does not tell its version (" + jreDirectory + "/release)";
    if (release.feature < kFirstCapableRelease)
        return "the runtime is Java " + std::to_string(release.feature) + ", older than 17";
    if (release.modulesKnown && release.modules.find(" java.management ") == std::string::npos)
        return "the runtime has no java.management module";
    const std::string folder = folderWithFiles(elements);
    if (!folder.empty())
        return "the class path holds a folder with files (" + folder + "); the archive takes jars only";
    return {};
}

} // namespace

ClassDataArchive planClassDataArchive(const ApplicationSettings& settings, const std::string& jreDirectory,
                                      const std::vector<std::string>& classPath)
{
    if (!settings.classDataArchive)
        return {};
    // The archive is code the runtime maps, from a folder the user can write.
    if (processIsElevated()) {
        sayAboutArchive("not used because the launcher runs elevated");
        return {};
    }
    return planClassDataArchiveIn(settings, jreDirectory, classPath, applicationDataFolder());
}

ClassDataArchive planClassDataArchiveIn(const ApplicationSettings& settings, const std::string& jreDirectory,
                                        const std::vector<std::string>& classPath,
                                        const std::optional<std::string>& dataFolder)
{
    ClassDataArchive plan;
    const RuntimeRelease release = readRuntimeRelease(jreDirectory);
    const std::vector<std::string> elements = classPathElements(classPath);
    const std::string reason = impossibility(settings, jreDirectory, release, elements);
    if (!reason.empty()) {
        sayAboutArchive("not possible because " + reason);
        return plan;
    }
    if (!dataFolder) {
        sayAboutArchive("not possible because the per-user data folder is not known");
        return plan;
    }
    const std::string folder = *dataFolder + "/" + settings.packageName;
    plan.archive = folder + "/classes.jsa";
    plan.key = plan.archive + ".key";
    // The runtime reads a separator in the archive's path as a list of two
    // archives, and refuses to start with more than two.
    if (plan.archive.find(kClassPathSeparator) != std::string::npos) {
        sayAboutArchive(std::string("not possible because its path holds the separator ") + kClassPathSeparator +
                        ", which the runtime reads as a list of archives: " + plan.archive);
        return ClassDataArchive();
    }
    plan.fingerprint = archiveFingerprint(jreDirectory, release, elements);
    // The runtime's own report of sharing (a mismatch, a file it skips) is
    // no business of the application's output.
    if (archiveMatchesKey(plan.fingerprint, plan.archive, plan.key)) {
        plan.step = ClassDataArchive::Step::Use;
        plan.options = {"-XX:SharedArchiveFile=" + plan.archive, "-Xlog:cds*=off"};
        sayAboutArchive("used " + plan.archive);
        return plan;
    }
    boost::system::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        sayAboutArchive("not possible because " + folder + " cannot be made: " + ec.message());
        return plan;
    }
    plan.step = ClassDataArchive::Step::Record;
    plan.options = {"-XX:+RecordDynamicDumpInfo", "-Xlog:cds*=off"};
    sayAboutArchive("recording for " + plan.archive);
    return plan;
}
