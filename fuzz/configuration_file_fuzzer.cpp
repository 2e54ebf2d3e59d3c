// The configuration file, read by readApplicationSettings from its path. Any
// bytes end in one of the documented errors (json_parser_error with the file
// name, ptree_bad_path naming one of the nine keys, ptree_bad_data for a
// switch) or in a record that holds what the file says: the first member of
// each name, the switches as the bool translator reads them, the lists
// replaced by the children's values in order.
#include "application_settings.h"

#include "fuzz_support.h"

#include <boost/property_tree/exceptions.hpp>
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <sys/mman.h>
#include <unistd.h>

#include <sstream>
#include <typeinfo>

namespace pt = boost::property_tree;

namespace {

// One file for the whole run, private to the process, rewritten for each
// input: the reader takes a path, and nothing else can see or change it.
class PrivateFile {
public:
    PrivateFile() : fd_(memfd_create("configuration.json", MFD_CLOEXEC))
    {
        if (fd_ < 0)
            fuzzFailure("memfd_create", "no private file");
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~PrivateFile() { close(fd_); }
    PrivateFile(const PrivateFile&) = delete;
    PrivateFile& operator=(const PrivateFile&) = delete;

    const std::string& path() const { return path_; }
    void write(const std::uint8_t* data, std::size_t size)
    {
        if (ftruncate(fd_, 0) != 0)
            fuzzFailure("ftruncate", path_);
        for (std::size_t done = 0; done < size;) {
            const ssize_t written = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            if (written <= 0)
                fuzzFailure("pwrite", path_);
            done += static_cast<std::size_t>(written);
        }
    }

private:
    int fd_;
    std::string path_;
};

const char* const kKeys[] = {"packageName", "mainClass", "mainMethod", "appNature",    "invokeUpdater",
                             "showSplash",  "classPath", "vmOption",   "programOption"};

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The bool translator's reading, from its rules: blanks around either a
// number whose value is 0 or 1 (a sign and leading zeros allowed) or the
// lower-case words true and false.
std::optional<bool> translatedBool(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    const std::string word = text.substr(begin, end - begin);
    if (word == "true")
        return true;
    if (word == "false")
        return false;
    std::size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-'))
        negative = word[i++] == '-';
    if (i == word.size())
        return std::nullopt;
    while (i + 1 < word.size() && word[i] == '0')
        ++i;
    const std::string digits = word.substr(i);
    if (digits == "0")
        return false;
    if (digits == "1" && !negative)
        return true;
    return std::nullopt;
}

// The first member of that name, as the record must take it.
const pt::ptree* firstMember(const pt::ptree& root, const std::string& key)
{
    for (const auto& child : root) {
        if (child.first == key)
            return &child.second;
    }
    return nullptr;
}

std::vector<std::string> childValues(const pt::ptree& node)
{
    std::vector<std::string> values;
    for (const auto& child : node)
        values.push_back(child.second.data());
    return values;
}

pt::ptree parsedTree(const std::uint8_t* data, std::size_t size)
{
    pt::ptree root;
    std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size));
    pt::read_json(stream, root);
    return root;
}

// The first of the nine lookups that fails on this tree (9 when none does):
// a missing key, or a switch the translator cannot read.
int firstFailingLookup(const pt::ptree& root, const pt::ptree* (&members)[9])
{
    for (int i = 0; i < 9; ++i) {
        members[i] = firstMember(root, kKeys[i]);
        if (members[i] == nullptr)
            return i;
        if ((i == 4 || i == 5) && !translatedBool(members[i]->data()))
            return i;
    }
    return 9;
}

template <class Describe>
void checkRecord(const ApplicationSettings& settings, const pt::ptree& root, const Describe& input)
{
    const pt::ptree* members[9];
    const int failing = firstFailingLookup(root, members);
    FUZZ_CHECK(failing == 9, std::string("read although ") + (failing < 9 ? kKeys[failing] : "") +
                                 " is missing or no bool: " + input());
    FUZZ_CHECK(settings.packageName == members[0]->data(), "packageName differs: " + input());
    FUZZ_CHECK(settings.mainClass == members[1]->data(), "mainClass differs: " + input());
    FUZZ_CHECK(settings.mainMethod == members[2]->data(), "mainMethod differs: " + input());
    FUZZ_CHECK(settings.appNature == members[3]->data(), "appNature differs: " + input());
    FUZZ_CHECK(translatedBool(members[4]->data()) == settings.invokeUpdater, "invokeUpdater differs: " + input());
    FUZZ_CHECK(translatedBool(members[5]->data()) == settings.showSplash, "showSplash differs: " + input());
    FUZZ_CHECK(settings.classPath == childValues(*members[6]), "classPath differs: " + input());
    FUZZ_CHECK(settings.vmOption == childValues(*members[7]), "vmOption differs: " + input());
    FUZZ_CHECK(settings.programOption == childValues(*members[8]), "programOption differs: " + input());
}

// A lookup error must name the first lookup that fails, in reading order.
template <class Describe>
void checkLookupError(int reported, const pt::ptree& root, const std::string& text, const Describe& input)
{
    const pt::ptree* members[9];
    const int failing = firstFailingLookup(root, members);
    FUZZ_CHECK(failing == reported, "error \"" + text + "\" but the first failing lookup is " +
                                        (failing < 9 ? kKeys[failing] : "none") + ": " + input());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static PrivateFile file;
    file.write(data, size);
    // Built only for a report, and cut short: a file may be long.
    const auto input = [&] {
        return describeText(std::string(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 2000)));
    };

    // Lists that a reading must replace, never extend.
    ApplicationSettings settings;
    settings.classPath = {"stale class path"};
    settings.vmOption = {"stale option"};
    settings.programOption = {"stale program option"};
    try {
        readApplicationSettings(file.path(), settings);
    } catch (const pt::json_parser_error& e) {
        FUZZ_CHECK(std::string(e.what()).rfind(file.path() + "(", 0) == 0,
                   std::string("parser error without the file and line: ") + e.what());
        return 0;
    } catch (const pt::ptree_bad_path& e) {
        // The file parsed (its nesting is tame): read it again to compare.
        const std::string text = e.what();
        int key = 0;
        while (key < 9 && text != std::string("No such node (") + kKeys[key] + ")")
            ++key;
        const pt::ptree root = parsedTree(data, size);
        FUZZ_CHECK(key < 9 && firstMember(root, kKeys[key]) == nullptr,
                   "missing key error: " + text + ", input " + input());
        checkLookupError(key, root, text, input);
        return 0;
    } catch (const pt::ptree_bad_data& e) {
        const std::string text = e.what();
        FUZZ_CHECK(text == "conversion of data to type \"bool\" failed", "conversion error: " + text);
        const pt::ptree root = parsedTree(data, size);
        const pt::ptree* members[9];
        const int failing = firstFailingLookup(root, members);
        FUZZ_CHECK(failing == 4 || failing == 5, "conversion error, but the first failing lookup is " +
                                                     std::string(failing < 9 ? kKeys[failing] : "none") + ": " +
                                                     input());
        return 0;
    } catch (const std::exception& e) {
        fuzzFailure("only the documented errors",
                    std::string(typeid(e).name()) + ": " + e.what() + ", input " + input());
    }
    checkRecord(settings, parsedTree(data, size), input);
    return 0;
}
