#include "platform/RegistryKey.h"

#include <gtest/gtest.h>
#include <string>

namespace korvana {
namespace {

std::string nameOf(int number) {
    // Short ASCII, long ASCII and non-ASCII names, each folded its own way.
    switch (number % 3) {
    case 0:
        return "Station " + std::to_string(number);
    case 1:
        return std::string(70, 'L') + std::to_string(number);
    default:
        return "Übergabe " + std::to_string(number);
    }
}

std::string otherCase(int number) {
    switch (number % 3) {
    case 0:
        return "STATION " + std::to_string(number);
    case 1:
        return std::string(70, 'l') + std::to_string(number);
    default:
        return "übergabe " + std::to_string(number);
    }
}

// Sub-keys are found by name without regard to case, whether the parent has a
// few (looked at one by one) or many (through its index, which grows and is
// made again after a removal).
TEST(RegistryKey, FindsSubKeysInAnyCaseAsTheyComeAndGo) {
    for (const int count : {1, 8, 9, 40, 1000}) {
        SCOPED_TRACE(count);
        RegistryKey parent("Plant");
        bool created = false;
        for (int i = 0; i < count; ++i) {
            parent.childOrCreate(nameOf(i), created);
        }
        for (int i = 0; i < count; ++i) {
            bool again = false;
            EXPECT_EQ(&parent.childOrCreate(otherCase(i), again), parent.child(nameOf(i)));
            EXPECT_FALSE(again);
        }
        EXPECT_EQ(parent.children().size(), static_cast<std::size_t>(count));
        EXPECT_EQ(parent.child("Station"), nullptr);

        for (int i = 0; i < count; i += 2) {
            EXPECT_TRUE(parent.removeChild(otherCase(i)));
        }
        EXPECT_FALSE(parent.removeChild(nameOf(0)));
        for (int i = 0; i < count; ++i) {
            const RegistryKey* found = parent.child(otherCase(i));
            if (i % 2 == 0) {
                EXPECT_EQ(found, nullptr) << i;
            } else {
                ASSERT_NE(found, nullptr) << i;
                EXPECT_EQ(found->name(), nameOf(i));
            }
        }
        // Creation order is kept for writing back.
        if (count > 1) {
            EXPECT_EQ(parent.children().front()->name(), nameOf(1));
        }
    }
}

} // namespace
} // namespace korvana
