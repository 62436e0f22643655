// dialog-shots OUT-DIR: renders the project-open dialog (each tab, add mode),
// the options dialog, the about window and the database check's progress
// window (at a step, and cancelling), in German and English, from the
// system root in $KORVANA_ROOT, as PNG files into OUT-DIR. Runs on Qt's
// offscreen platform; the root is changed as the dialogs change it (stale
// entries removed), so give it a scratch copy.
#include "dbupgrade/VersionLadder.h"
#include "dialogs/FAddLanguage.h"
#include "dialogs/FCheckProgress.h"
#include "dialogs/FLogo.h"
#include "dialogs/FOptions.h"
#include "dialogs/FProjectNew.h"
#include "dialogs/FProjectOpen.h"
#include "platform/FileRegistry.h"
#include "platform/SystemRoot.h"
#include "project/ProjectRegistration.h"
#include "project/SystemLanguages.h"
#include "project/TemplateCatalogue.h"
#include "startup/LoadInstallationSettings.h"
#include "text/ConsoleMessageService.h"

#include <QApplication>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>
#include <iostream>

namespace {

using namespace korvana;

void save(QWidget& window, const std::filesystem::path& file) {
    window.show();
    QApplication::processEvents();
    if (!window.grab().save(QString::fromStdString(file.string()))) {
        throw std::runtime_error("cannot write " + file.string());
    }
    std::cout << file.string() << '\n';
}

void shoot(Registry& registry, InstallationSettings settings, Lcid language,
           const std::filesystem::path& out) {
    const std::string suffix = language == englishLanguage ? "en" : "de";
    TextService texts(language);
    ConsoleMessageService messages(std::cin, std::cerr, /*interactive=*/false, Answer::No);
    ConfigurationComponent configuration(registry);
    ProjectRegistration registration(registry, configuration, messages, texts);
    dialogs::DialogContext context{registry, messages, texts, settings};

    const char* tabNames[] = {"new", "new-kv32", "registered", "recent", "extended"};
    for (int tab = 0; tab < 5; ++tab) {
        dialogs::FProjectOpen dialog(nullptr, context, registration, {});
        dialog.prepare(false);
        dialog.findChild<QTabWidget*>(QStringLiteral("tabSelectProject"))->setCurrentIndex(tab);
        save(dialog, out / ("project-open-" + std::string(tabNames[tab]) + "-" + suffix + ".png"));
        dialog.reject();
    }
    {
        dialogs::FProjectOpen dialog(nullptr, context, registration, {});
        dialog.prepare(true);
        save(dialog, out / ("project-open-add-" + suffix + ".png"));
        dialog.reject();
    }
    // The new-project dialog in each of its modes, from the installed templates.
    const ProjectDialogServices services{registration, configuration};
    for (const auto& row :
         TemplateCatalogue(registry, settings.installationFolder).ListTemplates(false)) {
        const auto mode = newProjectMode(row.type, row.tag);
        if (!mode || row.own || row.family == ProjectMainType::KV32) {
            continue;
        }
        const char* modeNames[] = {"single", "server", "client", "group", "server-client"};
        CKVProject project;
        project.TemplatePath = row.tag;
        project.EProjectType = row.type;
        project.ProjectType = row.typeName;
        project.EProjectMainType = row.family;
        dialogs::FProjectNew dialog(nullptr, context, services, {});
        dialog.prepare(project);
        save(dialog, out / ("project-new-" + std::string(modeNames[static_cast<int>(*mode)]) + "-" +
                            suffix + ".png"));
        dialog.reject();
    }
    {
        dialogs::FAddLanguage addLanguage(nullptr, texts);
        addLanguage.prepare(
            {languageRow(germanLanguage, language), languageRow(englishLanguage, language)});
        save(addLanguage, out / ("add-language-" + suffix + ".png"));
    }
    {
        dialogs::FOptions options(nullptr, context);
        save(options, out / ("options-" + suffix + ".png"));
    }
    {
        // The first check of the sample project, at its fourth step.
        const auto& rung = dbupgrade::versionLadder()[3];
        const int total = static_cast<int>(dbupgrade::versionLadder().size()) + 2;
        dialogs::FCheckProgress progress(nullptr, texts, QStringLiteral("Kesselhaus"));
        progress.showProgress({dbupgrade::CheckStage::Step, 4, total, rung.version, rung.words});
        save(progress, out / ("check-progress-" + suffix + ".png"));
        progress.requestStop();
        save(progress, out / ("check-progress-cancelling-" + suffix + ".png"));
    }
    {
        dialogs::FLogo about(nullptr, texts);
        QTimer::singleShot(0, &about, [&] {
            save(about, out / ("about-" + suffix + ".png"));
            about.accept();
        });
        about.ShowInfo(registry);
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: dialog-shots OUT-DIR\n";
        return 2;
    }
    try {
        const SystemRoot root = SystemRoot::open(SystemRoot::processEnvironment());
        FileRegistry registry(root.registryFolder());
        ConsoleMessageService messages(std::cin, std::cerr, /*interactive=*/false, Answer::No);
        Files files;
        InstallationSettings settings;
        if (!LoadInstallationSettings(registry, messages, files, settings)) {
            return 1;
        }
        for (const Lcid language : {germanLanguage, englishLanguage}) {
            shoot(registry, settings, language, argv[1]);
        }
    } catch (const std::exception& error) {
        std::cerr << "dialog-shots: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
