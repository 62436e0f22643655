#include "dbupgrade/CheckProgressText.h"

namespace korvana::dbupgrade {

namespace {

constexpr TextId positionText{702};
constexpr TextId mergeText{703};
constexpr TextId compactionText{704};
constexpr TextId replacementText{705};

} // namespace

std::string describeStage(const TextService& texts, const CheckProgress& progress) {
    switch (progress.stage) {
    case CheckStage::Step:
        // A step of a ladder without words (a test's) still says its version.
        if (progress.words == TextId{0} || !texts.hasText(progress.words)) {
            return std::string(progress.version);
        }
        return std::string(progress.version) + " – " + texts.LoadText(progress.words);
    case CheckStage::Merge:
        return texts.LoadText(mergeText);
    case CheckStage::Compaction:
        return texts.LoadText(compactionText);
    case CheckStage::Replacement:
        return texts.LoadText(replacementText);
    }
    return {};
}

std::string describePosition(const TextService& texts, const CheckProgress& progress) {
    return texts.LoadText(positionText, {progress.position, progress.total});
}

} // namespace korvana::dbupgrade
