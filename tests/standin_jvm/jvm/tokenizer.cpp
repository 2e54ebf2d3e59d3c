#include "tokenizer.h"

#include "java_text.h"

namespace standin {
namespace {

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class Scanner {
public:
    explicit Scanner(std::string_view line) : line_(line) {}

    std::vector<Token> run()
    {
        std::vector<Token> tokens;
        for (;;) {
            while (pos_ < line_.size() && is_blank(line_[pos_]))
                ++pos_;
            if (pos_ == line_.size() || line_[pos_] == '#')
                return tokens;
            tokens.push_back(line_[pos_] == '"' ? quoted() : bare());
        }
    }

private:
    Token bare()
    {
        const std::size_t start = pos_;
        while (pos_ < line_.size() && !is_blank(line_[pos_]) && line_[pos_] != '#') {
            if (line_[pos_] == '"')
                throw std::runtime_error("quote inside a word");
            ++pos_;
        }
        return {decode_utf8(line_.substr(start, pos_ - start)), false};
    }

    Token quoted()
    {
        ++pos_;
        Token token{{}, true};
        std::string pending; // raw UTF-8 bytes not yet decoded
        auto flush = [&] {
            token.text += decode_utf8(pending);
            pending.clear();
        };
        for (;;) {
            if (pos_ == line_.size())
                throw std::runtime_error("unterminated string");
            const char c = line_[pos_++];
            if (c == '"')
                break;
            if (c != '\\') {
                pending += c;
                continue;
            }
            if (pos_ == line_.size())
                throw std::runtime_error("unterminated string");
            const char escape = line_[pos_++];
            switch (escape) {
            case '"': pending += '"'; break;
            case '\\': pending += '\\'; break;
            case 'n': pending += '\n'; break;
            case 't': pending += '\t'; break;
            case 'r': pending += '\r'; break;
            case '0': flush(); token.text += u'\0'; break;
            case 'u': flush(); token.text += unicode_escape(); break;
            default: throw std::runtime_error(std::string("unknown escape \\") + escape);
            }
        }
        flush();
        if (pos_ < line_.size() && !is_blank(line_[pos_]) && line_[pos_] != '#')
            throw std::runtime_error("no blank after a string");
        return token;
    }

    char16_t unicode_escape()
    {
        if (line_.size() - pos_ < 4)
            throw std::runtime_error("\\u needs four hex digits");
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = hex_value(line_[pos_++]);
            if (digit < 0)
                throw std::runtime_error("\\u needs four hex digits");
            value = value * 16 + static_cast<unsigned>(digit);
        }
        return static_cast<char16_t>(value);
    }

    std::string_view line_;
    std::size_t pos_ = 0;
};

} // namespace

std::vector<Token> tokenize(std::string_view line)
{
    return Scanner(line).run();
}

} // namespace standin
