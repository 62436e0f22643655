#include "ide/AddInList.h"

#include "platform/IniFile.h"

#include <utility>

namespace korvana::ide {

AddInList::AddInList(std::filesystem::path file) : file_(std::move(file)) {}

void AddInList::rememberPriorStates() {
    known_ = false;
    prior_ = {};
    try {
        const IniFile list = IniFile::load(file_);
        for (std::size_t i = 0; i < keys::studioAddIns.size(); ++i) {
            prior_[i] = list.value(keys::addInSection, keys::studioAddIns[i]);
        }
        known_ = true;
    } catch (const Error&) {
        // Without the prior states a restore could only guess: the list stays
        // untouched.
        prior_ = {};
    }
}

void AddInList::prepare(PassOver& passOver) const {
    if (!known_) {
        return;
    }
    // The same for projects and groups: only the current add-in is loaded.
    const std::pair<std::string_view, std::string_view> entries[] = {
        {"KVAddIn.Connect", "0"},
        {"KVXAddIn.Connect", "0"},
        {"KV4AddIn.Connect", "1"},
    };
    for (const auto& [addIn, state] : entries) {
        passOver.run("add-in " + std::string(addIn), [&, addIn = addIn, state = state] {
            IniFile::writeKey(file_, keys::addInSection, addIn, state);
        });
    }
}

void AddInList::restore(PassOver& passOver) const {
    if (!known_) {
        return;
    }
    for (std::size_t i = 0; i < keys::studioAddIns.size(); ++i) {
        const std::string_view addIn = keys::studioAddIns[i];
        passOver.run("add-in " + std::string(addIn), [&] {
            if (prior_[i]) {
                IniFile::writeKey(file_, keys::addInSection, addIn, *prior_[i]);
            } else {
                IniFile::deleteKey(file_, keys::addInSection, addIn);
            }
        });
    }
}

} // namespace korvana::ide
