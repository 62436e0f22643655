#include "dialogs/FProjectNew.h"

#include "dialogs/FormControls.h"
#include "dialogs/Help.h"
#include "dialogs/LocalizeForm.h"
#include "dialogs/MaskValidator.h"
#include "dialogs/QtText.h"
#include "dialogs/ReportList.h"
#include "dialogs/SpokenText.h"
#include "dialogs/TabSteps.h"
#include "platform/Failure.h"
#include "platform/Paths.h"
#include "project/Designers.h"
#include "project/ServerClientTemplate.h"
#include "text/Messages.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>

namespace korvana::dialogs {

namespace {

constexpr TextId projectCaption{300};
constexpr TextId groupCaption{307};
constexpr TextId serverClientCaption{308};
constexpr TextId nameLabel{301};
constexpr TextId folderLabel{302};
constexpr TextId existingProjectsLabel{304};
constexpr int nameColumnText = 310;
constexpr int folderColumnText = 311;
constexpr int typeColumnText = 312;
constexpr int descriptionColumnText = 313;
constexpr TextId nameStem{320};
constexpr int generalTabText = 330;
constexpr int componentsTabText = 331;
constexpr int languagesTabText = 333;
constexpr int furtherTabText = 335;
constexpr int serverProjectTabText = 336;
constexpr int projectsTabText = 337;
constexpr TextId languagesLabel{340};
constexpr TextId addText{341};
constexpr TextId removeText{342};
constexpr int lcidColumnText = 343;
constexpr int languageColumnText = 344;
constexpr TextId serverProjectsLabel{345};
constexpr TextId notRegisteredServerText{346};
constexpr TextId computerNameLabel{352};
constexpr TextId versionLabel{360};
constexpr TextId customerLabel{361};
constexpr TextId developerLabel{362};
constexpr TextId commentLabel{363};
constexpr TextId visualBasicLabel{401};
constexpr TextId componentsLabel{402};
constexpr TextId okText{10};
constexpr TextId cancelText{11};
constexpr TextId helpText{12};

// Text boxes of names and folders take only what a file name or a path may hold.
constexpr const char* nameMask = "d";
constexpr const char* folderMask = "p";
constexpr std::string_view templateProjectFile = "\\%ProjectName%.kvs";

constexpr int keyRole = Qt::UserRole;

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* label(QWidget* parent, TextId text, QWidget* buddy) {
    auto* caption = new QLabel(parent);
    setTag(*caption, text);
    caption->setBuddy(buddy);
    return caption;
}

QLineEdit* textBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

// Only OK answers Enter: the other buttons never become the default.
QPushButton* button(QWidget* parent, const char* name, std::optional<TextId> text) {
    QPushButton* pushButton = text ? taggedButton(parent, QLatin1String(name), *text)
                                   : new QPushButton(QLatin1String(name), parent);
    pushButton->setObjectName(QLatin1String(name));
    pushButton->setAutoDefault(false);
    return pushButton;
}

ReportList* reportList(QWidget* parent, const char* name, const QLocale& locale,
                       std::initializer_list<int> columns, bool checkable) {
    ReportList* list = taggedReportList(parent, QLatin1String(name), locale, columns);
    if (checkable) {
        // A double click toggles the check mark; Space does so from the keyboard.
        QObject::connect(
            list, &QTreeWidget::itemDoubleClicked, list, [](QTreeWidgetItem* item, int /*column*/) {
                item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked
                                                                          : Qt::Checked);
            });
    }
    return list;
}

void setChecked(QTreeWidgetItem& item, bool checked) {
    item.setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

QIcon typePicture(ProjectType type) {
    QStyle* style = QApplication::style();
    switch (type) {
    case ProjectType::Server:
        return style->standardIcon(QStyle::SP_DriveNetIcon);
    case ProjectType::Client:
        return style->standardIcon(QStyle::SP_ComputerIcon);
    case ProjectType::Group:
        return style->standardIcon(QStyle::SP_DirIcon);
    default:
        return style->standardIcon(QStyle::SP_FileIcon);
    }
}

} // namespace

FProjectNew::FProjectNew(QWidget* owner, DialogContext& context,
                         const ProjectDialogServices& services, Windows windows)
    : QDialog(owner), context_(context), services_(services), windows_(std::move(windows)),
      checks_(context.registry, services.registration, files_, context.messages, context.texts) {
    setObjectName(QStringLiteral("FProjectNew"));
    buildControls();
    LocalizeForm(*this, context_.texts);
    nameControlsForAssistiveTools();
    resize(620, 460);
}

FProjectNew::~FProjectNew() = default;

void FProjectNew::buildControls() {
    tabProjectNew_ = new QTabWidget(this);
    tabProjectNew_->setObjectName(QStringLiteral("tabProjectNew"));
    tabProjectNew_->addTab(buildGeneralTab(), QStringLiteral("General"));
    tabProjectNew_->addTab(buildProjectsTab(), QStringLiteral("Projects"));
    tabProjectNew_->addTab(buildLanguagesTab(), QStringLiteral("Languages"));
    tabProjectNew_->addTab(buildComponentsTab(), QStringLiteral("Server Components"));
    tabProjectNew_->addTab(buildServerProjectTab(), QStringLiteral("Server Project"));
    tabProjectNew_->addTab(buildFurtherTab(), QStringLiteral("Further Parameters"));
    setTags(*tabProjectNew_, {generalTabText, projectsTabText, languagesTabText, componentsTabText,
                              serverProjectTabText, furtherTabText});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabProjectNew_, 1);
    layout->addLayout(buildButtons());

    connect(tabProjectNew_, &QTabWidget::currentChanged, this, &FProjectNew::tabChanged);
    installTabSteps(*this, *tabProjectNew_);
    const auto contextHelp = [this] {
        if (windows_.contextHelp) {
            windows_.contextHelp(this);
        }
    };
    installContextHelp(*this, contextHelp);
    connect(cmdHelp_, &QPushButton::clicked, this, contextHelp);
}

QWidget* FProjectNew::buildGeneralTab() {
    auto* page = new QWidget(tabProjectNew_);
    txtName_ = textBox(page, "txtName");
    txtName_->setValidator(new MaskValidator(nameMask, txtName_));
    txtPath_ = textBox(page, "txtPath");
    txtPath_->setValidator(new MaskValidator(folderMask, txtPath_));
    cmdSearch_ = button(page, "cmdSearch", std::nullopt);
    cmdSearch_->setText(QStringLiteral("..."));
    imgProjectType_ = new QLabel(page);
    imgProjectType_->setObjectName(QStringLiteral("imgProjectType"));
    lvwProjects_ = reportList(page, "lvwProjects", reportLocale(context_.texts),
                              {nameColumnText, folderColumnText, typeColumnText}, false);

    auto* fields = new QGridLayout;
    fields->addWidget(label(page, nameLabel, txtName_), 0, 0);
    fields->addWidget(txtName_, 0, 1);
    fields->addWidget(imgProjectType_, 0, 2, 2, 1, Qt::AlignCenter);
    fields->addWidget(label(page, folderLabel, txtPath_), 1, 0);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(txtPath_, 1);
    folderRow->addWidget(cmdSearch_);
    fields->addLayout(folderRow, 1, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(fields);
    layout->addWidget(label(page, existingProjectsLabel, lvwProjects_));
    layout->addWidget(lvwProjects_, 1);

    connect(txtName_, &QLineEdit::textChanged, this, &FProjectNew::nameChanged);
    connect(cmdSearch_, &QPushButton::clicked, this, [this] {
        if (!windows_.chooseFolder) {
            return;
        }
        const QString chosen = windows_.chooseFolder(this, txtPath_->text());
        if (!chosen.isEmpty()) {
            txtPath_->setText(chosen);
        }
    });
    return page;
}

QWidget* FProjectNew::buildProjectsTab() {
    auto* page = new QWidget(tabProjectNew_);
    lvwGroupProjects_ = reportList(page, "lvwGroupProjects", reportLocale(context_.texts),
                                   {nameColumnText, folderColumnText, typeColumnText}, false);
    cmdProjectAdd_ = button(page, "cmdProjectAdd", addText);
    cmdProjectRemove_ = button(page, "cmdProjectRemove", removeText);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdProjectAdd_);
    buttons->addWidget(cmdProjectRemove_);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(lvwGroupProjects_, 1);
    layout->addLayout(buttons);
    page->setFocusProxy(lvwGroupProjects_);

    connect(cmdProjectAdd_, &QPushButton::clicked, this, &FProjectNew::addGroupProject);
    connect(cmdProjectRemove_, &QPushButton::clicked, this, [this] {
        for (QTreeWidgetItem* item : lvwGroupProjects_->selectedItems()) {
            delete item;
        }
        lvwGroupProjects_->clearSelection();
    });
    return page;
}

QWidget* FProjectNew::buildLanguagesTab() {
    auto* page = new QWidget(tabProjectNew_);
    lvwLanguages_ = reportList(page, "lvwLanguages", reportLocale(context_.texts),
                               {lcidColumnText, languageColumnText}, true);
    cmdLanguageAdd_ = button(page, "cmdLanguageAdd", addText);
    cmdLanguageRemove_ = button(page, "cmdLanguageRemove", removeText);
    cmdLanguageRemove_->setEnabled(false);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdLanguageAdd_);
    buttons->addWidget(cmdLanguageRemove_);
    buttons->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addWidget(lvwLanguages_, 1);
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(label(page, languagesLabel, lvwLanguages_));
    layout->addLayout(row, 1);
    page->setFocusProxy(lvwLanguages_);

    connect(lvwLanguages_, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int /*column*/) { languageChanged(item); });
    connect(lvwLanguages_, &QTreeWidget::itemSelectionChanged, this,
            [this] { cmdLanguageRemove_->setEnabled(!lvwLanguages_->selectedItems().isEmpty()); });
    connect(cmdLanguageRemove_, &QPushButton::clicked, this, &FProjectNew::removeLanguage);
    connect(cmdLanguageAdd_, &QPushButton::clicked, this, &FProjectNew::addLanguages);
    return page;
}

QWidget* FProjectNew::buildComponentsTab() {
    auto* page = new QWidget(tabProjectNew_);
    lvwServerComponents_ = reportList(page, "lvwServerComponents", reportLocale(context_.texts),
                                      {nameColumnText, descriptionColumnText}, true);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(label(page, componentsLabel, lvwServerComponents_));
    layout->addWidget(lvwServerComponents_, 1);
    page->setFocusProxy(lvwServerComponents_);
    connect(lvwServerComponents_, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int /*column*/) { componentChanged(item); });
    return page;
}

QWidget* FProjectNew::buildServerProjectTab() {
    auto* page = new QWidget(tabProjectNew_);
    lvwServerProjects_ = reportList(page, "lvwServerProjects", reportLocale(context_.texts),
                                    {nameColumnText, folderColumnText, typeColumnText}, true);
    chkNotRegisteredServerProject_ = new QCheckBox(page);
    chkNotRegisteredServerProject_->setObjectName(QStringLiteral("chkNotRegisteredServerProject"));
    setTag(*chkNotRegisteredServerProject_, notRegisteredServerText);
    chkNotRegisteredServerProject_->setEnabled(false);
    txtNotRegisteredServerProject_ = textBox(page, "txtNotRegisteredServerProject");
    txtNotRegisteredServerProject_->setValidator(
        new MaskValidator(nameMask, txtNotRegisteredServerProject_));
    txtServerComputerName_ = textBox(page, "txtServerComputerName");

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(label(page, serverProjectsLabel, lvwServerProjects_));
    layout->addWidget(lvwServerProjects_, 1);
    auto* notRegistered = new QHBoxLayout;
    notRegistered->addWidget(chkNotRegisteredServerProject_);
    notRegistered->addWidget(txtNotRegisteredServerProject_, 1);
    layout->addLayout(notRegistered);
    auto* computer = new QHBoxLayout;
    computer->addWidget(label(page, computerNameLabel, txtServerComputerName_));
    computer->addWidget(txtServerComputerName_, 1);
    layout->addLayout(computer);
    page->setFocusProxy(lvwServerProjects_);

    connect(lvwServerProjects_, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int /*column*/) { serverProjectChanged(item); });
    connect(txtNotRegisteredServerProject_, &QLineEdit::textChanged, this,
            [this](const QString& text) {
                chkNotRegisteredServerProject_->setEnabled(!text.isEmpty());
            });
    connect(chkNotRegisteredServerProject_, &QCheckBox::toggled, this,
            &FProjectNew::notRegisteredServerChanged);
    return page;
}

QWidget* FProjectNew::buildFurtherTab() {
    auto* page = new QWidget(tabProjectNew_);
    cboVisualBasic_ = new QComboBox(page);
    cboVisualBasic_->setObjectName(QStringLiteral("cboVisualBasic"));
    txtProjectVersion_ = textBox(page, "txtProjectVersion");
    txtCustomer_ = textBox(page, "txtCustomer");
    txtDeveloper_ = textBox(page, "txtDeveloper");
    txtComment_ = textBox(page, "txtComment");
    auto* layout = new QFormLayout(page);
    layout->addRow(label(page, visualBasicLabel, cboVisualBasic_), cboVisualBasic_);
    layout->addRow(label(page, versionLabel, txtProjectVersion_), txtProjectVersion_);
    layout->addRow(label(page, customerLabel, txtCustomer_), txtCustomer_);
    layout->addRow(label(page, developerLabel, txtDeveloper_), txtDeveloper_);
    layout->addRow(label(page, commentLabel, txtComment_), txtComment_);
    page->setFocusProxy(cboVisualBasic_);
    return page;
}

QLayout* FProjectNew::buildButtons() {
    cmdOK_ = button(this, "cmdOK", okText);
    cmdOK_->setDefault(true);
    cmdCancel_ = button(this, "cmdCancel", cancelText);
    cmdHelp_ = button(this, "cmdHelp", helpText);
    connect(cmdOK_, &QPushButton::clicked, this, &FProjectNew::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, &FProjectNew::reject);
    return buttonRow({cmdOK_, cmdCancel_, cmdHelp_});
}

// Text boxes and lists are named after their labels; the rest by their captions.
void FProjectNew::nameControlsForAssistiveTools() {
    for (QLabel* caption : findChildren<QLabel*>()) {
        if (QWidget* buddy = caption->buddy()) {
            buddy->setAccessibleName(spokenText(caption->text()));
        }
    }
    QTabBar* tabs = tabProjectNew_->tabBar();
    for (int tab = 0; tab < tabProjectNew_->count(); ++tab) {
        tabs->setAccessibleTabName(tab, spokenText(tabs->tabText(tab)));
    }
    cmdSearch_->setAccessibleName(spokenText(qtText(context_.texts.LoadText(folderLabel))));
    txtNotRegisteredServerProject_->setAccessibleName(
        spokenText(chkNotRegisteredServerProject_->text()));
}

void FProjectNew::ShowDialog(CKVProject& project) {
    project.EProjectOpen = ProjectOpen::Nothing;
    prepare(project);
    if (exec() == QDialog::Accepted) {
        finish(project);
    }
}

void FProjectNew::prepare(const CKVProject& project) {
    template_ = project;
    mode_ =
        newProjectMode(project.EProjectType, project.TemplatePath).value_or(NewProjectMode::Single);
    const auto& texts = context_.texts;
    switch (mode_) {
    case NewProjectMode::Group:
        setWindowTitle(qtText(texts.LoadText(groupCaption)));
        break;
    case NewProjectMode::ServerClientGroup:
        setWindowTitle(qtText(texts.LoadText(serverClientCaption)));
        break;
    default:
        setWindowTitle(qtText(texts.LoadText(projectCaption, {project.ProjectType})));
        break;
    }
    tabProjectNew_->setAccessibleName(spokenText(windowTitle()));
    imgProjectType_->setPixmap(typePicture(project.EProjectType).pixmap(48, 48));
    imgProjectType_->setAccessibleName(qt(project.ProjectType));

    const bool group = mode_ == NewProjectMode::Group;
    tabProjectNew_->setTabVisible(Projects, group);
    tabProjectNew_->setTabVisible(Languages, !group);
    tabProjectNew_->setTabVisible(ServerComponents, mode_ == NewProjectMode::Single ||
                                                        mode_ == NewProjectMode::Server ||
                                                        mode_ == NewProjectMode::ServerClientGroup);
    tabProjectNew_->setTabVisible(ServerProject, mode_ == NewProjectMode::Client);
    tabProjectNew_->setTabVisible(Further, !group);
    tabProjectNew_->setCurrentIndex(General);

    const DesignerList designers = ListDesigners(context_.registry);
    cboVisualBasic_->clear();
    for (const auto& name : designers.names) {
        cboVisualBasic_->addItem(qt(name));
    }
    cboVisualBasic_->setCurrentIndex(designers.selected ? static_cast<int>(*designers.selected)
                                                        : -1);
    fillRegisteredProjects();

    std::string languagesFrom = project.TemplatePath;
    std::string componentsFrom = project.TemplatePath;
    if (const auto members = ServerClientTemplate::of(project.TemplatePath, project.EProjectType)) {
        languagesFrom = members->clientFolder;
        componentsFrom = members->serverFolder;
    }
    if (!group) {
        fillLanguages(paths::joinPath(languagesFrom, templateProjectFile));
    }
    if (tabProjectNew_->isTabVisible(ServerComponents)) {
        fillComponents(paths::joinPath(componentsFrom, templateProjectFile));
    }
    txtName_->setFocus();
}

void FProjectNew::fillRegisteredProjects() {
    std::vector<RegisteredProject> all;
    std::vector<RegisteredProject> servers;
    if (auto failure = failureOf([&] {
            all = services_.registration.ListRegisteredProjects(ProjectTypeMask::all());
            servers = services_.registration.ListRegisteredProjects(ProjectTypeMask::serversOnly());
        })) {
        ReportError(context_.messages, context_.texts, "Error in function 'Form_Load'!",
                    failure->number, failure->description);
    }
    std::vector<std::string> names;
    lvwProjects_->clear();
    for (const auto& project : all) {
        lvwProjects_->addRow(
            {qt(project.name), qt(paths::toNative(project.path)), qt(project.typeName)});
        names.push_back(project.name);
    }
    lvwProjects_->sizeColumns();
    lvwServerProjects_->clear();
    for (const auto& project : servers) {
        QTreeWidgetItem* item = lvwServerProjects_->addRow(
            {qt(project.name), qt(paths::toNative(project.path)), qt(project.typeName)});
        setChecked(*item, false);
    }
    lvwServerProjects_->sizeColumns();

    const std::string proposed = ProposeProjectName(context_.texts.LoadText(nameStem), names);
    previousName_ = proposed;
    txtName_->setText(qt(proposed));
    txtName_->selectAll();
    txtPath_->setText(qt(paths::joinPath(context_.settings.ownProjectsFolder, proposed)));
}

void FProjectNew::fillLanguages(const std::string& templateProject) {
    const LanguageList listed = ListProjectLanguages(context_.registry, services_.configuration,
                                                     templateProject, context_.texts.language());
    languages_ = LanguageChoice(listed.rows);
    showLanguages();
}

void FProjectNew::fillComponents(const std::string& templateProject) {
    ServerComponentList listed;
    if (auto failure = failureOf([&] {
            listed = ListServerComponents(context_.registry, services_.configuration,
                                          templateProject, template_.EProjectMainType);
        })) {
        ReportError(context_.messages, context_.texts, "Error in function 'ListServerComponents'!",
                    failure->number, failure->description);
    }
    components_ = ComponentChoice(listed.rows);
    showComponents();
}

void FProjectNew::showLanguages() {
    redrawing_ = true;
    const QString selected = lvwLanguages_->currentItem() != nullptr
                                 ? lvwLanguages_->currentItem()->data(0, keyRole).toString()
                                 : QString();
    lvwLanguages_->clear();
    for (const LanguageRow& row : languages_.rows()) {
        QTreeWidgetItem* item = lvwLanguages_->addRow({qt(row.text), qt(row.name)});
        item->setData(0, keyRole, qt(row.key));
        setChecked(*item, row.checked);
        if (row.bold) {
            QFont font = item->font(0);
            font.setBold(true);
            item->setFont(0, font);
            item->setFont(1, font);
        }
        if (qt(row.key) == selected) {
            lvwLanguages_->setCurrentItem(item);
        }
    }
    lvwLanguages_->sizeColumns();
    redrawing_ = false;
}

void FProjectNew::showComponents() {
    redrawing_ = true;
    if (lvwServerComponents_->topLevelItemCount() != static_cast<int>(components_.rows().size())) {
        lvwServerComponents_->clear();
        for (const auto& row : components_.rows()) {
            QTreeWidgetItem* item =
                lvwServerComponents_->addRow({qt(row.name), qt(row.description)});
            item->setData(0, keyRole, qt(row.name));
        }
        lvwServerComponents_->sizeColumns();
    }
    for (int i = 0; i < lvwServerComponents_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lvwServerComponents_->topLevelItem(i);
        const std::string name = item->data(0, keyRole).toString().toStdString();
        for (const auto& row : components_.rows()) {
            if (row.name == name) {
                setChecked(*item, row.checked);
            }
        }
    }
    redrawing_ = false;
}

void FProjectNew::nameChanged(const QString& name) {
    const std::string newName = name.toStdString();
    txtPath_->setText(
        qt(FolderFollowingName(txtPath_->text().toStdString(), previousName_, newName)));
    previousName_ = newName;
}

void FProjectNew::languageChanged(QTreeWidgetItem* item) {
    if (redrawing_) {
        return;
    }
    const std::string key = item->data(0, keyRole).toString().toStdString();
    if (item->checkState(0) == Qt::Checked) {
        languages_.check(key);
    } else {
        languages_.uncheck(key);
    }
    showLanguages();
}

void FProjectNew::componentChanged(QTreeWidgetItem* item) {
    if (redrawing_) {
        return;
    }
    const std::string name = item->data(0, keyRole).toString().toStdString();
    if (item->checkState(0) == Qt::Checked) {
        components_.check(name);
    } else {
        components_.uncheck(name, context_.messages, context_.texts);
    }
    showComponents();
}

void FProjectNew::serverProjectChanged(QTreeWidgetItem* item) {
    if (redrawing_) {
        return;
    }
    redrawing_ = true;
    if (item->checkState(0) == Qt::Checked) {
        serverProject_ = item->text(0).toStdString();
        for (int i = 0; i < lvwServerProjects_->topLevelItemCount(); ++i) {
            QTreeWidgetItem* other = lvwServerProjects_->topLevelItem(i);
            if (other != item) {
                setChecked(*other, false);
            }
        }
        chkNotRegisteredServerProject_->setChecked(false);
    } else {
        serverProject_.clear();
    }
    redrawing_ = false;
}

void FProjectNew::notRegisteredServerChanged(bool checked) {
    if (redrawing_ || !checked) {
        return;
    }
    redrawing_ = true;
    serverProject_ = txtNotRegisteredServerProject_->text().toStdString();
    for (int i = 0; i < lvwServerProjects_->topLevelItemCount(); ++i) {
        setChecked(*lvwServerProjects_->topLevelItem(i), false);
    }
    redrawing_ = false;
}

void FProjectNew::removeLanguage() {
    QTreeWidgetItem* item = lvwLanguages_->currentItem();
    if (item == nullptr) {
        return;
    }
    if (languages_.remove(item->data(0, keyRole).toString().toStdString(), context_.messages,
                          context_.texts)) {
        lvwLanguages_->setCurrentItem(nullptr);
        showLanguages();
        cmdLanguageRemove_->setEnabled(false);
    }
}

void FProjectNew::addLanguages() {
    if (!windows_.addLanguages) {
        return;
    }
    std::vector<LanguageRow> rows = languages_.rows();
    windows_.addLanguages(this, rows);
    languages_.add(rows);
    showLanguages();
}

void FProjectNew::addGroupProject() {
    if (!windows_.pickGroupProject) {
        return;
    }
    const CKVProject picked = windows_.pickGroupProject(this);
    if (picked.EProjectOpen == ProjectOpen::Nothing) {
        return;
    }
    CKVProject project;
    const ProjectServices loading = services_.registration.loadingServices();
    if (auto failure = failureOf([&] { project.Initialize(loading, picked.ProjectName); })) {
        ReportError(context_.messages, context_.texts, "Error in function 'cmdProjectAdd_Click'!",
                    failure->number, failure->description);
        return;
    }
    lvwGroupProjects_->addRow(
        {qt(project.ProjectName), qt(paths::toNative(project.Path)), qt(project.ProjectType)});
    lvwGroupProjects_->clearSelection();
    lvwGroupProjects_->sizeColumns();
}

void FProjectNew::tabChanged(int index) {
    const int left = shownTab_;
    shownTab_ = index;
    if (mode_ == NewProjectMode::Group && left == General && index != General &&
        !checks_.groupCheck(txtName_->text().toStdString(), txtPath_->text().toStdString())) {
        showTab(General);
    }
}

void FProjectNew::showTab(Tab tab) {
    const QSignalBlocker quiet(tabProjectNew_);
    tabProjectNew_->setCurrentIndex(tab);
    shownTab_ = tab;
}

void FProjectNew::accept() {
    const NewProjectField refused = checks_.confirm(
        mode_, txtName_->text().toStdString(), txtPath_->text().toStdString(), serverProject_,
        static_cast<std::size_t>(lvwGroupProjects_->topLevelItemCount()));
    switch (refused) {
    case NewProjectField::None:
        QDialog::accept();
        return;
    case NewProjectField::Name:
        showTab(General);
        txtName_->setFocus();
        return;
    case NewProjectField::Folder:
        showTab(General);
        txtPath_->setFocus();
        return;
    case NewProjectField::ServerProject:
        showTab(ServerProject);
        return;
    case NewProjectField::GroupProjects:
        showTab(Projects);
        return;
    }
}

// The developer leaves with Cancel (or Esc), not with the window's close
// button: closing would leave it open whether anything was meant.
void FProjectNew::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void FProjectNew::finish(CKVProject& project) {
    project.ProjectName = txtName_->text().toStdString();
    project.Path = txtPath_->text().toStdString();
    if (mode_ != NewProjectMode::Group) {
        project.LCIDs = languages_.languages();
        project.LCID = languages_.developerLcid();
        project.Designer = cboVisualBasic_->currentIndex() >= 0
                               ? cboVisualBasic_->currentText().toStdString()
                               : std::string();
        project.ProjectVersion = txtProjectVersion_->text().toStdString();
        project.Customer = txtCustomer_->text().toStdString();
        project.Developer = txtDeveloper_->text().toStdString();
        project.Comment = txtComment_->text().toStdString();
    }
    if (mode_ == NewProjectMode::Client) {
        project.ServerProject = serverProject_;
        project.ServerComputerName = txtServerComputerName_->text().toStdString();
    }
    if (tabProjectNew_->isTabVisible(ServerComponents)) {
        project.ServerComponents = components_.checkedNames();
    }
    project.Projects.clear();
    if (mode_ == NewProjectMode::Group) {
        const ProjectServices loading = services_.registration.loadingServices();
        for (int i = 0; i < lvwGroupProjects_->topLevelItemCount(); ++i) {
            CKVProject member;
            const std::string name = lvwGroupProjects_->topLevelItem(i)->text(0).toStdString();
            // A member that cannot be loaded any more would leave a hole in the group.
            if (auto failure = failureOf([&] { member.Initialize(loading, name); })) {
                ReportError(context_.messages, context_.texts, "Error in function 'cmdOK_Click'!",
                            failure->number, failure->description);
                project.EProjectOpen = ProjectOpen::Nothing;
                return;
            }
            project.Projects.push_back({member.DesignerProject, nullptr});
        }
    }
    if (!windows_.create) {
        return;
    }
    if (mode_ == NewProjectMode::ServerClientGroup) {
        const auto members = ServerClientTemplate::of(project.TemplatePath, project.EProjectType);
        if (!members || !CreateServerClientMembers(project, *members, windows_.create)) {
            project.EProjectOpen = ProjectOpen::Nothing;
            return;
        }
    }
    windows_.create(project);
}

} // namespace korvana::dialogs
