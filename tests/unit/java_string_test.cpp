#include "java_string.h"
#include "text_encoding.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "wide_text_win32.h"

#include <windows.h>
#endif

namespace {

#ifdef _WIN32
// Wine runs the tests with the Western European ANSI code page.
TEST(NarrowToUtf16, ConvertsFromTheActiveCodePage)
{
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(narrowToUtf16("caf\xe9"), u"caf\u00e9");
    EXPECT_EQ(narrowToUtf16("\x80"), u"\u20ac");
    EXPECT_EQ(narrowToUtf16(""), u"");
}

// Where the code page lacks a character, it becomes '?' and is reported:
// never a look-alike, such as '-' for U+FF0D or 'l' for U+0142, which would
// turn an argument into an option or a folder into its neighbour.
TEST(NarrowFromWide, NeverMapsByBestFit)
{
    ASSERT_EQ(GetACP(), 1252u);
    bool exact = false;
    EXPECT_EQ(narrowFromWide(L"caf\u00e9 \u20ac", &exact), "caf\xe9 \x80");
    EXPECT_TRUE(exact);
    EXPECT_EQ(narrowFromWide(L"\uff0d\uff0dlhelp", &exact), "??lhelp");
    EXPECT_FALSE(exact);
    EXPECT_EQ(narrowFromWide(L"C:\\ap\u0142\\launcher.exe", &exact), "C:\\ap?\\launcher.exe");
    EXPECT_FALSE(exact);
    EXPECT_EQ(narrowFromWide(L"", &exact), "");
    EXPECT_TRUE(exact);
}
#else
TEST(NarrowToUtf16, DecodesUtf8IntoUtf16Units)
{
    EXPECT_EQ(narrowToUtf16("caf\xc3\xa9"), u"caf\u00e9");
    EXPECT_EQ(narrowToUtf16("\xe4\xb8\xad"), u"\u4e2d");
    EXPECT_EQ(narrowToUtf16("\xf0\x9f\x98\x80"), u"\U0001F600");
    EXPECT_EQ(narrowToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
    EXPECT_EQ(narrowToUtf16(""), u"");
}

TEST(NarrowToUtf16, IllFormedBytesBecomeReplacementCharacters)
{
    EXPECT_EQ(narrowToUtf16("a\xffz"), u"a\ufffdz");
    EXPECT_EQ(narrowToUtf16("\xc3"), u"\ufffd");                  // cut short at the end
    EXPECT_EQ(narrowToUtf16("\xe4\xb8x"), u"\ufffdx");            // cut short before ASCII
    EXPECT_EQ(narrowToUtf16("\xc0\xaf"), u"\ufffd\ufffd");        // overlong
    EXPECT_EQ(narrowToUtf16("\xed\xa0\x80"), u"\ufffd");          // a surrogate
    EXPECT_EQ(narrowToUtf16("\xf4\x90\x80\x80"), u"\ufffd");      // past U+10FFFF
}
#endif

} // namespace
