#include "dbupgrade/UpgradeStep.h"
#include "services/ResolveProjectFile.h"

namespace korvana::dbupgrade {

StepSession::StepSession(const UpgradeEnvironment& environment, const std::string& projectName,
                         std::string_view version)
    : environment_(environment),
      database_(db::Database::open(resolveProjectFile(environment.registry, projectName).string())),
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
