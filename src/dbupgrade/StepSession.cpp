#include "dbupgrade/UpgradeStep.h"
#include "services/ResolveProjectFile.h"

namespace korvana::dbupgrade {

std::filesystem::path projectDatabaseFile(const Registry& registry,
                                          const std::filesystem::path& workingFile,
                                          const std::string& projectName) {
    return workingFile.empty() ? resolveProjectFile(registry, projectName) : workingFile;
}

StepSession::StepSession(const UpgradeEnvironment& environment, const std::string& projectName,
                         std::string_view version)
    : environment_(environment),
      database_(db::Database::open(
          projectDatabaseFile(environment.registry, environment.workingFile, projectName)
              .string())),
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
