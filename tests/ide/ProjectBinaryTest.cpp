#include "ide/ProjectBinary.h"

#include "ide/IdeTestBed.h"

namespace korvana::ide {
namespace {

class ProjectBinaryTest : public test::IdeTestBed {};

TEST_F(ProjectBinaryTest, RefusesWhatIsNoUsableProjectFile) {
    makeProject("Plant");
    const auto registerAt = [&](const std::string& name, const std::filesystem::path& folder) {
        registry.writeString(Hive::LocalMachine, std::string(korvana::keys::projects) + "\\" + name,
                             "Path", folder.string());
    };
    std::filesystem::create_directories(scratch / "Old");
    db::Database::create((scratch / "Old" / "Old.kvs").string()).close();
    korvana::test::writeFile(scratch / "Old" / "Junk.kvs", "not a database");
    registerAt("Gone", scratch / "nowhere");
    registerAt("Old", scratch / "Old");
    registerAt("Junk", scratch / "Old");
    registerAt("..", scratch / "Projects");

    for (const char* name :
         {"Unknown", "Gone", "Old", "Junk", "", "..", "../Plant", "a\\b", "Pl\nant"}) {
        EXPECT_THROW(ReadProjectBinary(registry, name, "Visual Basic", "Dock"), Error) << name;
        EXPECT_THROW(WriteProjectBinary(registry, name, "Visual Basic", "Dock", test::Bytes{1}),
                     Error)
            << name;
    }
    EXPECT_EQ(korvana::test::readFile(scratch / "Old" / "Junk.kvs"), "not a database");
}

} // namespace
} // namespace korvana::ide
