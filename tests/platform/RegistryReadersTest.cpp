#include "support/MemoryRegistry.h"

#include <gtest/gtest.h>

namespace korvana {
namespace {

constexpr auto hklm = Hive::LocalMachine;

TEST(RegistryReaders, ConvertBetweenTextAndNumbersLikeAVariant) {
    test::MemoryRegistry registry;
    registry.writeNumber(hklm, "K", "Number", -5);
    registry.writeString(hklm, "K", "Numeric", " 42 ");
    registry.writeString(hklm, "K", "Word", "forty");
    registry.writeBinary(hklm, "K", "Blob", {1, 2});

    EXPECT_EQ(registry.readString(hklm, "K", "Number"), "-5");
    EXPECT_EQ(registry.readNumber(hklm, "K", "Numeric", 0), 42);
    EXPECT_EQ(registry.readNumber(hklm, "K", "Word", 7), 7);
    EXPECT_EQ(registry.readNumber(hklm, "K", "Blob", 7), 7);
    EXPECT_EQ(registry.readString(hklm, "K", "Missing", "dflt"), "dflt");
    EXPECT_EQ(registry.readString(hklm, "Missing\\Key", "x", "dflt"), "dflt");
}

TEST(RegistryReaders, BoundedNumberFallsBackOutsideTheRange) {
    test::MemoryRegistry registry;
    registry.writeNumber(hklm, "K", "Tab", 3);
    EXPECT_EQ(registry.readBoundedNumber(hklm, "K", "Tab", 0, 0, 3), 3);
    EXPECT_EQ(registry.readBoundedNumber(hklm, "K", "Tab", 0, 0, 2), 0);
    EXPECT_EQ(registry.readBoundedNumber(hklm, "K", "Tab", 1, 4, 9), 1);
    EXPECT_EQ(registry.readBoundedNumber(hklm, "K", "None", 2, 0, 9), 2);
}

} // namespace
} // namespace korvana
