#include "splash_natives.h"

#include <cstdio>

namespace standin {

std::optional<NativeShape> splash_native_shape(std::u16string_view name)
{
    if (name == u"showResourceSplashImpl" || name == u"hideSplashImpl")
        return NativeShape::NoArguments;
    if (name == u"showPNGSplashImpl")
        return NativeShape::ByteArray;
    if (name == u"setFieldImpl")
        return NativeShape::Field;
    if (name == u"setProgressImpl")
        return NativeShape::Progress;
    return std::nullopt;
}

int int_argument_count(NativeShape shape)
{
    switch (shape) {
    case NativeShape::Field: return 2;
    case NativeShape::Progress: return 7;
    default: return 0;
    }
}

namespace {

void append_mangled(std::string& out, std::u16string_view text)
{
    for (char16_t c : text) {
        if (c == u'/') {
            out += '_';
        } else if (c == u'_') {
            out += "_1";
        } else if (c == u';') {
            out += "_2";
        } else if (c == u'[') {
            out += "_3";
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) {
            out += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "_0%04x", static_cast<unsigned>(c));
            out += escape;
        }
    }
}

} // namespace

std::string jni_export_name(std::u16string_view class_name, std::u16string_view method_name)
{
    std::string name = "Java_";
    append_mangled(name, class_name);
    name += '_';
    append_mangled(name, method_name);
    return name;
}

} // namespace standin
