#include "description.h"

#include "java_text.h"
#include "platform.h"
#include "tokenizer.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace standin {

const Member* ClassDescription::find(MemberKind kind, std::u16string_view member_name,
                                     std::u16string_view member_descriptor) const
{
    for (const Member& member : members)
        if (member.kind == kind && member.name == member_name && member.descriptor == member_descriptor)
            return &member;
    return nullptr;
}

const ClassDescription* Description::find_class(std::u16string_view class_name) const
{
    for (const ClassDescription& candidate : classes)
        if (candidate.name == class_name)
            return &candidate;
    return nullptr;
}

namespace {

bool is_keyword(const Token& token, std::u16string_view word)
{
    return !token.quoted && token.text == word;
}

bool is_clause_keyword(const Token& token)
{
    for (std::u16string_view word :
         {u"returns", u"when-exists", u"deletes", u"creates", u"throws", u"exits", u"script"})
        if (is_keyword(token, word))
            return true;
    return false;
}

long long parse_integer(const Token& token, long long low, long long high)
{
    const std::string ascii = encode_utf8(token.text);
    const bool hex = ascii.size() > 2 && ascii[0] == '0' && (ascii[1] == 'x' || ascii[1] == 'X');
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(ascii.c_str(), &end, hex ? 16 : 10);
    if (ascii.empty() || *end != '\0' || errno != 0 || value < low || value > high)
        throw std::runtime_error("not a number in range: " + ascii);
    return value;
}

jint parse_jint(const Token& token)
{
    return static_cast<jint>(parse_integer(token, INT32_MIN, INT32_MAX));
}

class Parser {
public:
    explicit Parser(std::filesystem::path base) : base_(std::move(base)) {}

    void line(std::vector<Token> tokens)
    {
        tokens_ = std::move(tokens);
        next_ = 0;
        if (tokens_.empty())
            return;
        if (script_owner_ != nullptr)
            script_line();
        else
            declaration_line();
    }

    Description finish()
    {
        if (script_owner_ != nullptr)
            throw std::runtime_error("script of " + ascii_name(script_owner_->name) + " has no `end`");
        return std::move(description_);
    }

private:
    void declaration_line()
    {
        const Token& keyword = take("a declaration");
        if (keyword.quoted)
            throw std::runtime_error("a line starts with a keyword, not a string");
        const std::u16string& word = keyword.text;
        if (word == u"create") {
            create_line();
        } else if (word == u"destroy") {
            // destroy exits N: a thread calls System.exit(N) while DestroyJavaVM waits.
            expect_keyword(u"exits");
            description_.destroy_exit_code = parse_jint(take("an exit code"));
        } else if (word == u"heap") {
            description_.heap = static_cast<jint>(parse_integer(take("a number of objects"), 0, INT32_MAX));
        } else if (word == u"class") {
            const std::u16string name = take("a class name").text;
            if (description_.find_class(name) != nullptr)
                throw std::runtime_error("class described twice: " + ascii_name(name));
            description_.classes.push_back({name, {}});
        } else if (word == u"constructor") {
            member(MemberKind::Constructor);
        } else if (word == u"static") {
            member(MemberKind::Static);
        } else if (word == u"method") {
            member(MemberKind::Method);
        } else if (word == u"native") {
            member(MemberKind::Native);
        } else if (word == u"field") {
            member(MemberKind::Field);
        } else {
            throw std::runtime_error("unknown line: " + ascii_name(word));
        }
        if (!at_end())
            throw std::runtime_error("unexpected " + java_literal(tokens_[next_].text));
    }

    // create [fail [lasterror N] | exits N | aborts] [prints TEXT]...
    void create_line()
    {
        if (!at_end() && is_keyword(tokens_[next_], u"fail")) {
            ++next_;
            description_.create_ending = CreateEnding::Fails;
            if (!at_end() && is_keyword(tokens_[next_], u"lasterror")) {
                ++next_;
                description_.last_error = parse_integer(take("an error code"), INT32_MIN, UINT32_MAX);
            }
        } else if (!at_end() && is_keyword(tokens_[next_], u"exits")) {
            ++next_;
            description_.create_ending = CreateEnding::Exits;
            description_.create_exit_code = parse_jint(take("an exit code"));
        } else if (!at_end() && is_keyword(tokens_[next_], u"aborts")) {
            ++next_;
            description_.create_ending = CreateEnding::Aborts;
        }
        while (!at_end()) {
            expect_keyword(u"prints");
            description_.create_prints.push_back(take("a text").text);
        }
        if (description_.create_ending == CreateEnding::Succeeds && description_.create_prints.empty())
            throw std::runtime_error("expected `fail`, `exits`, `aborts` or `prints`");
    }

    void member(MemberKind kind)
    {
        if (description_.classes.empty())
            throw std::runtime_error("a member outside any class");
        ClassDescription& owner = description_.classes.back();
        Member member;
        member.kind = kind;
        member.class_name = owner.name;
        if (kind == MemberKind::Constructor) {
            member.name = u"<init>";
            // An optional signature: "()V" when none is given.
            const bool given = !at_end() && !tokens_[next_].text.empty() && tokens_[next_].text[0] == u'(';
            member.descriptor = given ? take("a signature").text : u"()V";
        } else {
            member.name = take("a method name").text;
            member.descriptor = take("a signature").text;
        }
        // A field's type reads as the result of a method without parameters.
        const auto signature =
            parse_signature(kind == MemberKind::Field ? u"()" + member.descriptor : member.descriptor);
        if (!signature)
            throw std::runtime_error("bad signature " + java_literal(member.descriptor));
        member.signature = *signature;
        for (const Member& other : owner.members)
            if (other.name == member.name && other.descriptor == member.descriptor)
                throw std::runtime_error("member described twice: " + ascii_name(member.name));
        bool has_script = false;
        if (kind != MemberKind::Native && kind != MemberKind::Field)
            has_script = clauses(member);
        owner.members.push_back(std::move(member));
        if (has_script)
            script_owner_ = &owner.members.back();
    }

    // Returns whether a script follows.
    bool clauses(Member& member)
    {
        const bool returns_value = member.kind != MemberKind::Constructor;
        while (!at_end()) {
            const Token& keyword = take("a clause");
            if (is_keyword(keyword, u"returns") && returns_value) {
                member.result = parse_jint(take("a result"));
            } else if (is_keyword(keyword, u"when-exists") && returns_value) {
                ResultRule rule;
                rule.when_exists = path(take("a path"));
                expect_keyword(u"returns");
                rule.value = parse_jint(take("a result"));
                member.conditional_results.push_back(std::move(rule));
            } else if (is_keyword(keyword, u"deletes")) {
                member.deletes.push_back(path(take("a path")));
            } else if (is_keyword(keyword, u"creates")) {
                member.creates.push_back(path(take("a path")));
            } else if (is_keyword(keyword, u"throws")) {
                Thrown thrown;
                thrown.class_name = take("an exception class").text;
                if (!at_end() && !is_clause_keyword(tokens_[next_]))
                    thrown.message = take("a message").text;
                member.thrown = std::move(thrown);
            } else if (is_keyword(keyword, u"exits")) {
                member.exits = parse_jint(take("an exit code"));
            } else if (is_keyword(keyword, u"script")) {
                if (!at_end())
                    throw std::runtime_error("`script` must end the line");
                return true;
            } else {
                throw std::runtime_error("unknown clause " + java_literal(keyword.text));
            }
        }
        return false;
    }

    void script_line()
    {
        const Token& keyword = take("a step");
        ScriptStep step;
        if (is_keyword(keyword, u"end")) {
            script_owner_ = nullptr;
        } else if (is_keyword(keyword, u"sleep")) {
            step.kind = ScriptStep::Kind::Sleep;
            step.milliseconds = static_cast<jint>(parse_integer(take("milliseconds"), 0, INT32_MAX));
            script_owner_->script.push_back(std::move(step));
        } else if (is_keyword(keyword, u"print")) {
            step.kind = ScriptStep::Kind::Print;
            step.text = take("a text").text;
            script_owner_->script.push_back(std::move(step));
        } else if (is_keyword(keyword, u"call")) {
            step.kind = ScriptStep::Kind::Call;
            step.call = native_call();
            script_owner_->script.push_back(std::move(step));
        } else {
            throw std::runtime_error("unknown script step " + java_literal(keyword.text));
        }
        if (!at_end())
            throw std::runtime_error("unexpected " + java_literal(tokens_[next_].text));
    }

    NativeCall native_call()
    {
        NativeCall call;
        call.name = take("a native name").text;
        const auto shape = splash_native_shape(call.name);
        if (!shape)
            throw std::runtime_error("no such splash native: " + ascii_name(call.name));
        call.shape = *shape;
        if (call.shape == NativeShape::ByteArray) {
            const Token& file = take("a PNG file or \"\"");
            if (!file.text.empty())
                call.file = path(file);
            return call;
        }
        for (int i = 0; i < int_argument_count(call.shape); ++i)
            call.ints.push_back(parse_jint(take("a number")));
        if (call.shape == NativeShape::Field || call.shape == NativeShape::Progress)
            call.text = take("a text").text;
        return call;
    }

    std::filesystem::path path(const Token& token) const
    {
        const std::filesystem::path given = path_from_text(token.text);
        return given.is_absolute() ? given : base_ / given;
    }

    bool at_end() const { return next_ == tokens_.size(); }

    const Token& take(const char* what)
    {
        if (at_end())
            throw std::runtime_error(std::string("missing ") + what);
        return tokens_[next_++];
    }

    void expect_keyword(std::u16string_view word)
    {
        if (at_end() || !is_keyword(tokens_[next_], word))
            throw std::runtime_error("expected `" + ascii_name(word) + "`");
        ++next_;
    }

    std::filesystem::path base_;
    Description description_;
    std::vector<Token> tokens_;
    std::size_t next_ = 0;
    Member* script_owner_ = nullptr;
};

std::string read_all(const std::filesystem::path& file, bool& found)
{
    std::FILE* stream = platform::open_file(file, "rb");
    found = stream != nullptr;
    std::string content;
    if (!found)
        return content;
    char buffer[4096];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
        content.append(buffer, count);
    std::fclose(stream);
    return content;
}

} // namespace

Description load_description(const std::filesystem::path& file)
{
    bool found = false;
    std::string content = read_all(file, found);
    if (!found)
        return {};
    if (content.rfind("\xEF\xBB\xBF", 0) == 0)
        content.erase(0, 3);

    Parser parser(file.parent_path());
    std::size_t start = 0;
    for (int number = 1; start <= content.size(); ++number) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        try {
            parser.line(tokenize(std::string_view(content).substr(start, end - start)));
        } catch (const std::exception& error) {
            throw std::runtime_error("standin.txt:" + std::to_string(number) + ": " + error.what());
        }
        start = end + 1;
    }
    try {
        return parser.finish();
    } catch (const std::exception& error) {
        throw std::runtime_error(std::string("standin.txt: ") + error.what());
    }
}

} // namespace standin
