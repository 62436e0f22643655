#include "dialogs/FOptions.h"

#include "dialogs/FormControls.h"
#include "dialogs/LocalizeForm.h"
#include "dialogs/SpokenText.h"
#include "services/StoreOptions.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <initializer_list>

namespace korvana::dialogs {

namespace {

constexpr TextId captionText{500};
constexpr TextId projectsFolderLabelText{501};
constexpr TextId templatesFolderLabelText{502};
constexpr int troubleshootingTabText = 510;
constexpr TextId keepInterfaceText{511};
constexpr TextId keepInterfaceExplanationText{512};
constexpr TextId okText{10};
constexpr TextId cancelText{11};
constexpr TextId helpText{12};

// The studio's own name, the same in every language.
const QString foldersTabCaption = QStringLiteral("KorvanaStudio ");

constexpr int foldersTab = 0;

QString systemFolderChooser(QWidget* owner, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(owner, title, start);
}

QToolButton* browseButton(const QString& objectName, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setIcon(button->style()->standardIcon(QStyle::SP_DirOpenIcon));
    // A tool button takes no focus from Tab by default; here it is the only way
    // to the folder selection without a mouse.
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

} // namespace

FOptions::FOptions(QWidget* owner, DialogContext& context)
    : QDialog(owner), context_(context), chooseFolder_(systemFolderChooser) {
    setObjectName(QStringLiteral("FOptions"));
    setTag(*this, captionText);

    tabOptions_ = new QTabWidget(this);
    tabOptions_->setObjectName(QStringLiteral("tabOptions"));
    buildFoldersTab();
    buildTroubleshootingTab();
    setTags(*tabOptions_, {0, troubleshootingTabText});

    cmdOK_ = taggedButton(this, QStringLiteral("cmdOK"), okText);
    cmdOK_->setDefault(true);
    cmdCancel_ = taggedButton(this, QStringLiteral("cmdCancel"), cancelText);
    cmdHelp_ = taggedButton(this, QStringLiteral("cmdHelp"), helpText);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabOptions_);
    layout->addLayout(buttonRow({cmdOK_, cmdCancel_, cmdHelp_}));

    connect(cmdOK_, &QPushButton::clicked, this, &FOptions::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdHelp_, &QPushButton::clicked, this, &FOptions::showHelp);
    connect(cmdProjectsPath_, &QToolButton::clicked, this,
            [this] { browse(*txtProjectsPath_, *lblProjects_); });
    connect(cmdTemplatesPath_, &QToolButton::clicked, this,
            [this] { browse(*txtTemplatesPath_, *lblTemplates_); });

    setTabOrder(tabOptions_, txtProjectsPath_);
    setTabOrder(txtProjectsPath_, cmdProjectsPath_);
    setTabOrder(cmdProjectsPath_, txtTemplatesPath_);
    setTabOrder(txtTemplatesPath_, cmdTemplatesPath_);
    setTabOrder(cmdTemplatesPath_, chkDontChangeVB_UI_);
    setTabOrder(chkDontChangeVB_UI_, cmdOK_);
    setTabOrder(cmdOK_, cmdCancel_);
    setTabOrder(cmdCancel_, cmdHelp_);

    LocalizeForm(*this, context_.texts);
    nameControlsForAssistiveTools();

    txtProjectsPath_->setText(QString::fromStdString(context_.settings.ownProjectsFolder));
    txtTemplatesPath_->setText(QString::fromStdString(context_.settings.ownTemplatesFolder));
    txtProjectsPath_->setFocus();
}

void FOptions::buildFoldersTab() {
    auto* page = new QWidget(tabOptions_);
    lblProjects_ = new QLabel(QStringLiteral("lbl(0)"), page);
    lblProjects_->setObjectName(QStringLiteral("lbl_0"));
    setTag(*lblProjects_, projectsFolderLabelText);
    txtProjectsPath_ = new QLineEdit(page);
    txtProjectsPath_->setObjectName(QStringLiteral("txtProjectsPath"));
    lblProjects_->setBuddy(txtProjectsPath_);
    cmdProjectsPath_ = browseButton(QStringLiteral("cmdProjectsPath"), page);

    lblTemplates_ = new QLabel(QStringLiteral("lbl(1)"), page);
    lblTemplates_->setObjectName(QStringLiteral("lbl_1"));
    setTag(*lblTemplates_, templatesFolderLabelText);
    txtTemplatesPath_ = new QLineEdit(page);
    txtTemplatesPath_->setObjectName(QStringLiteral("txtTemplatesPath"));
    lblTemplates_->setBuddy(txtTemplatesPath_);
    cmdTemplatesPath_ = browseButton(QStringLiteral("cmdTemplatesPath"), page);

    auto* grid = new QGridLayout(page);
    grid->addWidget(lblProjects_, 0, 0, 1, 2);
    grid->addWidget(txtProjectsPath_, 1, 0);
    grid->addWidget(cmdProjectsPath_, 1, 1);
    grid->addWidget(lblTemplates_, 2, 0, 1, 2);
    grid->addWidget(txtTemplatesPath_, 3, 0);
    grid->addWidget(cmdTemplatesPath_, 3, 1);
    grid->setRowStretch(4, 1);
    grid->setColumnMinimumWidth(0, 360);
    tabOptions_->addTab(page, foldersTabCaption);
}

void FOptions::buildTroubleshootingTab() {
    auto* page = new QWidget(tabOptions_);
    chkDontChangeVB_UI_ = new QCheckBox(QStringLiteral("chkDontChangeVB_UI"), page);
    chkDontChangeVB_UI_->setObjectName(QStringLiteral("chkDontChangeVB_UI"));
    setTag(*chkDontChangeVB_UI_, keepInterfaceText);
    Label1_ = new QLabel(QStringLiteral("Label1"), page);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setWordWrap(true);
    setTag(*Label1_, keepInterfaceExplanationText);

    auto* column = new QVBoxLayout(page);
    column->addWidget(chkDontChangeVB_UI_);
    column->addWidget(Label1_);
    column->addStretch();
    tabOptions_->addTab(page, QStringLiteral("tab(1)"));
}

// Buttons and labels name themselves from their captions, but the text boxes
// and the picture buttons have none: they take their label's words, so that a
// screen reader says which folder they hold.
void FOptions::nameControlsForAssistiveTools() {
    tabOptions_->setAccessibleName(windowTitle());
    for (QWidget* captioned :
         std::initializer_list<QWidget*>{lblProjects_, lblTemplates_, chkDontChangeVB_UI_, Label1_,
                                         cmdOK_, cmdCancel_, cmdHelp_}) {
        QString caption;
        if (auto* label = qobject_cast<QLabel*>(captioned)) {
            caption = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(captioned)) {
            caption = button->text();
        }
        captioned->setAccessibleName(spokenText(caption));
    }
    const QString projects = lblProjects_->accessibleName();
    const QString templates = lblTemplates_->accessibleName();
    txtProjectsPath_->setAccessibleName(projects);
    txtTemplatesPath_->setAccessibleName(templates);
    // Only screen readers and tool tips say this; the string table has no
    // text for it.
    const QString browseName = QStringLiteral("Browse: %1");
    cmdProjectsPath_->setAccessibleName(browseName.arg(projects));
    cmdProjectsPath_->setToolTip(cmdProjectsPath_->accessibleName());
    cmdTemplatesPath_->setAccessibleName(browseName.arg(templates));
    cmdTemplatesPath_->setToolTip(cmdTemplatesPath_->accessibleName());
}

void FOptions::browse(QLineEdit& folderText, const QLabel& label) {
    const QString chosen = chooseFolder_(this, spokenText(label.text()), folderText.text());
    if (!chosen.isEmpty()) {
        folderText.setText(chosen);
    }
}

void FOptions::cmdOK_Click() {
    const OptionsChoice choice{txtProjectsPath_->text().toStdString(),
                               txtTemplatesPath_->text().toStdString(),
                               chkDontChangeVB_UI_->isChecked()};
    const OptionsStore store{context_.registry, files_, context_.messages, context_.texts,
                             context_.settings};
    QLineEdit* revise = nullptr;
    switch (StoreOptions(choice, store)) {
    case OptionsOutcome::Stored:
        accept();
        return;
    case OptionsOutcome::ReviseProjectsFolder:
        revise = txtProjectsPath_;
        break;
    case OptionsOutcome::ReviseTemplatesFolder:
        revise = txtTemplatesPath_;
        break;
    }
    // OK may be pressed from the troubleshooting tab; the field must be seen.
    tabOptions_->setCurrentIndex(foldersTab);
    revise->setFocus();
}

void FOptions::showHelp() {
    if (contextHelp_) {
        contextHelp_(this);
    }
}

void FOptions::keyPressEvent(QKeyEvent* event) {
    // The controls pass F1 on to their window.
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        showHelp();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace korvana::dialogs
