#pragma once

#include "ide/AddInList.h"
#include "ide/PassOver.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "project/KVProject.h"
#include "services/InstallationSettings.h"
#include "text/MessageService.h"
#include "text/TextService.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvana::ide {

class CVBToolBox;

// What the launcher works with, handed in by the start-up.
struct IdeEnvironment {
    Registry& registry;
    MessageService& messages;
    const TextService& texts;
    // Read when `Start` runs: the keep-interface flag may change before that.
    const InstallationSettings& settings;
    // The Windows folder of the system root; holds "VBAddIn.ini".
    std::filesystem::path windowsFolder;
    ProcessRunner& processes;
    // Lets the program's windows handle what is pending; called between the
    // 10 ms waits while the IDE runs.
    std::function<void()> processEvents;
    // Releases the process-wide configuration component so that the IDE finds
    // the studio's components free.
    std::function<void()> releaseConfiguration;
    // Waits until the IDE has ended while the windows stay responsive, for a
    // program whose event loop can sleep on the process's end notifier. When
    // empty, the launcher waits in 10 ms slices and calls `processEvents`
    // between them.
    std::function<void(RunningProcess&)> waitForIde;
};

// How one `Start` ended.
// The two sides of a run of the IDE: the studio's toolbox, add-ins and the
// project's layout before it, the developer's own after it.
enum class IdeSetup { Prepare, Restore };

enum class StartOutcome {
    Ran,           // the IDE ran and has ended; the environment is restored
    Refused,       // the assigned version is missing and the developer said No
    NoProjectFile, // text 904; the environment was put back
    StartFailed,   // the IDE could not be started (reported); environment put back
};

// The studio's link to the Visual Basic IDE: finds Visual Basic 5.0 and 6.0
// when created, and runs the IDE once on a project, preparing its toolbox,
// add-in list and window layout before and restoring the developer's own after.
class CVB {
  public:
    // Looks for VB5.exe and VB6.exe through their registry values (text 93
    // when neither is installed) and remembers the studio add-ins' states in
    // "VBAddIn.ini".
    explicit CVB(IdeEnvironment environment);
    ~CVB();
    CVB(const CVB&) = delete;
    CVB& operator=(const CVB&) = delete;

    // The newest installed version: 6, else 5, else 0.
    std::int16_t VBVersion = 0;

    // Runs the IDE on the project's Visual Basic project or group file and
    // returns when it has ended (or was never started).
    StartOutcome Start(CKVProject& project);

    // The executable found for version 5 or 6; empty when not installed.
    const std::string& executablePath(int version) const;

    // What the last `Start` passed over while preparing or restoring the IDE.
    const std::vector<std::string>& preparationNotes() const { return passOver_.notes(); }

  private:
    std::optional<std::int16_t> chooseVersion(const CKVProject& project);
    void saveDeveloperLayout();
    void PrepareIDE(IdeSetup setup);
    void applyProjectLayout();
    void keepLayoutAndRestore();
    StartOutcome restoreAfter(StartOutcome outcome);

    IdeEnvironment env_;
    std::array<std::string, 8> executables_;
    std::int16_t versionInUse_ = 0;
    CKVProject* project_ = nullptr;
    std::unique_ptr<CVBToolBox> toolbox_;
    AddInList addIns_;
    // The developer's own "Dock" and "UI" as found before the run; nothing
    // when the developer had none.
    std::optional<RegistryValue> savedDock_;
    std::optional<RegistryValue> savedUi_;
    // Whether the developer's layout was saved: only then is the project's
    // layout applied and the developer's put back.
    bool layoutSaved_ = false;
    // Whether the IDE ran: only then is its final layout the project's.
    bool ideRan_ = false;
    PassOver passOver_;
};

} // namespace korvana::ide
