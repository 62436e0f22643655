#include "project/KVProject.h"

#include "ProjectTestBed.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

namespace korvana {
namespace {

namespace fs = std::filesystem;
using test::writeFile;

std::vector<std::string> memberNames(const CKVProject& group) {
    std::vector<std::string> names;
    for (const auto& member : group.Projects) {
        names.push_back(member.project ? member.project->ProjectName : "?");
    }
    return names;
}

class LoadByName : public test::ProjectTestBed {};

TEST_F(LoadByName, RegisteredProjectLoadsFolderTypeDesignerAndFamily) {
    const auto file = makeRegisteredProject("Plant", "Server");
    CKVProject project;
    project.Initialize(services, "Plant");

    EXPECT_EQ(project.ProjectName, "Plant");
    EXPECT_EQ(project.Path, (scratch / "Plant").string());
    EXPECT_EQ(project.ProjectFile, file.string());
    EXPECT_EQ(project.ProjectType, "Server");
    EXPECT_EQ(project.EProjectType, ProjectType::Server);
    EXPECT_EQ(project.Designer, "Visual Basic 6.0");
    EXPECT_EQ(project.DesignerProject, (scratch / "Plant" / "Plant.vbp").string());
    EXPECT_EQ(project.EProjectMainType, ProjectMainType::Standard);
    EXPECT_EQ(readOnlyChecks, std::vector<std::string>{file.string()});
    EXPECT_EQ(settings.OpenHandleCount(), 0u);
}

TEST_F(LoadByName, NameInAnotherCaseFindsTheFileAsRegistered) {
    const auto file = makeRegisteredProject("Plant");
    CKVProject project;
    project.Initialize(services, "PLANT");
    EXPECT_EQ(project.ProjectName, "PLANT");
    EXPECT_EQ(project.ProjectFile, file.string());
    EXPECT_EQ(project.Designer, "Visual Basic 6.0");
}

TEST_F(LoadByName, FamilyIsStandardOnlyWhenTheProcessDatabaseIsPartOfTheProject) {
    const std::vector<std::pair<int, ProjectMainType>> cases{
        {-1, ProjectMainType::KV32}, // no "KVPdb" key at all
        {0, ProjectMainType::KV32},
        {2, ProjectMainType::KV32},
        {1, ProjectMainType::Standard},
    };
    for (const auto& [kvPdb, family] : cases) {
        const std::string name = "P" + std::to_string(kvPdb + 1);
        registerProject(name, scratch / name, "Single");
        makeProject(scratch / name, name, {}, kvPdb);
        CKVProject project;
        project.EProjectMainType = ProjectMainType::Standard;
        project.Initialize(services, name);
        EXPECT_EQ(project.EProjectMainType, family) << "KVPdb " << kvPdb;
    }
}

TEST_F(LoadByName, UnregisteredNameStandsAloneAndIsNotOpened) {
    CKVProject project;
    project.EProjectOpen = ProjectOpen::OpenProject;
    project.Initialize(services, "Ghost");

    EXPECT_EQ(project.Path, "");
    EXPECT_EQ(project.ProjectType, "");
    EXPECT_EQ(project.EProjectType, ProjectType::None);
    EXPECT_EQ(project.ProjectFile, "/Ghost.kvs");
    EXPECT_EQ(project.EProjectOpen, ProjectOpen::Nothing);
    // No file is looked for where no folder is registered.
    EXPECT_TRUE(readOnlyChecks.empty());
}

TEST_F(LoadByName, MissingOrWriteProtectedFileLeavesTheProjectUnopened) {
    registerProject("Gone", scratch / "Gone", "Single");
    makeRegisteredProject("Locked");

    for (const std::string name : {"Gone", "Locked"}) {
        readOnlyAnswer = name != "Locked";
        CKVProject project;
        project.EProjectOpen = ProjectOpen::OpenProject;
        project.Initialize(services, name);
        EXPECT_EQ(project.EProjectOpen, ProjectOpen::Nothing) << name;
        EXPECT_EQ(project.Designer, "") << name;
        EXPECT_EQ(project.EProjectType, ProjectType::Single) << name;
    }
}

TEST_F(LoadByName, NameThatCouldReachAnotherKeyReadsAsUnregistered) {
    registerProject("Outer\\Inner", scratch / "Inner", "Single");
    makeProject(scratch / "Inner", "Inner", {{"Designer", "Visual Basic 6.0"}});
    for (const std::string name : {"Outer\\Inner", "Outer/Inner", "..", "."}) {
        CKVProject project;
        project.Initialize(services, name);
        EXPECT_EQ(project.Path, "") << name;
        EXPECT_EQ(project.Designer, "") << name;
    }
    EXPECT_TRUE(readOnlyChecks.empty());
}

TEST_F(LoadByName, DesignerProjectMustStayInsideTheProjectFolder) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"Sub\\Plant.vbp", (scratch / "Plant" / "Sub" / "Plant.vbp").string()},
        {"..\\Other\\Other.vbp", ""},
        {"Sub\\..\\..\\Other.vbp", ""},
        {"C:\\Projects\\Plant.vbp", ""},
        {"/etc/Plant.vbp", ""},
    };
    registerProject("Plant", scratch / "Plant", "Single");
    for (const auto& [stored, expected] : cases) {
        fs::remove(scratch / "Plant" / "Plant.kvs");
        makeProject(scratch / "Plant", "Plant", {{"DesignerProject", stored}});
        CKVProject project;
        if (expected.empty()) {
            EXPECT_THROW(project.Initialize(services, "Plant"), Error) << stored;
        } else {
            project.Initialize(services, "Plant");
            EXPECT_EQ(project.DesignerProject, expected);
        }
        EXPECT_EQ(settings.OpenHandleCount(), 0u) << stored;
    }
}

class LoadByPath : public test::ProjectTestBed {};

TEST_F(LoadByPath, RegisteredFileReadsDesignerButLeavesTheFamilyAlone) {
    const auto file = makeRegisteredProject("Plant");
    CKVProject project;
    project.Initialize2(services, file.string());

    EXPECT_EQ(project.ProjectName, "Plant");
    EXPECT_EQ(project.ProjectFile, file.string());
    EXPECT_EQ(project.Path, (scratch / "Plant").string());
    EXPECT_EQ(project.EProjectType, ProjectType::Single);
    EXPECT_EQ(project.Designer, "Visual Basic 6.0");
    EXPECT_EQ(project.DesignerProject, (scratch / "Plant" / "Plant.vbp").string());
    EXPECT_EQ(project.EProjectMainType, ProjectMainType::KV32);
}

TEST_F(LoadByPath, MovedProjectKeepsItsRegisteredFolder) {
    registerProject("Plant", scratch / "Old", "Client");
    const auto moved = makeProject(scratch / "New", "Plant", {{"Designer", "Visual Basic 6.0"}});
    CKVProject project;
    project.Initialize2(services, moved.string());

    EXPECT_EQ(project.Path, (scratch / "Old").string());
    EXPECT_EQ(project.ProjectType, "Client");
    EXPECT_EQ(project.Designer, "");
    EXPECT_TRUE(readOnlyChecks.empty());
}

TEST_F(LoadByPath, FolderThatDiffersOnlyInCaseIsAnotherProject) {
    makeRegisteredProject("Plant");
    const auto lookAlike = makeProject(scratch / "plant", "Plant", {{"Designer", "Look-alike"}});
    CKVProject project;
    project.Initialize2(services, lookAlike.string());

    EXPECT_EQ(project.Path, (scratch / "Plant").string());
    EXPECT_EQ(project.Designer, "");
}

TEST_F(LoadByPath, OnlyExistingLowerCaseProjectFilesAreLoaded) {
    makeRegisteredProject("Plant");
    fs::copy_file(scratch / "Plant" / "Plant.kvs", scratch / "Plant" / "Upper.KVS");
    for (const auto& file : {scratch / "Plant" / "Upper.KVS", scratch / "Plant" / "Plant.mdb",
                             scratch / "Plant" / "Missing.kvs", scratch / "Plant" / "Plant"}) {
        CKVProject project;
        project.Initialize2(services, file.string());
        EXPECT_EQ(project.ProjectName, file.stem().string());
        EXPECT_EQ(project.ProjectFile, file.string());
        EXPECT_EQ(project.Path, "") << file;
        EXPECT_EQ(project.ProjectType, "") << file;
        EXPECT_EQ(project.EProjectType, ProjectType::None) << file;
    }
}

class LoadGroup : public test::ProjectTestBed {
  protected:
    fs::path writeGroup(const std::string& text) {
        const auto file = scratch / "Line" / "Line.vbg";
        fs::create_directories(file.parent_path());
        writeFile(file, text);
        registerProject("Line", file.parent_path(), "Group");
        return file;
    }
};

TEST_F(LoadGroup, WindowsGroupFileWithRelativeAndAbsoluteMembers) {
    makeRegisteredProject("Server", "Server");
    makeRegisteredProject("Client", "Client");
    writeVbProject(scratch / "Line" / "Server" / "Server.vbp", "Server");
    writeVbProject(scratch / "Client" / "Client.vbp", "Client");
    const auto group = writeGroup("\xEF\xBB\xBFVBGROUP 5.0\r\nStartupProject=Server\\Server.vbp\r\n"
                                  "Project=" +
                                  (scratch / "Client" / "Client.vbp").string() + "\r\n");

    CKVProject byName;
    byName.Initialize(services, "Line");
    EXPECT_EQ(byName.ProjectFile, group.string());
    EXPECT_EQ(byName.EProjectType, ProjectType::Group);
    EXPECT_EQ(byName.Designer, "Visual Basic 6.0");
    EXPECT_EQ(byName.DesignerProject, group.string());
    EXPECT_EQ(memberNames(byName), (std::vector<std::string>{"Server", "Client"}));
    ASSERT_EQ(byName.Projects.size(), 2u);
    EXPECT_EQ(byName.Projects[0].designerProject,
              (scratch / "Line" / "Server" / "Server.vbp").string());
    EXPECT_EQ(byName.Projects[1].project->Designer, "Visual Basic 6.0");

    CKVProject byPath;
    byPath.Initialize2(services, group.string());
    EXPECT_EQ(byPath.ProjectType, "Group");
    EXPECT_EQ(byPath.Path, (scratch / "Line").string());
    EXPECT_EQ(memberNames(byPath), memberNames(byName));
}

TEST_F(LoadGroup, KeepsOnlyRegisteredProjectsOfTheThreeMemberTypes) {
    makeRegisteredProject("Kept");
    registerProject("NoFile", scratch / "NoFile", "Client");
    makeRegisteredProject("Terminal", "Terminal Server");
    struct Member {
        std::string vbp;
        std::string linked;
    };
    const std::vector<Member> members{
        {"Kept.vbp", "Kept"},         {"Plain.vbp", ""},        {"Unknown.vbp", "Unregistered"},
        {"Terminal.vbp", "Terminal"}, {"NoFile.vbp", "NoFile"}, {"Self.vbp", "Line"},
    };
    std::string text = "VBGROUP 5.0\n";
    for (const auto& member : members) {
        writeVbProject(scratch / "Line" / member.vbp, member.linked);
        text += "Project=" + member.vbp + "\n";
    }
    writeGroup(text);

    CKVProject group;
    group.Initialize(services, "Line");
    EXPECT_EQ(memberNames(group), (std::vector<std::string>{"Kept", "NoFile"}));
    ASSERT_EQ(group.Projects.size(), 2u);
    EXPECT_EQ(group.Projects[1].project->EProjectOpen, ProjectOpen::Nothing);
}

TEST_F(LoadGroup, BrokenGroupFilesAreRefusedWithTheirName) {
    makeRegisteredProject("Kept");
    writeVbProject(scratch / "Line" / "Kept.vbp", "Kept");
    const std::vector<std::pair<std::string, std::string>> cases{
        {"empty", ""},
        {"only a byte-order mark", "\xEF\xBB\xBF"},
        {"binary", std::string("VBGROUP\0\x01\x02Project=Kept.vbp", 25)},
    };
    for (const auto& [what, text] : cases) {
        const auto file = writeGroup(text);
        CKVProject group;
        group.Projects.push_back({"stale", nullptr});
        try {
            group.Initialize(services, "Line");
            ADD_FAILURE() << what << " was accepted";
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos) << what;
        }
        EXPECT_TRUE(group.Projects.empty()) << what;
    }
}

// A group brought over from Windows names members by drive paths, or names
// members that were not copied along: they are passed over, each one told.
TEST_F(LoadGroup, MissingAndDrivePathMembersArePassedOverAndTold) {
    makeRegisteredProject("Kept");
    writeVbProject(scratch / "Line" / "Kept.vbp", "Kept");
    writeGroup("VBGROUP 5.0\r\nStartupProject=C:\\Other\\Two.vbp\r\nProject=Kept.vbp\r\n"
               "Project=Gone\\Gone.vbp\r\n");

    CKVProject group;
    group.Initialize(services, "Line");
    EXPECT_EQ(memberNames(group), std::vector<std::string>{"Kept"});
    EXPECT_EQ(passedOver,
              (std::vector<std::string>{"Line: C:\\Other\\Two.vbp", "Line: Gone\\Gone.vbp"}));
}

TEST_F(LoadGroup, VbProjectWithoutStudioSectionIsNoMember) {
    writeVbProject(scratch / "Line" / "A.vbp", "");
    writeFile(scratch / "Line" / "B.vbp", "[korvana4]\r\nprojectname=\r\n");
    writeGroup("VBGROUP 5.0\r\nStartupProject=A.vbp\r\nProject=B.vbp\r\n");
    CKVProject group;
    group.Initialize(services, "Line");
    EXPECT_TRUE(group.Projects.empty());
}

TEST_F(LoadGroup, MemberKeysAreFoundInAnyCase) {
    makeRegisteredProject("Kept");
    writeFile(scratch / "Line" / "Kept.vbp", "Type=Exe\r\n[KORVANA4]\r\nPROJECTNAME=Kept\r\n");
    writeGroup("VBGROUP 5.0\r\nproject=Kept.vbp\r\n");
    CKVProject group;
    group.Initialize(services, "Line");
    EXPECT_EQ(memberNames(group), std::vector<std::string>{"Kept"});
}

} // namespace
} // namespace korvana
