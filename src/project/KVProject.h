#pragma once

#include "project/GroupMember.h"
#include "project/ProjectCreation.h"
#include "project/ProjectMainType.h"
#include "project/ProjectOpen.h"
#include "project/ProjectServices.h"
#include "project/ProjectType.h"
#include "text/TextTypes.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvana {

class ProjectTextFiles;

// The project object: the dialogs fill it, it loads a registered project or a
// project file, and the start-up hands it to the Visual Basic launcher. The
// members are public data in the order the rest of the program has always
// known them. Loading never writes the project file.
class CKVProject {
  public:
    std::string ProjectName;
    // Project folder, no trailing separator.
    std::string Path;
    // Path/ProjectName.kvs, or Path/ProjectName.vbg for a group.
    std::string ProjectFile;
    std::string ProjectType;
    korvana::ProjectType EProjectType = korvana::ProjectType::None;
    ProjectMainType EProjectMainType = ProjectMainType::KV32;
    std::string Designer;
    // After loading a full path; while a project is being created, a name
    // relative to Path.
    std::string DesignerProject;
    ProjectOpen EProjectOpen = ProjectOpen::Nothing;
    std::string TemplatePath;
    std::string ServerProject;
    std::string ServerComputerName;
    Lcid LCID{0};
    std::vector<Lcid> LCIDs;
    std::vector<std::string> ServerComponents;
    std::vector<GroupMember> Projects;
    std::string ProjectVersion;
    std::string Customer;
    std::string Developer;
    std::string Comment;

    // Loads a registered project or group by name. Errors of the registry, the
    // file system or the settings store are raised as korvana::Error.
    void Initialize(const ProjectServices& services, std::string_view projectName);
    // Loads a project or group from the path of its ".kvs" or ".vbg" file.
    void Initialize2(const ProjectServices& services, std::string_view projectFile);
    // Fills Projects from the group file ProjectFile.
    void LoadGroupProjects(const ProjectServices& services);
    // Makes the project the members describe from the template in TemplatePath
    // in the folder Path, registers it and writes its settings and languages.
    // EProjectOpen tells the outcome: CreateFromTemplate when the project
    // stands, Nothing when it could not be made (told to the user, and nothing
    // of it left behind). Later steps pass over their failures, as a project
    // that stands is still worth opening.
    void Create(const ProjectCreation& environment);

  private:
    void initialize(const ProjectServices& services, std::string_view projectName,
                    bool asGroupMember);
    void loadGroup(const ProjectServices& services);
    void readDesigner(const ProjectServices& services, bool withMainType);
    void registerCreated(const ProjectCreation& environment) const;
    void adaptVisualBasicFiles(ProjectTextFiles& files);
    void adaptGroupFile(ProjectTextFiles& files) const;
    void adaptForms(ProjectTextFiles& files) const;
    void writeCreatedSettings(const ProjectCreation& environment) const;
};

// The key under which a language is kept in LCIDs and in language lists ("L1031").
std::string languageKey(Lcid language);
// The language of such a key; Lcid{0} for a key that names none.
Lcid languageOfKey(std::string_view key);

} // namespace korvana
