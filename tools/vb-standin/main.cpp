#include "IdeSnapshot.h"
#include "SnapshotReport.h"
#include "StandinScript.h"
#include "StandinWindow.h"
#include "platform/Error.h"
#include "platform/FileRegistry.h"
#include "platform/SystemRoot.h"

#include <QApplication>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>

// A stand-in for the Visual Basic IDE, installed as "VB6.exe" and "VB5.exe":
// it shows what the studio prepared for it and leaves a window layout behind,
// as the IDE does when it closes. With VB_STANDIN_SCRIPT set it shows no
// window and runs the script instead (see StandinScript); VB_STANDIN_REPORT
// names a file for a JSON report of what it found at start.
//
// Exit codes: the script's (0 without one), 2 for a bad script, 3 when the
// settings cannot be read or written.

using namespace korvana;
using namespace korvana::standin;

namespace {

int showWindow(int argc, char** argv, const IdeSnapshot& snapshot, Registry& registry) {
    QApplication application(argc, argv);
    std::optional<std::string> failure;
    StandinWindow window(snapshot, [&](const IdeLayout& layout) {
        // Nothing may be thrown through Qt's event loop: the failure is told
        // once the loop has ended.
        try {
            layout.completed().write(registry, snapshot.version);
        } catch (const std::exception& error) {
            failure = error.what();
        }
    });
    window.show();
    QApplication::exec();
    if (failure) {
        std::cerr << "vb-standin: the window layout cannot be written: " << *failure << '\n';
        return 3;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const int version = versionFromProgramName(argc > 0 ? argv[0] : "");
    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);

    std::optional<StandinScript> script;
    if (const char* text = std::getenv("VB_STANDIN_SCRIPT")) {
        try {
            script = StandinScript::parse(text);
        } catch (const Error& error) {
            std::cerr << "vb-standin: VB_STANDIN_SCRIPT: " << error.what() << '\n';
            return 2;
        }
    }
    try {
        const SystemRoot root = SystemRoot::open(SystemRoot::processEnvironment());
        FileRegistry registry(root.registryFolder());
        const IdeSnapshot snapshot =
            IdeSnapshot::read(registry, root.windowsFolder(), version, arguments);
        for (const std::string& problem : snapshot.problems) {
            std::cerr << "vb-standin: " << problem << '\n';
        }
        if (const char* report = std::getenv("VB_STANDIN_REPORT"); report && *report) {
            writeSnapshotReport(report, snapshot);
        }
        return script ? script->run(registry, version) : showWindow(argc, argv, snapshot, registry);
    } catch (const std::exception& error) {
        std::cerr << "vb-standin: " << error.what() << '\n';
        return 3;
    }
}
