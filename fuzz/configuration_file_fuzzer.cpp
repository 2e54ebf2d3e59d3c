// The configuration file, read by readApplicationSettings from its path. Any
// bytes end in one of the documented errors or in a record that holds what
// the file says. The errors: json_parser_error with the file and line (not
// JSON, not UTF-8, nesting deeper than 64 levels), ptree_bad_path naming the
// first missing key, ptree_bad_data for the first switch that is no bool or
// the first text that holds U+0000. The record: the first member of each
// name, the switches as the documented bool rules read them, the lists
// replaced by the children's values in order, every text well-formed UTF-8.
#include "application_settings.h"

#include "fuzz_support.h"
#include "unicode_reference.h"

#include <boost/property_tree/exceptions.hpp>
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
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

// The nine keys every file has, then the optional one.
const char* const kKeys[] = {"packageName", "mainClass", "mainMethod",    "appNature",       "invokeUpdater",
                             "showSplash",  "classPath", "vmOption",      "programOption",   "classDataArchive"};
constexpr int kOptionalKey = 9;
constexpr int kNoKey = 10;
constexpr int kDeepestNesting = 64;

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

bool holdsNul(const std::string& text)
{
    return text.find('\0') != std::string::npos;
}

// How deep arrays and objects nest, brackets inside strings aside.
int nestingDepth(const std::string& text)
{
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

// A raw control character inside a string, which the parser reports as it
// reports ill-formed UTF-8: "invalid code sequence".
bool controlInsideString(const std::string& text)
{
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (inString && c < 0x20)
            return true;
        if (inString && c == '\\')
            ++i;
        else if (c == '"')
            inString = !inString;
    }
    return false;
}

// Read only once the reader has parsed the same text: its nesting is tame.
pt::ptree parsedTree(const std::string& text)
{
    pt::ptree root;
    std::istringstream stream(text);
    pt::read_json(stream, root);
    return root;
}

enum class Problem { none, missing, notBool, nul };

struct Lookup {
    int key = kNoKey;
    Problem problem = Problem::none;
};

// The first of the nine lookups, in reading order, that fails on this tree.
Lookup firstFailingLookup(const pt::ptree& root, const pt::ptree* (&members)[kNoKey])
{
    for (int i = 0; i < kNoKey; ++i) {
        members[i] = firstMember(root, kKeys[i]);
        if (members[i] == nullptr) {
            if (i == kOptionalKey)
                break;
            return {i, Problem::missing};
        }
        if (i == 4 || i == 5 || i == kOptionalKey) {
            if (!translatedBool(members[i]->data()))
                return {i, Problem::notBool};
        } else if (i < 4) {
            if (holdsNul(members[i]->data()))
                return {i, Problem::nul};
        } else {
            const std::vector<std::string> values = childValues(*members[i]);
            if (std::any_of(values.begin(), values.end(), holdsNul))
                return {i, Problem::nul};
        }
    }
    return {};
}

template <class Describe>
void checkRecord(const ApplicationSettings& settings, const std::string& text, const Describe& input)
{
    FUZZ_CHECK(isWellFormedUtf8(text), "read although not UTF-8: " + input());
    FUZZ_CHECK(nestingDepth(text) <= kDeepestNesting, "read although nested too deep: " + input());
    const pt::ptree root = parsedTree(text);
    const pt::ptree* members[kNoKey];
    const Lookup failing = firstFailingLookup(root, members);
    FUZZ_CHECK(failing.key == kNoKey, std::string("read although ") + kKeys[std::min(failing.key, kNoKey - 1)] +
                                          " is missing, no bool or holds U+0000: " + input());
    FUZZ_CHECK(settings.packageName == members[0]->data(), "packageName differs: " + input());
    FUZZ_CHECK(settings.mainClass == members[1]->data(), "mainClass differs: " + input());
    FUZZ_CHECK(settings.mainMethod == members[2]->data(), "mainMethod differs: " + input());
    FUZZ_CHECK(settings.appNature == members[3]->data(), "appNature differs: " + input());
    FUZZ_CHECK(translatedBool(members[4]->data()) == settings.invokeUpdater, "invokeUpdater differs: " + input());
    FUZZ_CHECK(translatedBool(members[5]->data()) == settings.showSplash, "showSplash differs: " + input());
    FUZZ_CHECK(settings.classPath == childValues(*members[6]), "classPath differs: " + input());
    FUZZ_CHECK(settings.vmOption == childValues(*members[7]), "vmOption differs: " + input());
    FUZZ_CHECK(settings.programOption == childValues(*members[8]), "programOption differs: " + input());
    const bool archive = members[kOptionalKey] != nullptr && *translatedBool(members[kOptionalKey]->data());
    FUZZ_CHECK(settings.classDataArchive == archive, "classDataArchive differs: " + input());
}

// An error from the tree must name the first lookup that fails, and why.
template <class Describe>
void checkLookupError(const std::string& error, const std::string& text, const Describe& input)
{
    const pt::ptree root = parsedTree(text);
    const pt::ptree* members[kNoKey];
    const Lookup failing = firstFailingLookup(root, members);
    const std::string key = failing.key < kNoKey ? kKeys[failing.key] : "none";
    std::string expected;
    if (failing.problem == Problem::missing)
        expected = "No such node (" + key + ")";
    else if (failing.problem == Problem::notBool)
        expected = "conversion of data to type \"bool\" failed";
    else if (failing.problem == Problem::nul)
        expected = "The value of " + key + " holds the character U+0000";
    FUZZ_CHECK(error == expected, "error \"" + error + "\" where \"" + expected + "\" is due: " + input());
}

// A parser error names the file and the line, and refuses only what is bad.
template <class Describe>
void checkParserError(const std::string& error, const std::string& path, const std::string& text,
                      const Describe& input)
{
    FUZZ_CHECK(error.rfind(path + "(", 0) == 0, "parser error without the file and line: " + error);
    const auto endsWith = [&](const std::string& end) {
        return error.size() >= end.size() && error.compare(error.size() - end.size(), end.size(), end) == 0;
    };
    if (endsWith("): invalid code sequence"))
        FUZZ_CHECK(!isWellFormedUtf8(text) || controlInsideString(text), "well-formed UTF-8 refused: " + input());
    if (endsWith("): nesting deeper than 64 levels"))
        FUZZ_CHECK(nestingDepth(text) > kDeepestNesting, "shallow nesting refused: " + input());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static PrivateFile file;
    file.write(data, size);
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Built only for a report, and cut short: a file may be long.
    const auto input = [&] { return describeText(text.substr(0, 2000)); };

    // Lists that a reading must replace, never extend.
    ApplicationSettings settings;
    settings.classPath = {"stale class path"};
    settings.vmOption = {"stale option"};
    settings.programOption = {"stale program option"};
    try {
        readApplicationSettings(file.path(), settings);
    } catch (const pt::json_parser_error& e) {
        checkParserError(e.what(), file.path(), text, input);
        return 0;
    } catch (const pt::ptree_bad_path& e) {
        checkLookupError(e.what(), text, input);
        return 0;
    } catch (const pt::ptree_bad_data& e) {
        checkLookupError(e.what(), text, input);
        return 0;
    } catch (const std::exception& e) {
        fuzzFailure("only the documented errors",
                    std::string(typeid(e).name()) + ": " + e.what() + ", input " + input());
    }
    checkRecord(settings, text, input);
    return 0;
}
