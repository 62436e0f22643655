#include "platform/BackgroundWriter.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace korvana {
namespace {

// The caller reuses its buffer for the next piece at once; what the work sees
// must still be every piece, whole and in order.
TEST(BackgroundWriter, HandsOverEveryPieceInOrder) {
    std::string seen;
    BackgroundWriter writer([&seen](std::string_view piece) { seen += piece; });
    std::string expected;
    std::string buffer;
    for (int i = 0; i < 500; ++i) {
        buffer.assign(static_cast<std::size_t>(i % 37) + 1, static_cast<char>('a' + i % 26));
        expected += buffer;
        writer.add(buffer);
    }
    writer.finish();
    EXPECT_EQ(seen, expected);
}

// A piece that cannot be written stops the rest: the failure comes back to
// the caller, and no later piece is written after it.
TEST(BackgroundWriter, RaisesTheFailureOfAPieceAndWritesNoMore) {
    std::string seen;
    BackgroundWriter writer([&seen](std::string_view piece) {
        if (piece == "bad") {
            throw std::runtime_error("disk full");
        }
        seen += piece;
    });
    writer.add("a");
    writer.add("bad");
    const auto rest = [&writer] {
        for (int i = 0; i < 100; ++i) {
            writer.add("z");
        }
        writer.finish();
    };
    EXPECT_THROW(rest(), std::runtime_error);
    EXPECT_EQ(seen, "a");
}

// A caller that fails while making a piece leaves without finishing; the
// thread must stop rather than keep the caller waiting or outlive it.
TEST(BackgroundWriter, StopsWhenLeftUnfinished) {
    int handled = 0;
    {
        BackgroundWriter writer([&handled](std::string_view) { ++handled; });
        writer.add("a");
    }
    EXPECT_LE(handled, 1);
}

} // namespace
} // namespace korvana
