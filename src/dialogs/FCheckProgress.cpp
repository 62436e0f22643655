#include "dialogs/FCheckProgress.h"

#include "dbupgrade/CheckProgressText.h"
#include "dialogs/FormControls.h"
#include "dialogs/LocalizeForm.h"
#include "dialogs/QtText.h"
#include "dialogs/SpokenText.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvana::dialogs {

namespace {

constexpr TextId captionText{700};
constexpr TextId projectText{701};
constexpr TextId cancellingText{706};
constexpr TextId cancelText{11};

} // namespace

FCheckProgress::FCheckProgress(QWidget* owner, const TextService& texts, const QString& projectName)
    : QDialog(owner), texts_(texts) {
    setObjectName(QStringLiteral("FCheckProgress"));
    setTag(*this, captionText);
    // Other windows wait for the check; only this one takes input meanwhile.
    setWindowModality(Qt::ApplicationModal);

    lblProject_ = new QLabel(this);
    lblProject_->setObjectName(QStringLiteral("lblProject"));
    lblProject_->setText(qtText(texts.LoadText(projectText, {projectName.toStdString()})));
    lblProject_->setWordWrap(true);

    prgStages_ = new QProgressBar(this);
    prgStages_->setObjectName(QStringLiteral("prgStages"));
    prgStages_->setRange(0, 1);
    prgStages_->setValue(0);
    prgStages_->setFormat(QStringLiteral("%v / %m"));

    lblStage_ = new QLabel(this);
    lblStage_->setObjectName(QStringLiteral("lblStage"));
    // Room for the longest stage, so that the window keeps its size.
    lblStage_->setMinimumWidth(420);

    cmdCancel_ = taggedButton(this, QStringLiteral("cmdCancel"), cancelText);
    cmdCancel_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblProject_);
    layout->addWidget(prgStages_);
    layout->addWidget(lblStage_);
    layout->addLayout(buttonRow({cmdCancel_}));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdCancel_, &QPushButton::clicked, this, &FCheckProgress::requestStop);

    LocalizeForm(*this, texts);
    nameControlsForAssistiveTools();
}

void FCheckProgress::nameControlsForAssistiveTools() {
    lblProject_->setAccessibleName(lblProject_->text());
    prgStages_->setAccessibleName(spokenText(windowTitle()));
    cmdCancel_->setAccessibleName(spokenText(cmdCancel_->text()));
}

void FCheckProgress::showProgress(const dbupgrade::CheckProgress& progress) {
    prgStages_->setRange(0, progress.total);
    prgStages_->setValue(progress.position);
    prgStages_->setAccessibleDescription(qtText(dbupgrade::describePosition(texts_, progress)));
    stoppable_ = progress.stoppable();
    // Once stopping was asked for, the window keeps saying so; only the
    // replacement, which cannot stop, tells that it goes on.
    if (!stopRequested_ || !stoppable_) {
        lblStage_->setText(qtText(dbupgrade::describeStage(texts_, progress)));
    }
    lblStage_->setAccessibleName(lblStage_->text());
    cmdCancel_->setEnabled(stoppable_ && !stopRequested_);
}

void FCheckProgress::requestStop() {
    if (stopRequested_ || !stoppable_) {
        return;
    }
    stopRequested_ = true;
    cmdCancel_->setEnabled(false);
    lblStage_->setText(qtText(texts_.LoadText(cancellingText)));
    lblStage_->setAccessibleName(lblStage_->text());
    emit cancelRequested();
}

// Esc asks to stop; the window stays until the check has ended.
void FCheckProgress::reject() {
    requestStop();
}

void FCheckProgress::closeEvent(QCloseEvent* event) {
    requestStop();
    event->ignore();
}

} // namespace korvana::dialogs
