#include "ide/ProjectBinary.h"

#include "ide/IdeTestBed.h"

namespace korvana::ide {
namespace {

class ProjectBinaryTest : public test::IdeTestBed {};

TEST_F(ProjectBinaryTest, WrittenBytesReadBackPerEntry) {
    const auto project = makeProject("Plant");
    EXPECT_TRUE(ReadProjectBinary(registry, "Plant", "Visual Basic", "Dock").empty());

    const test::Bytes dock{0, 1, 2, 0xff};
    const test::Bytes ui{7};
    WriteProjectBinary(registry, "Plant", "Visual Basic", "Dock", dock);
    WriteProjectBinary(registry, "Plant", "Visual Basic", "UI", ui);
    EXPECT_EQ(ReadProjectBinary(registry, "Plant", "Visual Basic", "Dock"), dock);
    EXPECT_EQ(ReadProjectBinary(registry, "plant", "Visual Basic", "UI"), ui);
    EXPECT_TRUE(ReadProjectBinary(registry, "Plant", "Other", "Dock").empty());

    // A second write changes the row instead of adding one.
    WriteProjectBinary(registry, "PLANT", "Visual Basic", "Dock", ui);
    EXPECT_EQ(ReadProjectBinary(registry, "Plant", "Visual Basic", "Dock"), ui);
    auto database = db::Database::open(project.ProjectFile);
    EXPECT_EQ(database.openRecordset("TcfgBinary").recordCount(), 2);
}

TEST_F(ProjectBinaryTest, RefusesWhatIsNoUsableProjectFile) {
    makeProject("Plant");
    registry.writeString(Hive::LocalMachine, std::string(projectsKey) + "\\Gone", "Path",
                         (scratch / "nowhere").string());
    std::filesystem::create_directories(scratch / "Old");
    { auto old = db::Database::create((scratch / "Old" / "Old.kvs").string()); }
    registry.writeString(Hive::LocalMachine, std::string(projectsKey) + "\\Old", "Path",
                         (scratch / "Old").string());
    korvana::test::writeFile(scratch / "Old" / "Junk.kvs", "not a database");
    registry.writeString(Hive::LocalMachine, std::string(projectsKey) + "\\Junk", "Path",
                         (scratch / "Old").string());
    // Names that could reach another key or folder never get that far.
    registry.writeString(Hive::LocalMachine, std::string(projectsKey) + "\\..", "Path",
                         (scratch / "Projects").string());

    for (const char* name :
         {"Unknown", "Gone", "Old", "Junk", "", "..", "../Plant", "Plant/..", "a\\b", "Pl\nant"}) {
        EXPECT_THROW(ReadProjectBinary(registry, name, "Visual Basic", "Dock"), Error) << name;
        EXPECT_THROW(WriteProjectBinary(registry, name, "Visual Basic", "Dock", test::Bytes{1}),
                     Error)
            << name;
    }
    EXPECT_EQ(korvana::test::readFile(scratch / "Old" / "Junk.kvs"), "not a database");
}

} // namespace
} // namespace korvana::ide
