#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace korvana {

// The names a template's entries get in a new project: "%ProjectPath%"
// becomes the project path and then "%ProjectName%" the project name (both
// found without regard to case). A change of case alone is not made, as the
// file system the templates come from would not tell the two names apart.
struct TemplateNames {
    std::string_view projectPath;
    std::string_view projectName;

    std::string adapted(std::string_view name) const;
};

// Copies the content of `templateFolder` into the existing, empty `folder`,
// every entry under the name it gets in the project: RenameProjectTree's work
// on a copied tree, done as the tree is copied, so that nothing has to be
// renamed afterwards. Files whose names begin with "_" (the template's
// description and icon) are left out at any depth; symbolic links are copied
// as links and never followed. Within a folder, files come before
// sub-folders, and an entry whose name changes takes the place of any entry
// before it, or one that already had that name, as renaming them one by one
// would have done.
//
// The answer is 0, or the run-time error number 5 of a name that cannot be
// made because it would hold a separator (a project path put into a name);
// the copy then stops. Raises korvana::Error (with a file error number) when
// the template cannot be read or copied, or holds an entry that is neither a
// file, a folder nor a link.
std::int32_t copyTemplateTree(const std::filesystem::path& templateFolder,
                              const std::filesystem::path& folder, const TemplateNames& names);

} // namespace korvana
