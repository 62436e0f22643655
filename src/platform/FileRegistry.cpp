#include "platform/FileRegistry.h"

#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/RegFileApplier.h"
#include "platform/RegFileParser.h"
#include "platform/RegFileWriter.h"
#include "platform/RegistryNames.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace korvana {

namespace {

std::filesystem::path hivePath(const std::filesystem::path& folder, Hive hive) {
    return folder / (std::string(hiveName(hive)) + ".reg");
}

void checkValue(const RegistryValue& value) {
    if (const auto* text = std::get_if<std::string>(&value.data); text && !isValidUtf8(*text)) {
        throw Error("A registry string value must be UTF-8 text",
                    runtimeErrors::invalidProcedureCall);
    }
}

} // namespace

FileRegistry::FileRegistry(const std::filesystem::path& folder)
    : machine_(Hive::LocalMachine, hivePath(folder, Hive::LocalMachine)),
      user_(Hive::CurrentUser, hivePath(folder, Hive::CurrentUser)) {}

std::optional<RegistryValue> FileRegistry::value(Hive hive, std::string_view key,
                                                 std::string_view name) const {
    const auto path = splitKeyPath(key);
    const RegistryKey* found = file(hive).current().find(path);
    if (!found) {
        return std::nullopt;
    }
    const RegistryValue* stored = found->value(name);
    return stored ? std::optional<RegistryValue>(*stored) : std::nullopt;
}

void FileRegistry::setValue(Hive hive, std::string_view key, std::string_view name,
                            const RegistryValue& value) {
    setValues(hive, key, {NamedValue{std::string(name), value}});
}

void FileRegistry::setValues(Hive hive, std::string_view key,
                             const std::vector<NamedValue>& values) {
    const auto path = splitKeyPath(key);
    checkKeyDepth(path.size());
    for (const auto part : path) {
        checkKeyName(part);
    }
    // Every value is checked before the hive is touched, so a refused one
    // leaves the others unwritten too.
    for (const auto& [name, value] : values) {
        checkValueName(name);
        checkValue(value);
    }
    file(hive).update([&](RegistryKey& root) {
        bool changed = false;
        RegistryKey* current = &root;
        for (const auto part : path) {
            current = &current->childOrCreate(part, changed);
        }
        for (const auto& [name, value] : values) {
            changed = current->setValue(name, value) || changed;
        }
        return changed;
    });
}

std::vector<std::string> FileRegistry::subKeys(Hive hive, std::string_view key) const {
    std::vector<std::string> names;
    if (const RegistryKey* found = file(hive).current().find(splitKeyPath(key))) {
        names.reserve(found->children().size());
        for (const auto& child : found->children()) {
            names.push_back(child->name());
        }
    }
    return names;
}

std::vector<NamedValue> FileRegistry::values(Hive hive, std::string_view key) const {
    const RegistryKey* found = file(hive).current().find(splitKeyPath(key));
    return found ? found->values() : std::vector<NamedValue>{};
}

bool FileRegistry::keyExists(Hive hive, std::string_view key) const {
    return file(hive).current().find(splitKeyPath(key)) != nullptr;
}

void FileRegistry::deleteKey(Hive hive, std::string_view key) {
    auto path = splitKeyPath(key);
    if (path.empty()) {
        throw Error("The whole hive " + std::string(hiveName(hive)) + " cannot be deleted",
                    runtimeErrors::invalidProcedureCall);
    }
    const auto last = path.back();
    path.pop_back();
    file(hive).update([&](RegistryKey& root) {
        RegistryKey* parent = root.find(path);
        return parent && parent->removeChild(last);
    });
}

void FileRegistry::deleteValue(Hive hive, std::string_view key, std::string_view name) {
    const auto path = splitKeyPath(key);
    file(hive).update([&](RegistryKey& root) {
        RegistryKey* found = root.find(path);
        return found && found->removeValue(name);
    });
}

void FileRegistry::import(const RegFileContent& content) {
    for (const Hive hive : {Hive::LocalMachine, Hive::CurrentUser}) {
        const bool mentioned = std::any_of(content.entries.begin(), content.entries.end(),
                                           [hive](const auto& e) { return e.hive == hive; });
        if (mentioned) {
            file(hive).update([&](RegistryKey& root) {
                return applyRegFileEntries(content.entries, hive, root);
            });
        }
    }
}

std::vector<RegFileProblem> FileRegistry::import(std::string text, std::string_view source) {
    const auto outline = RegFileParser::outline(text, source);
    std::vector<RegFileProblem> problems;
    RegFileParser::Options options;
    options.strict = false;
    // Runs the parse with each named hive's latest content at hand; the
    // hives are locked in one order (machine, then user), so two imports
    // cannot each wait for the other.
    const auto parse = [&](RegistryKey* machine, RegistryKey* user) {
        std::optional<RegFileApplier> toMachine;
        std::optional<RegFileApplier> toUser;
        if (machine) {
            toMachine.emplace(Hive::LocalMachine, *machine);
        }
        if (user) {
            toUser.emplace(Hive::CurrentUser, *user);
        }
        // Values belong to the hive of the key line before them.
        Hive section = Hive::LocalMachine;
        RegFileParser::parseInto(
            text, source, options,
            [&](RegFileEntry&& entry) {
                if (entry.kind == RegFileEntry::Kind::Key ||
                    entry.kind == RegFileEntry::Kind::DeleteKey) {
                    section = entry.hive;
                }
                auto& applier = section == Hive::LocalMachine ? toMachine : toUser;
                if (applier) {
                    applier->apply(std::move(entry));
                }
            },
            problems);
        std::string().swap(text);
        return std::pair{toMachine && toMachine->changed(), toUser && toUser->changed()};
    };
    if (outline.localMachine && outline.currentUser) {
        machine_.update([&](RegistryKey& machine) {
            bool machineChanged = false;
            user_.update([&](RegistryKey& user) {
                const auto [inMachine, inUser] = parse(&machine, &user);
                machineChanged = inMachine;
                return inUser;
            });
            return machineChanged;
        });
    } else if (outline.localMachine) {
        machine_.update([&](RegistryKey& machine) { return parse(&machine, nullptr).first; });
    } else if (outline.currentUser) {
        user_.update([&](RegistryKey& user) { return parse(nullptr, &user).second; });
    } else {
        // Nothing to change, but the lines are still read and reported.
        parse(nullptr, nullptr);
    }
    return problems;
}

std::optional<std::string> FileRegistry::exportKey(Hive hive, std::string_view key) const {
    // The sections name the keys as stored, whatever case the caller used.
    const RegistryKey* found = &file(hive).current();
    std::string path;
    for (const auto part : splitKeyPath(key)) {
        found = found->child(part);
        if (!found) {
            return std::nullopt;
        }
        path += (path.empty() ? "" : "\\") + found->name();
    }
    std::string text;
    RegFileWriter::appendTree(text, hive, path, *found, !path.empty());
    return text;
}

} // namespace korvana
