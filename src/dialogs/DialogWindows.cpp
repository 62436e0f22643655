#include "dialogs/DialogWindows.h"

#include "dialogs/FAddLanguage.h"
#include "dialogs/FLogo.h"
#include "dialogs/FOptions.h"
#include "dialogs/Help.h"
#include "platform/Failure.h"
#include "platform/Paths.h"
#include "project/ProjectCreation.h"
#include "startup/MKorvanaStudio.h"
#include "text/Messages.h"

#include <QFileDialog>

namespace korvana::dialogs {

FProjectOpen::Windows projectOpenWindows(DialogContext& context) {
    FProjectOpen::Windows windows;
    windows.chooseFile = [&context](QWidget* owner, const QString& title, const QString& filter) {
        const QString start =
            QString::fromStdString(paths::toNative(context.settings.ownProjectsFolder));
        return QFileDialog::getOpenFileName(owner, title, start, filter);
    };
    const auto contextHelp = [&context](QWidget* /*window*/) {
        OpenProjectManagementHelp(context);
    };
    windows.showOptions = [&context, contextHelp](QWidget* owner) {
        FOptions options(owner, context);
        options.setContextHelp(contextHelp);
        options.exec();
    };
    windows.showInfo = [&context](QWidget* owner) {
        // The about window reads the installation's version; a damaged hive is
        // reported instead of a window with empty versions.
        if (auto failure = failureOf([&] { ShowInfo(owner, context.texts, context.registry); })) {
            ReportError(context.messages, context.texts, "Error in function 'ShowInfo'!",
                        failure->number, failure->description);
        }
    };
    windows.showStudioHelp = [&context](QWidget* /*owner*/) { OpenStudioHelp(context); };
    windows.showContextHelp = contextHelp;
    return windows;
}

FProjectNew::Windows projectNewWindows(DialogContext& context, StartupHost& host,
                                       const ProjectDialogServices& services) {
    FProjectNew::Windows windows;
    windows.chooseFolder = [](QWidget* owner, const QString& start) {
        return QFileDialog::getExistingDirectory(owner, QString(), start);
    };
    windows.pickGroupProject = [&context, &host, services](QWidget* owner) {
        FProjectOpen open(owner, context, services.registration, projectOpenWindows(context));
        CKVProject picked = open.ShowDialog(/*addMode=*/true);
        if (picked.EProjectOpen == ProjectOpen::CreateFromTemplate) {
            ShowNewProjectDialog(picked, host, services, context.messages, context.texts);
        }
        return picked;
    };
    windows.addLanguages = [&context](QWidget* owner, std::vector<LanguageRow>& languages) {
        FAddLanguage dialog(owner, context.texts);
        dialog.setContextHelp(
            [&context](QWidget* /*window*/) { OpenProjectManagementHelp(context); });
        dialog.ShowDialog(languages);
    };
    windows.contextHelp = [&context](QWidget* /*owner*/) { OpenProjectManagementHelp(context); };
    windows.create = [&context, services](CKVProject& project) {
        project.Create({context.registry, services.configuration, context.messages, context.texts,
                        context.settings.installedVersion});
    };
    return windows;
}

} // namespace korvana::dialogs
