#include "core/targets/text_find.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace zentorak {
namespace {

// FindText must give std::u16string_view::find's answer for every text, needle and start,
// including needles at the very end and texts shorter than the eight-unit blocks.
TEST(FindText, AgreesWithStandardFind) {
    std::mt19937 random(11);
    const char16_t alphabet[] = {u'a', u'b', u'渋', u'谷', u'\uFFFF', u'\0'};
    std::uniform_int_distribution<int> pick(0, 5), length(0, 40), needleLength(0, 4);
    for (int round = 0; round < 20000; ++round) {
        std::u16string text, needle;
        for (int i = length(random); i > 0; --i) {
            text += alphabet[pick(random) % (round % 2 ? 6 : 3)];
        }
        for (int i = needleLength(random); i > 0; --i) {
            needle += alphabet[pick(random) % (round % 2 ? 6 : 3)];
        }
        size_t from = static_cast<size_t>(length(random));
        std::u16string_view view(text);
        ASSERT_EQ(FindText(view, needle, from), view.find(needle, from)) << round;
    }
}

}  // namespace
}  // namespace zentorak
