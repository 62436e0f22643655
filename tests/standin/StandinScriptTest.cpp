#include "StandinScript.h"

#include "platform/Error.h"
#include "support/MemoryRegistry.h"

#include <gtest/gtest.h>

namespace korvana::standin {
namespace {

using namespace std::chrono_literals;
using Action = StandinScript::Action;
using Kind = Action::Kind;

Action write(const char* name, Bytes bytes) {
    return {Kind::WriteValue, name, std::move(bytes), 0ms};
}
Action remove(const char* name) {
    return {Kind::DeleteValue, name, {}, 0ms};
}
Action sleep(std::chrono::milliseconds duration) {
    return {Kind::Sleep, {}, {}, duration};
}

TEST(StandinScriptTest, ReadsActionsInOrder) {
    struct Case {
        const char* text;
        std::vector<Action> actions;
        int exitCode;
    };
    const Case cases[] = {
        {"dock=0a0b0c;ui=ff00;sleep-ms=200;exit=0",
         {write("Dock", {0x0a, 0x0b, 0x0c}), write("UI", {0xff, 0x00}), sleep(200ms)},
         0},
        {"", {}, 0},
        {" ; ;exit=255", {}, 255},
        {" DOCK = - ; Tool=AbCd ; ui= ",
         {remove("Dock"), write("Tool", {0xab, 0xcd}), write("UI", {})},
         0},
        {"sleep-ms=0;dock=01;sleep-ms=5;dock=02;exit=7",
         {sleep(0ms), write("Dock", {1}), sleep(5ms), write("Dock", {2})},
         7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const StandinScript script = StandinScript::parse(c.text);
        EXPECT_EQ(script.actions(), c.actions);
        EXPECT_EQ(script.exitCode(), c.exitCode);
    }
}

TEST(StandinScriptTest, RefusesWhatItCannotRunNamingTheItem) {
    for (const char* text : {"dock", "dock=abc", "dock=0g", "ui=--", "window=left", "sleep-ms=-1",
                             "sleep-ms=1e3", "sleep-ms=", "sleep-ms=99999999999999999999",
                             "exit=256", "exit=x", "exit=0;dock=01", "=01"}) {
        SCOPED_TRACE(text);
        try {
            StandinScript::parse(text);
            ADD_FAILURE() << "accepted";
        } catch (const Error& error) {
            const std::string item = std::string(text).substr(std::string(text).rfind(';') + 1);
            EXPECT_NE(std::string(error.what()).find(item), std::string::npos) << error.what();
        }
    }
}

TEST(StandinScriptTest, ChangesTheValuesOfItsOwnVersionOnly) {
    test::MemoryRegistry registry;
    const std::string key5 = "Software\\Microsoft\\Visual Basic\\5.0";
    const std::string key6 = "Software\\Microsoft\\Visual Basic\\6.0";
    for (const auto& key : {key5, key6}) {
        registry.writeBinary(Hive::CurrentUser, key, "Dock", {1, 2});
        registry.writeBinary(Hive::CurrentUser, key, "UI", {3});
    }
    const StandinScript script = StandinScript::parse("dock=0a0b;ui=-;tool=00;exit=9");
    EXPECT_EQ(script.run(registry, 5), 9);

    EXPECT_EQ(registry.value(Hive::CurrentUser, key5, "Dock"), RegistryValue::binary({0x0a, 0x0b}));
    EXPECT_FALSE(registry.value(Hive::CurrentUser, key5, "UI"));
    EXPECT_EQ(registry.value(Hive::CurrentUser, key5, "Tool"), RegistryValue::binary({0}));
    EXPECT_EQ(registry.value(Hive::CurrentUser, key6, "Dock"), RegistryValue::binary({1, 2}));
    EXPECT_EQ(registry.value(Hive::CurrentUser, key6, "UI"), RegistryValue::binary({3}));
}

} // namespace
} // namespace korvana::standin
