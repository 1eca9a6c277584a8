// Cases of independent writers sit beside the checkout (../shared); a
// checkout without them skips their tests rather than failing them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#define SKIP_WITHOUT_REALWRITER()                        \
    if (!std::filesystem::is_directory(QUORIX_REALWRITER)) \
    GTEST_SKIP() << "no real-writer cases at " << QUORIX_REALWRITER

