#include "dialogs/FProjectOpen.h"

#include "dialogs/FileFilter.h"
#include "dialogs/FormControls.h"
#include "dialogs/Help.h"
#include "dialogs/LocalizeForm.h"
#include "dialogs/Logo.h"
#include "dialogs/QtText.h"
#include "dialogs/ReportList.h"
#include "dialogs/SpokenText.h"
#include "dialogs/TabSteps.h"
#include "dialogs/TemplateIcon.h"
#include "platform/Failure.h"
#include "platform/Paths.h"
#include "project/FoundProjectFile.h"
#include "project/RecentProjects.h"
#include "project/TemplateCatalogue.h"
#include "text/Messages.h"

#include <QAction>
#include <QBoxLayout>
#include <QEvent>
#include <QFileDialog>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <array>
#include <tuple>

namespace korvana::dialogs {

namespace {

constexpr TextId captionText{100};
constexpr TextId addModeCaptionText{151};
constexpr int firstTabText = 101;
constexpr TextId openText{110};
constexpr TextId endText{111};
constexpr TextId cancelText{11};
constexpr TextId helpText{12};
constexpr TextId optionsToolText{120};
constexpr TextId helpToolText{121};
constexpr TextId infoToolText{122};
constexpr TextId deregisterText{123};
constexpr int nameColumnText = 130;
constexpr int pathColumnText = 131;
constexpr int typeColumnText = 132;
constexpr TextId searchLabelText{140};
constexpr TextId searchTitleText{141};
constexpr TextId projectFilterText{142};
constexpr TextId groupFilterText{145};

constexpr int tabCount = 5;
constexpr int nameColumn = 0;
constexpr int typeColumn = 2;

// Where list items keep what is not shown: their list key, a template's
// folder and a project's type code.
constexpr int keyRole = Qt::UserRole;
constexpr int tagRole = Qt::UserRole + 1;
constexpr int typeRole = Qt::UserRole + 2;

int tabIndex(ProjectOpenTab tab) {
    return static_cast<int>(tab);
}

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

QListWidget* makeTemplateList(QWidget* parent, const QString& name) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setViewMode(QListView::IconMode);
    list->setIconSize(QSize(32, 32));
    list->setGridSize(QSize(112, 72));
    list->setMovement(QListView::Static);
    list->setResizeMode(QListView::Adjust);
    list->setWordWrap(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QWidget* page(QWidget* content, QWidget* parent) {
    auto* widget = new QWidget(parent);
    auto* layout = new QVBoxLayout(widget);
    layout->addWidget(content);
    widget->setFocusProxy(content);
    return widget;
}

void clearChoice(QAbstractItemView& list) {
    list.clearSelection();
    list.setCurrentIndex({});
}

} // namespace

FProjectOpen::FProjectOpen(QWidget* owner, DialogContext& context,
                           ProjectRegistration& registration, Windows windows)
    : QDialog(owner), context_(context), registration_(registration), windows_(std::move(windows)),
      settings_(context.registry) {
    setObjectName(QStringLiteral("FProjectOpen"));
    setTag(*this, captionText);
    buildControls();
    LocalizeForm(*this, context_.texts);
    applyTexts();
    resize(600, 440);
}

void FProjectOpen::buildControls() {
    buildHeader();
    buildTabs();
    QLayout* buttons = buildButtons();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(img_);
    layout->addWidget(ActiveBar1_);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 4, 8, 0);
    body->addWidget(tabSelectProject_, 1);
    body->addLayout(buttons);
    layout->addLayout(body, 1);

    connectChoices();
    shownTab_ = tabSelectProject_->currentIndex();
}

void FProjectOpen::buildHeader() {
    img_ = new QLabel(this);
    img_->setObjectName(QStringLiteral("img"));
    img_->setPixmap(logoPicture(600, 64));
    img_->setAccessibleName(QStringLiteral("KorvanaStudio"));

    ActiveBar1_ = new QToolBar(this);
    ActiveBar1_->setObjectName(QStringLiteral("ActiveBar1"));
    ActiveBar1_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    btnOptions_ = ActiveBar1_->addAction(QStringLiteral("btnOptions"));
    ActiveBar1_->addSeparator();
    btnHelp_ = ActiveBar1_->addAction(QStringLiteral("btnHelp"));
    ActiveBar1_->addSeparator();
    btnInfo_ = ActiveBar1_->addAction(QStringLiteral("btnInfo"));
    for (const auto& [action, name, text] : {std::tuple{btnOptions_, "btnOptions", optionsToolText},
                                             std::tuple{btnHelp_, "btnHelp", helpToolText},
                                             std::tuple{btnInfo_, "btnInfo", infoToolText}}) {
        action->setObjectName(QLatin1String(name));
        setTag(*action, text);
        // Keyboard users reach the tools with Tab like any button.
        ActiveBar1_->widgetForAction(action)->setFocusPolicy(Qt::TabFocus);
    }
    connect(btnOptions_, &QAction::triggered, this, &FProjectOpen::btnOptions_Click);
    connect(btnHelp_, &QAction::triggered, this, [this] {
        if (windows_.showStudioHelp) {
            windows_.showStudioHelp(this);
        }
    });
    connect(btnInfo_, &QAction::triggered, this, [this] {
        if (windows_.showInfo) {
            windows_.showInfo(this);
        }
    });
}

void FProjectOpen::buildTabs() {
    const QLocale locale = reportLocale(context_.texts);
    tabSelectProject_ = new QTabWidget(this);
    tabSelectProject_->setObjectName(QStringLiteral("tabSelectProject"));
    lvwNewProjects_ = makeTemplateList(tabSelectProject_, QStringLiteral("lvwNewProjects"));
    lvwNewProjectsKV32_ = makeTemplateList(tabSelectProject_, QStringLiteral("lvwNewProjectsKV32"));
    lvwRegisteredProjects_ =
        taggedReportList(tabSelectProject_, QStringLiteral("lvwRegisteredProjects"), locale,
                         {nameColumnText, pathColumnText, typeColumnText});
    lvwRecentProjects_ = taggedReportList(tabSelectProject_, QStringLiteral("lvwRecentProjects"),
                                          locale, {nameColumnText, pathColumnText, typeColumnText});

    auto* extended = new QWidget(tabSelectProject_);
    lbl0_ = new QLabel(QStringLiteral("lbl(0)"), extended);
    lbl0_->setObjectName(QStringLiteral("lbl0"));
    setTag(*lbl0_, searchLabelText);
    txtKVStudioProject_ = new QLineEdit(extended);
    txtKVStudioProject_->setObjectName(QStringLiteral("txtKVStudioProject"));
    txtKVStudioProject_->setReadOnly(true);
    lbl0_->setBuddy(txtKVStudioProject_);
    cmdSearchKVStudioProject_ = new QPushButton(QStringLiteral("..."), extended);
    cmdSearchKVStudioProject_->setObjectName(QStringLiteral("cmdSearchKVStudioProject"));
    cmdSearchKVStudioProject_->setAutoDefault(false);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(txtKVStudioProject_, 1);
    searchRow->addWidget(cmdSearchKVStudioProject_);
    auto* extendedLayout = new QVBoxLayout(extended);
    extendedLayout->addWidget(lbl0_);
    extendedLayout->addLayout(searchRow);
    extendedLayout->addStretch(1);
    extended->setFocusProxy(cmdSearchKVStudioProject_);

    tabSelectProject_->addTab(page(lvwNewProjects_, tabSelectProject_), QStringLiteral("New"));
    tabSelectProject_->addTab(page(lvwNewProjectsKV32_, tabSelectProject_),
                              QStringLiteral("New (KV32)"));
    tabSelectProject_->addTab(page(lvwRegisteredProjects_, tabSelectProject_),
                              QStringLiteral("Registered"));
    tabSelectProject_->addTab(page(lvwRecentProjects_, tabSelectProject_),
                              QStringLiteral("Recent"));
    tabSelectProject_->addTab(extended, QStringLiteral("Extended"));
    setTags(*tabSelectProject_,
            {firstTabText, firstTabText + 1, firstTabText + 2, firstTabText + 3, firstTabText + 4});

    mnuRegisteredProjects_ = new QMenu(this);
    mnuRegisteredProjects_->setObjectName(QStringLiteral("mnuRegisteredProjects"));
    mnuDeregister_ = mnuRegisteredProjects_->addAction(QStringLiteral("mnuDeregister"));
    mnuDeregister_->setObjectName(QStringLiteral("mnuDeregister"));
    setTag(*mnuDeregister_, deregisterText);
}

QLayout* FProjectOpen::buildButtons() {
    cmdOpen_ = taggedButton(this, QStringLiteral("cmdOpen"), openText);
    cmdOpen_->setDefault(true);
    cmdOpen_->setEnabled(false);
    cmdCancel_ = taggedButton(this, QStringLiteral("cmdCancel"), endText);
    cmdCancel_->setAutoDefault(false);
    cmdHelp_ = taggedButton(this, QStringLiteral("cmdHelp"), helpText);
    cmdHelp_->setAutoDefault(false);
    return buttonRow({cmdOpen_, cmdCancel_, cmdHelp_});
}

void FProjectOpen::connectChoices() {
    for (QListWidget* list : {lvwNewProjects_, lvwNewProjectsKV32_}) {
        const auto family =
            list == lvwNewProjects_ ? ProjectMainType::Standard : ProjectMainType::KV32;
        connect(list, &QListWidget::itemSelectionChanged, this, [this, list, family] {
            const auto selected = list->selectedItems();
            if (selected.isEmpty()) {
                cmdOpen_->setEnabled(false);
            } else {
                chooseTemplate(selected.front(), family);
            }
        });
        connect(list, &QListWidget::itemDoubleClicked, this, &FProjectOpen::cmdOpen_Click);
        list->viewport()->installEventFilter(this);
    }
    for (ReportList* list : {lvwRegisteredProjects_, lvwRecentProjects_}) {
        connect(list, &QTreeWidget::itemSelectionChanged, this, [this, list] {
            const auto selected = list->selectedItems();
            if (selected.isEmpty()) {
                cmdOpen_->setEnabled(false);
            } else {
                chooseProject(selected.front());
            }
        });
        connect(list, &QTreeWidget::itemDoubleClicked, this, &FProjectOpen::cmdOpen_Click);
        list->viewport()->installEventFilter(this);
    }
    lvwRegisteredProjects_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvwRegisteredProjects_, &QWidget::customContextMenuRequested, this,
            &FProjectOpen::showRegisteredMenu);
    connect(mnuDeregister_, &QAction::triggered, this, &FProjectOpen::mnuDeregister_Click);
    connect(cmdSearchKVStudioProject_, &QPushButton::clicked, this,
            &FProjectOpen::cmdSearchKVStudioProject_Click);
    connect(tabSelectProject_, &QTabWidget::currentChanged, this, &FProjectOpen::tabChanged);
    connect(cmdOpen_, &QPushButton::clicked, this, &FProjectOpen::cmdOpen_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &FProjectOpen::reject);

    const auto contextHelp = [this] {
        if (windows_.showContextHelp) {
            windows_.showContextHelp(this);
        }
    };
    connect(cmdHelp_, &QPushButton::clicked, this, contextHelp);
    installContextHelp(*this, contextHelp);
    installTabSteps(*this, *tabSelectProject_);
}

// Names for what a screen reader cannot take from a caption of its own.
void FProjectOpen::applyTexts() {
    QTabBar* tabs = tabSelectProject_->tabBar();
    const std::array<QWidget*, tabCount> controls{
        lvwNewProjects_, lvwNewProjectsKV32_, lvwRegisteredProjects_, lvwRecentProjects_, nullptr};
    for (int tab = 0; tab < tabCount; ++tab) {
        const QString name = spokenText(tabs->tabText(tab));
        tabs->setAccessibleTabName(tab, name);
        if (QWidget* control = controls[static_cast<std::size_t>(tab)]) {
            control->setAccessibleName(name);
        }
    }
    txtKVStudioProject_->setAccessibleName(spokenText(lbl0_->text()));
    cmdSearchKVStudioProject_->setAccessibleName(
        spokenText(qtText(context_.texts.LoadText(searchTitleText))));
    cmdSearchKVStudioProject_->setToolTip(cmdSearchKVStudioProject_->accessibleName());
    ActiveBar1_->setAccessibleName(QStringLiteral("KorvanaStudio"));
}

CKVProject FProjectOpen::ShowDialog(bool addMode) {
    prepare(addMode);
    exec();
    return result_;
}

void FProjectOpen::prepare(bool addMode) {
    addMode_ = addMode;
    failureReported_ = false;
    result_ = CKVProject{};
    result_.EProjectOpen = ProjectOpen::Nothing;

    bool kv32 = false;
    ProjectOpenTab remembered = ProjectOpenTab::Registered;
    guarded("Form_Load", [&] {
        remembered = settings_.rememberedTab();
        kv32 = settings_.kv32Offered();
    });
    tabSelectProject_->setTabVisible(tabIndex(ProjectOpenTab::NewKV32), kv32);
    tabSelectProject_->setTabVisible(tabIndex(ProjectOpenTab::Recent), !addMode);

    if (addMode) {
        // The window gets shorter by the picture and the tool bar it leaves out.
        const int leftOut = img_->sizeHint().height() + ActiveBar1_->sizeHint().height();
        img_->hide();
        ActiveBar1_->hide();
        resize(width(), height() - leftOut);
        setWindowTitle(qtText(context_.texts.LoadText(addModeCaptionText)));
        cmdCancel_->setText(qtText(context_.texts.LoadText(cancelText)));
    }
    tabSelectProject_->setAccessibleName(spokenText(windowTitle()));
    fillRegisteredList(addMode);
    fillTemplateLists(addMode);
    fillRecentList(addMode);

    // A remembered tab that is not offered now opens the Registered tab.
    if (!tabSelectProject_->isTabVisible(tabIndex(remembered))) {
        remembered = ProjectOpenTab::Registered;
    }
    tabSelectProject_->setCurrentIndex(tabIndex(remembered));
    // The developer starts in the list of the shown tab: arrows, or the first
    // letters of a name, and Enter open a project without the mouse.
    tabSelectProject_->currentWidget()->setFocus();
    cmdOpen_->setEnabled(false);
}

// A damaged hive fails every read the same way: the developer is told once
// per showing, and the dialog goes on with what it could read.
void FProjectOpen::guarded(std::string_view procedure, const std::function<void()>& step) {
    if (auto failure = failureOf(step); failure && !failureReported_) {
        failureReported_ = true;
        ReportError(context_.messages, context_.texts,
                    "Error in function '" + std::string(procedure) + "'!", failure->number,
                    failure->description);
    }
}

void FProjectOpen::fillTemplateLists(bool addMode) {
    lvwNewProjects_->clear();
    lvwNewProjectsKV32_->clear();
    std::vector<TemplateRow> rows;
    guarded("FillTemplateLists", [&] {
        rows = TemplateCatalogue(context_.registry, context_.settings.installationFolder)
                   .ListTemplates(addMode);
    });
    // Templates share their images by name, as an image list does.
    const QIcon standard = standardTemplateIcon();
    QHash<QString, QIcon> images;
    for (const TemplateRow& row : rows) {
        const QString imageKey = qt(row.iconKey).toLower();
        if (!images.contains(imageKey)) {
            images.insert(imageKey, templateIcon(row.iconFile, standard));
        }
        QListWidget* list =
            row.family == ProjectMainType::KV32 ? lvwNewProjectsKV32_ : lvwNewProjects_;
        auto* item = new QListWidgetItem(images.value(imageKey), qt(row.text), list);
        item->setData(keyRole, qt(row.key));
        item->setData(tagRole, qt(row.tag));
        item->setToolTip(qt(row.toolTip));
    }
    clearChoice(*lvwNewProjects_);
    clearChoice(*lvwNewProjectsKV32_);
}

void FProjectOpen::fillRegisteredList(bool addMode) {
    lvwRegisteredProjects_->clear();
    std::vector<RegisteredProject> rows;
    guarded("ListRegisteredProjects", [&] {
        rows = registration_.ListRegisteredProjects(addMode ? ProjectTypeMask::allButGroups()
                                                            : ProjectTypeMask::all());
    });
    for (const RegisteredProject& project : rows) {
        QTreeWidgetItem* item = lvwRegisteredProjects_->addRow(
            {qt(project.name), qt(paths::toNative(project.path)), qt(project.typeName)});
        item->setData(nameColumn, keyRole, qt(project.key));
        item->setData(nameColumn, typeRole, static_cast<int>(project.type));
    }
    clearChoice(*lvwRegisteredProjects_);
    lvwRegisteredProjects_->sizeColumns();
}

void FProjectOpen::fillRecentList(bool addMode) {
    lvwRecentProjects_->clear();
    std::vector<RecentProject> rows;
    guarded("FillRecentList",
            [&] { rows = RecentProjects(context_.registry).ListRecentProjects(addMode); });
    for (const RecentProject& recent : rows) {
        const RegisteredProject& project = recent.project;
        QTreeWidgetItem* item = lvwRecentProjects_->addRow(
            {qt(project.name), qt(paths::toNative(project.path)), qt(project.typeName)});
        item->setData(nameColumn, keyRole, qt(project.key));
        item->setData(nameColumn, typeRole, static_cast<int>(project.type));
    }
    clearChoice(*lvwRecentProjects_);
    lvwRecentProjects_->sizeColumns();
}

void FProjectOpen::chooseTemplate(QListWidgetItem* item, ProjectMainType family) {
    result_.EProjectOpen = ProjectOpen::CreateFromTemplate;
    result_.EProjectMainType = family;
    result_.TemplatePath = item->data(tagRole).toString().toStdString();
    cmdOpen_->setEnabled(true);
}

void FProjectOpen::chooseProject(QTreeWidgetItem* item) {
    const auto type = static_cast<ProjectType>(item->data(nameColumn, typeRole).toInt());
    result_.EProjectOpen =
        type == ProjectType::Group ? ProjectOpen::OpenGroup : ProjectOpen::OpenProject;
    result_.ProjectName = item->text(nameColumn).toStdString();
    cmdOpen_->setEnabled(true);
}

bool FProjectOpen::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* view = qobject_cast<QAbstractItemView*>(watched->parent());
        const auto* press = static_cast<QMouseEvent*>(event);
        if (view != nullptr && !view->indexAt(press->position().toPoint()).isValid()) {
            clearChoice(*view);
            cmdOpen_->setEnabled(false);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FProjectOpen::tabChanged(int index) {
    resetTab(shownTab_);
    shownTab_ = index;
    cmdOpen_->setEnabled(false);
}

// The tab that was left forgets its choice, so that Open never acts on a
// choice the developer cannot see.
void FProjectOpen::resetTab(int index) {
    switch (static_cast<ProjectOpenTab>(index)) {
    case ProjectOpenTab::New:
        clearChoice(*lvwNewProjects_);
        break;
    case ProjectOpenTab::NewKV32:
        clearChoice(*lvwNewProjectsKV32_);
        break;
    case ProjectOpenTab::Registered:
        clearChoice(*lvwRegisteredProjects_);
        break;
    case ProjectOpenTab::Recent:
        clearChoice(*lvwRecentProjects_);
        break;
    case ProjectOpenTab::Extended:
        txtKVStudioProject_->clear();
        break;
    }
}

void FProjectOpen::cmdOpen_Click() {
    if (cmdOpen_->isEnabled()) {
        accept();
    }
}

void FProjectOpen::reject() {
    result_.EProjectOpen = ProjectOpen::Nothing;
    QDialog::reject();
}

void FProjectOpen::done(int result) {
    const auto tab = static_cast<ProjectOpenTab>(tabSelectProject_->currentIndex());
    guarded("Form_Unload", [&] { settings_.rememberTab(tab); });
    QDialog::done(result);
}

void FProjectOpen::cmdSearchKVStudioProject_Click() {
    if (!windows_.chooseFile) {
        return;
    }
    const auto& texts = context_.texts;
    const std::string filter = texts.LoadText(projectFilterText, {".kvs", ".kvs"}) + "|" +
                               texts.LoadText(groupFilterText, {".vbg", ".vbg"});
    const QString file =
        windows_.chooseFile(this, qtText(texts.LoadText(searchTitleText)), qtFileFilter(filter));
    if (file.isEmpty()) {
        return;
    }
    txtKVStudioProject_->setText(file);
    txtKVStudioProject_->selectAll();

    std::optional<FoundProject> found;
    guarded("cmdSearchKVStudioProject_Click", [&] {
        found = RegisterFoundProject(registration_, context_.messages, texts, file.toStdString());
    });
    if (!found) {
        txtKVStudioProject_->clear();
        cmdOpen_->setEnabled(false);
        return;
    }
    // The registered list shows the new registration when the developer looks there.
    fillRegisteredList(addMode_);
    result_.EProjectOpen = found->open;
    result_.ProjectName = found->projectName;
    cmdOpen_->setEnabled(true);
}

void FProjectOpen::showRegisteredMenu(const QPoint& position) {
    mnuDeregister_->setEnabled(!lvwRegisteredProjects_->selectedItems().isEmpty());
    mnuRegisteredProjects_->popup(lvwRegisteredProjects_->viewport()->mapToGlobal(position));
}

void FProjectOpen::mnuDeregister_Click() {
    const auto selected = lvwRegisteredProjects_->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    QTreeWidgetItem* item = selected.front();
    const QString key = item->data(nameColumn, keyRole).toString();
    bool deregistered = false;
    guarded("mnuDeregister_Click", [&] {
        deregistered = registration_.DeregisterProject(item->text(nameColumn).toStdString());
    });
    if (!deregistered) {
        return;
    }
    delete item;
    for (int i = lvwRecentProjects_->topLevelItemCount() - 1; i >= 0; --i) {
        if (lvwRecentProjects_->topLevelItem(i)->data(nameColumn, keyRole).toString() == key) {
            delete lvwRecentProjects_->takeTopLevelItem(i);
        }
    }
    cmdOpen_->setEnabled(false);
}

void FProjectOpen::btnOptions_Click() {
    if (windows_.showOptions) {
        windows_.showOptions(this);
    }
    // The own templates folder may have changed.
    fillTemplateLists(false);
}

} // namespace korvana::dialogs
