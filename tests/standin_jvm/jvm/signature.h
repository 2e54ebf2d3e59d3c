// Method descriptors such as ([Ljava/lang/String;)I, reduced to what reading
// the arguments of a call needs.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace standin {

struct MethodSignature {
    // One JVM type letter per parameter; every reference type is 'L'.
    std::vector<char> parameters;
    char return_type = 'V';
};

std::optional<MethodSignature> parse_signature(std::u16string_view descriptor);

} // namespace standin
