#include "project/TemplateCatalogue.h"

#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "project/IconFile.h"
#include "project/TemplateDescription.h"
#include "services/InstallationKeys.h"

#include <algorithm>
#include <filesystem>
#include <optional>

namespace korvana {

namespace {

// The sub-folders of a template root in name order; none when the root is
// missing or cannot be read.
std::vector<std::string> templateFolders(const std::string& root) {
    std::vector<std::string> names;
    const auto native = paths::toFileSystemPath(root);
    std::error_code error;
    if (native.empty() || !std::filesystem::is_directory(native, error)) {
        return names;
    }
    for (std::filesystem::directory_iterator it(native, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code kindError;
        if (it->is_directory(kindError)) {
            names.push_back(it->path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The image list shared by both template lists.
class ImageNames {
  public:
    // The file of the image of that name (empty for the standard icon), or
    // nothing when there is no such image.
    std::optional<std::string> find(std::string_view name) const {
        for (const auto& [key, file] : images_) {
            if (equalsIgnoreCase(key, name)) {
                return file;
            }
        }
        return std::nullopt;
    }
    // False when the name is taken: the image is not added.
    bool add(std::string_view name, std::string file) {
        if (find(name)) {
            return false;
        }
        images_.emplace_back(std::string(name), std::move(file));
        return true;
    }

  private:
    std::vector<std::pair<std::string, std::string>> images_;
};

bool keyTaken(const std::vector<TemplateRow>& rows, ProjectMainType family, std::string_view key) {
    return std::any_of(rows.begin(), rows.end(), [&](const TemplateRow& row) {
        return row.family == family && equalsIgnoreCase(row.key, key);
    });
}

std::string iconOf(const std::string& folder) {
    const std::string icon = paths::joinPath(folder, "_Icon.ico");
    return IconFile::isReadable(icon) ? icon : std::string();
}

} // namespace

TemplateCatalogue::TemplateCatalogue(const Registry& registry, std::string installationFolder)
    : registry_(registry), installationFolder_(std::move(installationFolder)) {}

std::string TemplateCatalogue::installedRoot() const {
    return paths::joinPath(installationFolder_, "\\Templates\\Projects");
}

std::string TemplateCatalogue::ownRoot() const {
    const std::string folder = registry_.readString(Hive::CurrentUser, keys::user, "TemplatesPath");
    return folder.empty() ? std::string() : paths::joinPath(folder, "\\Projects");
}

std::vector<TemplateRow> TemplateCatalogue::ListTemplates(bool addMode) const {
    std::vector<TemplateRow> rows;
    ImageNames images;

    const std::string installed = installedRoot();
    for (const auto& folderName : templateFolders(installed)) {
        TemplateRow row;
        row.tag = paths::joinPath(installed, folderName);
        const auto description = TemplateDescription::read(row.tag);
        row.text = description.name;
        row.key = "S:" + row.text;
        row.iconKey = row.text;
        row.toolTip = description.comment;
        row.typeName = description.projectType;
        row.type = description.type();
        row.family = description.tab == "KV32" ? ProjectMainType::KV32 : ProjectMainType::Standard;
        images.add(row.iconKey, iconOf(row.tag));
        if (addMode && row.type == ProjectType::Group) {
            continue;
        }
        if (keyTaken(rows, row.family, row.key)) {
            continue;
        }
        // The image of an earlier template of the same name in the other list.
        row.iconFile = images.find(row.iconKey).value_or(std::string());
        rows.push_back(std::move(row));
    }

    const std::string own = ownRoot();
    if (own.empty()) {
        return rows;
    }
    for (const auto& folderName : templateFolders(own)) {
        TemplateRow row;
        row.tag = paths::joinPath(own, folderName);
        const auto description = TemplateDescription::read(row.tag);
        row.text = folderName;
        row.key = "S:" + folderName;
        row.iconKey = folderName;
        row.iconFile = iconOf(row.tag);
        row.toolTip = description.comment;
        row.typeName = description.projectType;
        row.type = description.type();
        row.own = true;
        if (!images.add(row.iconKey, row.iconFile)) {
            continue;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string templateProjectType(std::string_view templateFolder) {
    return TemplateDescription::read(templateFolder).projectType;
}

} // namespace korvana
