#include "dialogs/ProjectOpenWindows.h"

#include "dialogs/FOptions.h"
#include "platform/Paths.h"

#include <QFileDialog>

namespace korvana::dialogs {

FProjectOpen::Windows projectOpenWindows(DialogContext& context, const std::string& /*helpFile*/) {
    FProjectOpen::Windows windows;
    windows.chooseFile = [&context](QWidget* owner, const QString& title, const QString& filter) {
        const QString start =
            QString::fromStdString(paths::toNative(context.settings.ownProjectsFolder));
        return QFileDialog::getOpenFileName(owner, title, start, filter);
    };
    windows.showOptions = [&context](QWidget* owner) {
        FOptions options(owner, context);
        options.exec();
    };
    return windows;
}

} // namespace korvana::dialogs
