// Texts as Java hands them over, and where a progress bar goes.
#include "splash_drawing.h"
#include "splash_geometry.h"
#include "splash_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(SplashText, AsciiStaysAsItIs)
{
    EXPECT_EQ(utf16_from_modified_utf8("Initialing Environment ..."), u"Initialing Environment ...");
    EXPECT_EQ(utf8_from_modified_utf8("Initialing Environment ..."), "Initialing Environment ...");
    EXPECT_EQ(utf16_from_modified_utf8(""), u"");
}

TEST(SplashText, TwoAndThreeByteCharactersAreDecoded)
{
    // "Grüße €": ü and ß in two bytes, € in three.
    const std::string bytes = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC";
    EXPECT_EQ(utf16_from_modified_utf8(bytes), u"Gr\u00FC\u00DFe \u20AC");
    EXPECT_EQ(utf8_from_modified_utf8(bytes), bytes);
}

TEST(SplashText, ModifiedUtf8FormsBecomeTheCharactersTheyStandFor)
{
    // U+0000 as C0 80.
    EXPECT_EQ(utf16_from_modified_utf8("a\xC0\x80" "b"), std::u16string(u"a\0b", 3));
    EXPECT_EQ(utf8_from_modified_utf8("a\xC0\x80" "b"), std::string("a\0b", 3));
    // U+1F600 as its two surrogates, three bytes each.
    const std::string smiley = "\xED\xA0\xBD\xED\xB8\x80";
    EXPECT_EQ(utf16_from_modified_utf8(smiley), u"\U0001F600");
    EXPECT_EQ(utf8_from_modified_utf8(smiley), "\xF0\x9F\x98\x80");
}

TEST(SplashText, StandardFourByteUtf8IsAcceptedToo)
{
    EXPECT_EQ(utf16_from_modified_utf8("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(utf8_from_modified_utf8("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
}

TEST(SplashText, IllFormedBytesBecomeReplacementCharacters)
{
    EXPECT_EQ(utf16_from_modified_utf8("a\x80" "b"), u"a\uFFFDb");
    EXPECT_EQ(utf16_from_modified_utf8("\xE2\x82"), u"\uFFFD\uFFFD") << "a cut sequence";
    EXPECT_EQ(utf16_from_modified_utf8("\xC3" "A"), u"\uFFFDA");
    EXPECT_EQ(utf16_from_modified_utf8("\xFF"), u"\uFFFD");
    // A lone surrogate is a UTF-16 unit, but no UTF-8 character.
    EXPECT_EQ(utf16_from_modified_utf8("\xED\xA0\xBD"), u"\xD83D");
    EXPECT_EQ(utf8_from_modified_utf8("\xED\xA0\xBD" "x"), "\xEF\xBF\xBD" "x");
    EXPECT_EQ(utf8_from_modified_utf8("\xED\xB8\x80\xED\xA0\xBD"), "\xEF\xBF\xBD\xEF\xBF\xBD") << "pair reversed";
}

TEST(SplashText, ADrawnTextIsCutAtTheBound)
{
    const std::string long_text(3 * kSplashMostTextUnits, 'a');
    EXPECT_EQ(utf16_from_modified_utf8(long_text, kSplashMostTextUnits),
              std::u16string(kSplashMostTextUnits, u'a'));
    EXPECT_EQ(utf8_from_modified_utf8(long_text, kSplashMostTextUnits), std::string(kSplashMostTextUnits, 'a'));
    // Three bytes a unit.
    std::string euros;
    for (std::size_t i = 0; i < kSplashMostTextUnits + 10; ++i)
        euros += "\xE2\x82\xAC";
    EXPECT_EQ(utf16_from_modified_utf8(euros, kSplashMostTextUnits), std::u16string(kSplashMostTextUnits, u'\u20AC'));
    // A text within the bound stays whole.
    EXPECT_EQ(utf16_from_modified_utf8("short", kSplashMostTextUnits), u"short");
}

TEST(SplashText, TheCutNeverSplitsASurrogatePair)
{
    const std::string leading(kSplashMostTextUnits - 1, 'a');
    // Java's form: two 3-byte surrogates.
    EXPECT_EQ(utf16_from_modified_utf8(leading + "\xED\xA0\xBD\xED\xB8\x80" "b", kSplashMostTextUnits),
              std::u16string(leading.begin(), leading.end()));
    // A native caller's 4-byte form.
    EXPECT_EQ(utf16_from_modified_utf8(leading + "\xF0\x9F\x98\x80" "b", kSplashMostTextUnits),
              std::u16string(leading.begin(), leading.end()));
    EXPECT_EQ(utf8_from_modified_utf8(leading + "\xF0\x9F\x98\x80" "b", kSplashMostTextUnits), leading);
    // Room for the pair: it stays.
    const std::string shorter(kSplashMostTextUnits - 2, 'a');
    EXPECT_EQ(utf16_from_modified_utf8(shorter + "\xED\xA0\xBD\xED\xB8\x80" "b", kSplashMostTextUnits),
              std::u16string(shorter.begin(), shorter.end()) + u"\U0001F600");
}

TEST(SplashText, TheKeptPrefixDrawsAsTheWholeText)
{
    const std::string pieces[] = {"a", "\xC3\xBC", "\xE2\x82\xAC", "\xED\xA0\xBD\xED\xB8\x80", "\xF0\x9F\x98\x80",
                                  "\xFF", "\xE2\x82"};
    for (const std::string& first : pieces)
        for (const std::string& second : pieces) {
            std::string text;
            while (text.size() < 4 * kSplashMostTextUnits)
                text += first + second;
            const std::string kept = splash_drawable_prefix(text);
            EXPECT_LT(kept.size(), text.size());
            EXPECT_EQ(utf16_from_modified_utf8(kept, kSplashMostTextUnits),
                      utf16_from_modified_utf8(text, kSplashMostTextUnits));
        }
    EXPECT_EQ(splash_drawable_prefix("short"), "short");
}

TEST(SplashDrawings, OnlyTheLastUncommittedDrawingOfARunIsShown)
{
    splash_drawing_run run;
    run.push_back(splash_progress({0, 0, 100, 5, 10, 0, 0}, "first", false));
    run.push_back(splash_field(1, 2, "kept one"));
    run.push_back(splash_progress({0, 0, 100, 5, 20, 0, 0}, "second", false));
    run.push_back(splash_progress({0, 10, 100, 5, 30, 0, 0}, "committed", true));
    run.push_back(splash_field(3, 4, "kept two"));
    run.push_back(splash_progress({0, 0, 100, 5, 40, 0, 0}, "third", false));
    run.push_back(splash_progress({0, 0, 100, 5, 50, 0, 0}, "last", false));
    const splash_drawing_plan plan = plan_splash_drawings(run);
    ASSERT_EQ(plan.kept.size(), 3u);
    EXPECT_EQ(plan.kept[0]->text, "kept one");
    EXPECT_EQ(plan.kept[1]->text, "committed");
    EXPECT_EQ(plan.kept[2]->text, "kept two");
    ASSERT_NE(plan.shown, nullptr);
    EXPECT_EQ(plan.shown->text, "last");
    EXPECT_EQ(plan.shown->bar.right, 50);

    run.push_back(splash_field(5, 6, "after all"));
    EXPECT_EQ(plan_splash_drawings(run).shown, nullptr) << "a field replaces the last progress";
    EXPECT_EQ(plan_splash_drawings({}).kept.size(), 0u);
}

void expect_rect(const splash_rect& r, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

TEST(SplashBar, TheLaunchersFirstProgressIs85PixelsWide)
{
    expect_rect(splash_bar_rect(37, 216, 426, 12, 20), 37, 216, 122, 228);
}

TEST(SplashBar, PercentIsNotClampedAndTruncatesTowardZero)
{
    EXPECT_TRUE(splash_rect_empty(splash_bar_rect(37, 216, 426, 12, 0)));
    expect_rect(splash_bar_rect(37, 216, 426, 12, 100), 37, 216, 463, 228);
    expect_rect(splash_bar_rect(37, 216, 200, 12, 150), 37, 216, 337, 228);
    expect_rect(splash_bar_rect(10, 0, 7, 5, 50), 10, 0, 13, 5);  // 3.5 -> 3
    expect_rect(splash_bar_rect(10, 0, 7, 5, -50), 7, 0, 10, 5); // -3.5 -> -3, leftwards
    EXPECT_TRUE(splash_rect_empty(splash_bar_rect(10, 0, 200, 0, 50))) << "no height";
    expect_rect(splash_bar_rect(10, 20, 100, -4, 50), 10, 16, 60, 20);
}

TEST(SplashBar, HugeValuesWrapAsThirtyTwoBitArithmeticDoes)
{
    const std::int32_t big = std::numeric_limits<std::int32_t>::max();
    // 0x7FFFFFFF * 2 wraps to -2; -2 / 100 truncates to 0: no bar.
    EXPECT_TRUE(splash_rect_empty(splash_bar_rect(0, 0, big, 10, 2)));
    const splash_rect r = splash_bar_rect(big, 0, 1000, 10, 100);
    EXPECT_LE(r.left, r.right);
    EXPECT_LE(r.top, r.bottom);
}

} // namespace
