#include "StandinScript.h"

#include "ide/IdeKeys.h"
#include "platform/Error.h"
#include "platform/Registry.h"
#include "platform/TextUtil.h"

#include <charconv>
#include <thread>

namespace korvana::standin {

namespace {

// A day: longer than any test or demo lets an IDE run.
constexpr long long longestSleepMs = 24LL * 60 * 60 * 1000;

std::vector<std::string_view> splitItems(std::string_view text) {
    std::vector<std::string_view> items;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = text.find(';', begin);
        const std::string_view item = trim(text.substr(begin, end - begin));
        if (!item.empty()) {
            items.push_back(item);
        }
        if (end == std::string_view::npos) {
            return items;
        }
        begin = end + 1;
    }
}

[[noreturn]] void refuse(std::string_view item, std::string_view why) {
    throw Error("bad action '" + std::string(item) + "': " + std::string(why), 5);
}

long long number(std::string_view item, std::string_view text, long long highest) {
    long long value = -1;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || failure != std::errc() || end != text.data() + text.size() || value < 0 ||
        value > highest) {
        refuse(item, "expected a whole number from 0 to " + std::to_string(highest));
    }
    return value;
}

std::string_view valueNameOf(std::string_view name) {
    if (name == "dock") {
        return ide::keys::dockValue;
    }
    if (name == "ui") {
        return ide::keys::uiValue;
    }
    if (name == "tool") {
        return ide::keys::toolValue;
    }
    return {};
}

} // namespace

StandinScript StandinScript::parse(std::string_view text) {
    StandinScript script;
    bool exited = false;
    for (const std::string_view item : splitItems(text)) {
        if (exited) {
            refuse(item, "nothing may follow exit");
        }
        const std::size_t equals = item.find('=');
        if (equals == std::string_view::npos) {
            refuse(item, "expected name=value");
        }
        const std::string name = toLowerAscii(trim(item.substr(0, equals)));
        const std::string_view value = trim(item.substr(equals + 1));
        Action action;
        if (const std::string_view valueName = valueNameOf(name); !valueName.empty()) {
            action.valueName = valueName;
            if (value == "-") {
                action.kind = Action::Kind::DeleteValue;
            } else if (auto bytes = parseHex(value)) {
                action.kind = Action::Kind::WriteValue;
                action.bytes = std::move(*bytes);
            } else {
                refuse(item, "expected pairs of hex digits or '-'");
            }
        } else if (name == "sleep-ms") {
            action.kind = Action::Kind::Sleep;
            action.duration = std::chrono::milliseconds(number(item, value, longestSleepMs));
        } else if (name == "exit") {
            script.exitCode_ = static_cast<int>(number(item, value, 255));
            exited = true;
            continue;
        } else {
            refuse(item, "unknown action (dock, ui, tool, sleep-ms, exit)");
        }
        script.actions_.push_back(std::move(action));
    }
    return script;
}

int StandinScript::run(Registry& registry, int version) const {
    const std::string key = ide::visualBasicUserKey(version);
    for (const Action& action : actions_) {
        switch (action.kind) {
        case Action::Kind::WriteValue:
            registry.writeBinary(Hive::CurrentUser, key, action.valueName, action.bytes);
            break;
        case Action::Kind::DeleteValue:
            registry.deleteValue(Hive::CurrentUser, key, action.valueName);
            break;
        case Action::Kind::Sleep:
            std::this_thread::sleep_for(action.duration);
            break;
        }
    }
    return exitCode_;
}

} // namespace korvana::standin
