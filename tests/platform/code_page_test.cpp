#include "platform/code_page.h"

#include <gtest/gtest.h>

namespace zentorak {
namespace {

TEST(Cp932, DecodesJapaneseName) {
    // "東京" in CP932 is 93 8C 8B 9E.
    EXPECT_EQ(DecodeCp932("\x93\x8C\x8B\x9E"), u"東京");
    EXPECT_EQ(EncodeCp932(u"東京"), "\x93\x8C\x8B\x9E");
}

}  // namespace
}  // namespace zentorak
