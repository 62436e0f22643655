#include "dbupgrade/UpgradeStep.h"
#include "services/ResolveProjectFile.h"

namespace korvana::dbupgrade {

db::Database openProjectDatabase(const Registry& registry, const std::filesystem::path& workingFile,
                                 const std::string& projectName) {
    if (workingFile.empty()) {
        return db::Database::open(resolveProjectFile(registry, projectName).string());
    }
    return db::Database::open(workingFile.string(), db::Database::Durability::Scratch);
}

StepSession::StepSession(const UpgradeEnvironment& environment, const std::string& projectName,
                         std::string_view version)
    : environment_(environment),
      database_(openProjectDatabase(environment.registry, environment.workingFile, projectName)),
      skip_(environment.log, "step " + std::string(version) + " of '" + projectName + "'") {
    transaction_.emplace(database_.connection());
}

StepSession::~StepSession() = default;

void StepSession::finish() {
    transaction_->commit();
    transaction_.reset();
    database_.close();
}

} // namespace korvana::dbupgrade
