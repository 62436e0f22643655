#include "StandinWindow.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

namespace korvana::standin {

namespace {

// Names in the IDE's settings are 8-bit text of its code page.
QString fromStored(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString hexOrNone(const std::optional<Bytes>& value) {
    return value ? QString::fromStdString(toHex(*value)) : QStringLiteral("(none)");
}

QLabel* monospaceLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

} // namespace

StandinWindow::StandinWindow(IdeSnapshot snapshot, ClosingHandler closing, QWidget* parent)
    : QWidget(parent), snapshot_(std::move(snapshot)), layout_(snapshot_.layout),
      closing_(std::move(closing)) {
    setWindowTitle(QStringLiteral("Visual Basic %1.0 (stand-in)").arg(snapshot_.version));
    auto* column = new QVBoxLayout(this);

    const QString project = snapshot_.arguments.empty()
                                ? QStringLiteral("(no project)")
                                : QString::fromStdString(snapshot_.arguments.front());
    auto* projectLabel = new QLabel(QStringLiteral("Project: %1").arg(project), this);
    projectLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(projectLabel);

    auto* toolbox = new QTreeWidget(this);
    toolbox->setHeaderLabel(QStringLiteral("Toolbox"));
    for (const ToolBoxTab& tab : snapshot_.tabs) {
        auto* item = new QTreeWidgetItem(toolbox, {QStringLiteral("%1  (tab %2, %3 controls)")
                                                       .arg(fromStored(tab.name))
                                                       .arg(tab.id)
                                                       .arg(tab.controls.size())});
        for (const std::string& control : tab.controls) {
            new QTreeWidgetItem(item, {fromStored(control)});
        }
    }
    toolbox->expandAll();
    column->addWidget(toolbox, 2);

    column->addWidget(new QLabel(QStringLiteral("Add-ins loaded:"), this));
    auto* addIns = new QListWidget(this);
    for (const std::string& name : snapshot_.addIns) {
        addIns->addItem(fromStored(name));
    }
    column->addWidget(addIns, 1);

    for (const std::string& problem : snapshot_.problems) {
        auto* label = new QLabel(QString::fromStdString(problem), this);
        label->setStyleSheet(QStringLiteral("color: darkred"));
        column->addWidget(label);
    }

    auto* layoutBox = new QGroupBox(QStringLiteral("Window layout"), this);
    auto* layoutColumn = new QVBoxLayout(layoutBox);
    dock_ = monospaceLabel(layoutBox);
    ui_ = monospaceLabel(layoutBox);
    layoutColumn->addWidget(dock_);
    layoutColumn->addWidget(ui_);
    auto* buttons = new QHBoxLayout;
    layoutColumn->addLayout(buttons);
    const auto addPlaceButton = [&](const QString& text, ExplorerPlace place) {
        auto* button = new QPushButton(text, layoutBox);
        connect(button, &QPushButton::clicked, this, [this, place] { moveProjectExplorer(place); });
        buttons->addWidget(button);
        return button;
    };
    left_ = addPlaceButton(QStringLiteral("Project explorer left"), ExplorerPlace::Left);
    right_ = addPlaceButton(QStringLiteral("Project explorer right"), ExplorerPlace::Right);
    floating_ = addPlaceButton(QStringLiteral("Float project explorer"), ExplorerPlace::Floating);
    column->addWidget(layoutBox);

    auto* exit = new QPushButton(QStringLiteral("E&xit"), this);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    column->addWidget(exit, 0, Qt::AlignRight);

    showLayout();
    resize(520, 600);
}

QPushButton* StandinWindow::placeButton(ExplorerPlace place) const {
    switch (place) {
    case ExplorerPlace::Left:
        return left_;
    case ExplorerPlace::Right:
        return right_;
    case ExplorerPlace::Floating:
        return floating_;
    }
    return nullptr;
}

QString StandinWindow::dockText() const {
    return dock_->text();
}

QString StandinWindow::uiText() const {
    return ui_->text();
}

void StandinWindow::closeEvent(QCloseEvent* event) {
    // Told once, however often the window is asked to close.
    if (closing_) {
        std::exchange(closing_, nullptr)(layout_);
    }
    QWidget::closeEvent(event);
}

void StandinWindow::moveProjectExplorer(ExplorerPlace place) {
    layout_.moveProjectExplorer(place);
    showLayout();
}

void StandinWindow::showLayout() {
    dock_->setText(QStringLiteral("Dock: %1").arg(hexOrNone(layout_.dock)));
    ui_->setText(QStringLiteral("UI: %1").arg(hexOrNone(layout_.ui)));
}

} // namespace korvana::standin
