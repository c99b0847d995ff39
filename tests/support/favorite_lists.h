// A favourite list for tests: the given names, one a minute apart north and east of 35 N 139 E.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

#include "core/favorites/favorite_list.h"

namespace zentorak::testing {

inline FavoriteList ListOf(std::initializer_list<const char16_t*> names) {
    FavoriteList list;
    int n = 0;
    for (const char16_t* name : names) {
        EXPECT_EQ(AddFavorite(list, {{35, n, 0, 0}, {139, n, 0, 0}, name}), 0);
        ++n;
    }
    return list;
}

}  // namespace zentorak::testing
