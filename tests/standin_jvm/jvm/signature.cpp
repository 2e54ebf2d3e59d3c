#include "signature.h"

namespace standin {
namespace {

bool is_primitive(char16_t c)
{
    return std::u16string_view(u"ZBCSIJFD").find(c) != std::u16string_view::npos;
}

// Reads one field type at `pos`; returns its letter or 0 if malformed.
char field_type(std::u16string_view text, std::size_t& pos)
{
    std::size_t dimensions = 0;
    while (pos < text.size() && text[pos] == u'[') {
        ++dimensions;
        ++pos;
    }
    if (pos == text.size())
        return 0;
    const char16_t c = text[pos];
    if (c == u'L') {
        const std::size_t end = text.find(u';', pos);
        if (end == std::u16string_view::npos || end == pos + 1)
            return 0;
        pos = end + 1;
        return 'L';
    }
    if (!is_primitive(c))
        return 0;
    ++pos;
    return dimensions > 0 ? 'L' : static_cast<char>(c);
}

} // namespace

std::optional<MethodSignature> parse_signature(std::u16string_view descriptor)
{
    if (descriptor.empty() || descriptor[0] != u'(')
        return std::nullopt;
    MethodSignature signature;
    std::size_t pos = 1;
    while (pos < descriptor.size() && descriptor[pos] != u')') {
        const char type = field_type(descriptor, pos);
        if (type == 0)
            return std::nullopt;
        signature.parameters.push_back(type);
    }
    if (pos == descriptor.size())
        return std::nullopt;
    ++pos;
    if (pos + 1 == descriptor.size() && descriptor[pos] == u'V') {
        signature.return_type = 'V';
        return signature;
    }
    const char type = field_type(descriptor, pos);
    if (type == 0 || pos != descriptor.size())
        return std::nullopt;
    signature.return_type = type;
    return signature;
}

} // namespace standin
