#include "services/ResolveProjectFile.h"

#include "ProjectFileFixture.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

namespace korvana {
namespace {

class ProjectFileResolution : public test::ProjectFileFixture {};

TEST_F(ProjectFileResolution, ARegisteredNameLeadsToTheFileNamedAsRegistered) {
    const auto file = makeProjectFile("Demo");
    // Folders in the registry may carry backslashes and a trailing one is not there.
    std::string folder = scratch.path().string();
    std::replace(folder.begin(), folder.end(), '/', '\\');
    registerProject("Demo", folder);

    EXPECT_EQ(resolveProjectFile(registry, "Demo"), file);
    EXPECT_EQ(resolveProjectFile(registry, "dEMO"), file);

    ConfigurationComponent component(registry);
    const auto handle = component.OpenProject("DEMO");
    EXPECT_EQ(component.ProjectFile(handle), file);
}

TEST_F(ProjectFileResolution, TextEndingInTheProjectExtensionIsAPath) {
    const auto file = makeProjectFile("Demo");
    std::string backslashed = file.string();
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    EXPECT_EQ(resolveProjectFile(registry, file.string()), file);
    EXPECT_EQ(resolveProjectFile(registry, backslashed), file);

    const auto upper = scratch / "Upper.KVS";
    std::filesystem::copy_file(file, upper);
    EXPECT_EQ(resolveProjectFile(registry, upper.string()), upper);
}

TEST_F(ProjectFileResolution, UnsafeOrUnknownNamesAreNotRegistered) {
    makeProjectFile("Demo");
    // Even a hand-made registry entry under such a name leads nowhere.
    for (const char* name : {"..", ".", "a/b", "..\\Demo"}) {
        registerProject(name, scratch.path().string());
    }
    registerProject("NoPath", "");
    const std::vector<std::string> names{
        "",        ".",   "..",      "a/b",    "..\\Demo",
        "../Demo", "x\n", "Unknown", "NoPath", std::string("D\0", 2)};
    for (const auto& name : names) {
        try {
            resolveProjectFile(registry, name);
            ADD_FAILURE() << "'" << name << "' was resolved";
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find("is not registered"), std::string::npos)
                << error.what();
        }
    }
}

TEST_F(ProjectFileResolution, AProjectFileThatIsNotHereIsAnError) {
    registerProject("Gone", scratch.path().string());
    registerProject("Windows", "C:\\Projects\\Windows");
    for (const char* nameOrPath : {"Gone", "Windows", "C:\\Projects\\Windows\\Windows.kvs"}) {
        try {
            resolveProjectFile(registry, nameOrPath);
            ADD_FAILURE() << nameOrPath << " was resolved";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), 53) << error.what();
        }
    }
    EXPECT_FALSE(std::filesystem::exists(scratch / "Gone.kvs"));
}

} // namespace
} // namespace korvana
