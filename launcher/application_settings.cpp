// The application's configuration file read, checked and parsed.
#include "application_settings.h"

#include "file_text.h"
#include "utf8.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <optional>
#include <utility>

namespace pt = boost::property_tree;

namespace {

// The parser recurses once per level: a file of nothing but brackets would
// overflow the stack. A configuration needs two levels.
constexpr int kDeepestNesting = 64;

// What the parser would accept but the launcher must not: nesting deep
// enough to exhaust the stack, and ill-formed UTF-8. Reported as the parser
// reports its own findings, with the file and the line.
void checkBeforeParsing(const std::string& path, const std::string& text)
{
    int depth = 0;
    unsigned long line = 1;
    bool inString = false;
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            // The parser lets overlong forms, encoded surrogates and values
            // past U+10FFFF through.
            if (!utf8::decodeAt(text, i, utf8::Form::standard).wellFormed)
                throw pt::json_parser_error("invalid code sequence", path, line);
            continue;
        }
        if (c == '\n') {
            ++line;
        } else if (inString) {
            // The escaped character cannot end the string. One outside ASCII
            // is no escape the parser knows; it is still checked as UTF-8
            // here, and the parser then names the bad escape.
            if (c == '\\' && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0x80)
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kDeepestNesting)
                throw pt::json_parser_error("nesting deeper than " + std::to_string(kDeepestNesting) + " levels",
                                            path, line);
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
        ++i;
    }
}

// A file that cannot be read (a folder too, whose read error would not name
// it) is reported as the parser reports its own findings.
std::string readSettingsFile(const std::string& path)
{
    if (std::optional<std::string> text = readWholeFile(path))
        return std::move(*text);
    throw pt::json_parser_error("cannot open file", path, 0);
}

// A \u0000 escape would cut the text short wherever it is used as a C string.
const std::string& checkedText(const std::string& text, const char* key)
{
    if (text.find('\0') != std::string::npos)
        throw pt::ptree_bad_data(std::string("The value of ") + key + " holds the character U+0000", text);
    return text;
}

std::string readText(const pt::ptree& root, const char* key)
{
    return checkedText(root.get_child(key).data(), key);
}

// The library's bool translator: a number that is 0 or 1, else the word
// true or false, white space around allowed. Its stream reads the word from
// where the number stopped, so "2true" and "+false" came out as words; here a
// text is one or the other, whole.
std::optional<bool> boolFrom(const std::string& data)
{
    const char* const space = " \t\n\v\f\r";
    const size_t first = data.find_first_not_of(space);
    if (first == std::string::npos)
        return std::nullopt;
    const std::string text = data.substr(first, data.find_last_not_of(space) + 1 - first);
    if (text == "true")
        return true;
    if (text == "false")
        return false;
    size_t digits = text[0] == '+' || text[0] == '-' ? 1 : 0;
    if (digits == text.size() || text.find_first_not_of("0123456789", digits) != std::string::npos)
        return std::nullopt;
    const size_t significant = text.find_first_not_of('0', digits);
    if (significant == std::string::npos)
        return false; // all zeros, whatever the sign
    if (significant == text.size() - 1 && text.back() == '1' && text[0] != '-')
        return true;
    return std::nullopt;
}

// The library names the type with typeid, which only some compilers spell
// "bool"; the message must read the same with every toolchain.
bool readBool(const pt::ptree& root, const char* key)
{
    const pt::ptree& node = root.get_child(key);
    if (std::optional<bool> value = boolFrom(node.data()))
        return *value;
    throw pt::ptree_bad_data("conversion of data to type \"bool\" failed", node.data());
}

void readList(const pt::ptree& root, const char* key, std::vector<std::string>& list)
{
    for (const auto& child : root.get_child(key))
        list.push_back(checkedText(child.second.data(), key));
}

} // namespace

void readApplicationSettings(const std::string& path, ApplicationSettings& settings)
{
    const std::string text = readSettingsFile(path);
    checkBeforeParsing(path, text);

    // read_json's own parser, given the text in memory: through a stream it
    // takes each character by a stream buffer call, which with ten thousand
    // class path entries costs more than the rest of the reading.
    namespace detail = pt::json_parser::detail;
    detail::standard_callbacks<pt::ptree> callbacks;
    detail::encoding<char> encoding;
    detail::read_json_internal(text.cbegin(), text.cend(), encoding, callbacks, path);
    pt::ptree root;
    root.swap(callbacks.output());

    settings.packageName = readText(root, "packageName");
    settings.mainClass = readText(root, "mainClass");
    settings.mainMethod = readText(root, "mainMethod");
    settings.appNature = readText(root, "appNature");
    settings.invokeUpdater = readBool(root, "invokeUpdater");
    settings.showSplash = readBool(root, "showSplash");

    settings.classPath.clear();
    settings.vmOption.clear();
    settings.programOption.clear();
    readList(root, "classPath", settings.classPath);
    readList(root, "vmOption", settings.vmOption);
    readList(root, "programOption", settings.programOption);
    // The only optional key: files written before it existed keep working.
    settings.classDataArchive = root.get_child_optional("classDataArchive") && readBool(root, "classDataArchive");
}
