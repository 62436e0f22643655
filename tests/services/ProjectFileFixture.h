#pragma once

#include "db/Sqlite.h"
#include "services/ConfigurationComponent.h"
#include "support/MemoryRegistry.h"
#include "support/ProjectDatabase.h"
#include "support/ScratchDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace korvana::test {

// A scratch folder with project files and a registry that lists them.
class ProjectFileFixture : public testing::Test {
  protected:
    // A project database as a template would bring it: tables of its own, no
    // settings yet.
    std::filesystem::path makeProjectFile(const std::string& name) {
        const auto file = scratch / (name + ".kvs");
        makeProjectDatabase(file);
        return file;
    }

    void registerProject(const std::string& name, const std::string& folder) {
        registry.writeString(Hive::LocalMachine,
                             "Software\\ARVENTIK GmbH\\Korvana\\4.0\\Projects\\" + name, "Path",
                             folder);
    }

    ScratchDir scratch;
    MemoryRegistry registry;
};

} // namespace korvana::test
