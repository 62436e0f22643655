#include "dialogs/Help.h"

#include "platform/Paths.h"
#include "services/HelpFiles.h"
#include "text/Messages.h"

#include <QDesktopServices>
#include <QShortcut>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <string>

namespace korvana::dialogs {

namespace {

constexpr TextId helpFileMissingText{925};
constexpr TextId noHelpViewerText{926};

} // namespace

bool openWithDesktop(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

bool OpenHelpFile(std::string_view path, MessageService& messages, const TextService& texts,
                  const UrlOpener& open) {
    const std::filesystem::path file = paths::toFileSystemPath(path);
    std::error_code error;
    if (file.empty() || !std::filesystem::is_regular_file(file, error)) {
        ShowMessage(messages, texts, helpFileMissingText, MessageStyle::exclamation(),
                    {std::string(path)});
        return false;
    }
    if (!open(QUrl::fromLocalFile(QString::fromStdString(file.string())))) {
        ShowMessage(messages, texts, noHelpViewerText, MessageStyle::exclamation(),
                    {std::string(path)});
        return false;
    }
    return true;
}

bool OpenProjectManagementHelp(const DialogContext& context, const UrlOpener& open) {
    return OpenHelpFile(projectManagementHelpFile(context.settings.commonFolder), context.messages,
                        context.texts, open);
}

bool OpenStudioHelp(const DialogContext& context, const UrlOpener& open) {
    return OpenHelpFile(studioHelpFile(context.settings.commonFolder), context.messages,
                        context.texts, open);
}

void installContextHelp(QWidget& dialog, std::function<void()> open) {
    // Only while the dialog or one of its controls has the focus, so that F1
    // in another window opens that window's help.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), &dialog);
    f1->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(f1, &QShortcut::activated, &dialog, std::move(open));
}

} // namespace korvana::dialogs
