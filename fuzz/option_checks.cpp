#include "option_checks.h"

#include "fuzz_support.h"

#include <algorithm>

namespace po = boost::program_options;

namespace {

bool contains(const std::vector<std::string>& list, const std::string& text)
{
    return std::find(list.begin(), list.end(), text) != list.end();
}

bool beginsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

// The name that a long option token gives: after "--", up to "=".
std::string givenName(const std::string& token)
{
    const std::size_t equals = token.find('=', 2);
    return token.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
}

// A token that selects a row of the table, wholly or by abbreviation.
bool namesRow(const std::string& token, const std::vector<std::string>& names)
{
    if (!beginsWith(token, "--") || token.size() == 2)
        return false;
    const std::string given = givenName(token);
    if (given.empty())
        return false;
    return std::any_of(names.begin(), names.end(), [&](const std::string& name) { return beginsWith(name, given); });
}

} // namespace

std::vector<std::string> checkParse(const std::vector<std::string>& tokens, const std::vector<po::option>& parsed,
                                    const po::variables_map& values, const OptionTable& table)
{
    std::vector<std::string> names = table.switches;
    names.insert(names.end(), table.texts.begin(), table.texts.end());
    names.insert(names.end(), table.others.begin(), table.others.end());
    const auto input = [&] { return describeTokens(tokens); }; // built only for a report

    std::vector<std::string> passedOn;
    std::size_t next = 0;                     // the next token to account for
    std::size_t terminator = tokens.size();   // where "--" ended the options
    std::size_t recognised = 0;
    for (const po::option& entry : parsed) {
        FUZZ_CHECK(!entry.original_tokens.empty(), "an entry without tokens, input " + input());
        // A "--" that no option took as its value ends the options.
        if (terminator == tokens.size() && next < tokens.size() && tokens[next] == "--")
            terminator = next++;
        const std::size_t start = next;
        for (const std::string& token : entry.original_tokens) {
            FUZZ_CHECK(next < tokens.size() && tokens[next] == token,
                       "entry token " + describeText(token) + " is not token " + std::to_string(next) + " of " +
                           input());
            ++next;
        }
        const bool positional = entry.string_key.empty();
        if (start > terminator)
            FUZZ_CHECK(positional && entry.original_tokens.size() == 1,
                       "an option after \"--\", input " + input());

        if (positional || entry.unregistered) {
            for (const std::string& token : entry.original_tokens) {
                if (start < terminator)
                    FUZZ_CHECK(!namesRow(token, names),
                               "own option " + describeText(token) + " passed on, input " + input());
                passedOn.push_back(token);
            }
            continue;
        }

        ++recognised;
        const std::string& key = entry.string_key;
        const std::string& first = entry.original_tokens.front();
        FUZZ_CHECK(contains(names, key), "unknown key " + describeText(key) + ", input " + input());
        FUZZ_CHECK(beginsWith(first, "--") && !givenName(first).empty() && beginsWith(key, givenName(first)),
                   describeText(first) + " does not name " + key + ", input " + input());
        FUZZ_CHECK(values.count(key) == 1, key + " not stored, input " + input());
        if (contains(table.switches, key)) {
            FUZZ_CHECK(entry.value.empty(), "switch " + key + " with a value, input " + input());
        } else {
            FUZZ_CHECK(entry.value.size() == 1, key + " without exactly one value, input " + input());
            if (contains(table.texts, key))
                FUZZ_CHECK(values[key].as<std::string>() == entry.value.front(),
                           key + " stored with another value, input " + input());
        }
    }
    // A last "--" ends the options with nothing after it.
    if (terminator == tokens.size() && next + 1 == tokens.size() && tokens[next] == "--")
        ++next;
    FUZZ_CHECK(next == tokens.size(), "token " + std::to_string(next) + " lost, input " + input());
    FUZZ_CHECK(values.size() == recognised, "values hold more than the recognised options, input " + input());
    return passedOn;
}

DocumentedBool documentedBool(const std::string& text)
{
    std::string lower = text;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    for (const char* word : {"1", "true", "yes", "on"}) {
        if (lower == word)
            return DocumentedBool::isTrue;
    }
    for (const char* word : {"0", "false", "no", "off"}) {
        if (lower == word)
            return DocumentedBool::isFalse;
    }
    return DocumentedBool::invalid;
}
