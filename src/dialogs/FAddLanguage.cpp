#include "dialogs/FAddLanguage.h"

#include "dialogs/FormControls.h"
#include "dialogs/Help.h"
#include "dialogs/LocalizeForm.h"
#include "dialogs/ReportList.h"
#include "dialogs/SpokenText.h"
#include "project/LanguageOffer.h"
#include "project/SystemLanguages.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QVBoxLayout>
#include <initializer_list>

namespace korvana::dialogs {

namespace {

// The string table has no text for this caption: it reads the same in every
// language.
const QString caption = QStringLiteral("Sprache hinzufügen");

constexpr int lcidColumnText = 343;
constexpr int languageColumnText = 344;
constexpr TextId okText{10};
constexpr TextId cancelText{11};
constexpr TextId helpText{12};

constexpr int lcidColumn = 0;
constexpr int languageColumn = 1;
// Where an item keeps the index of its language among those offered, so that
// the languages are found again in whatever order the list is sorted.
constexpr int offeredRole = Qt::UserRole;

} // namespace

FAddLanguage::FAddLanguage(QWidget* owner, const TextService& texts)
    : QDialog(owner), systemLanguages_(ListSystemLanguages(texts.language())) {
    setObjectName(QStringLiteral("FAddLanguage"));
    setWindowTitle(caption);

    lvwLanguages_ = taggedReportList(this, QStringLiteral("lvwLanguages"), reportLocale(texts),
                                     {lcidColumnText, languageColumnText});

    cmdOK_ = taggedButton(this, QStringLiteral("cmdOK"), okText);
    cmdOK_->setDefault(true);
    cmdCancel_ = taggedButton(this, QStringLiteral("cmdCancel"), cancelText);
    cmdHelp_ = taggedButton(this, QStringLiteral("cmdHelp"), helpText);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lvwLanguages_);
    layout->addLayout(buttonRow({cmdOK_, cmdCancel_, cmdHelp_}));

    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdHelp_, &QPushButton::clicked, this, &FAddLanguage::showHelp);
    // Space toggles the current item's box through the list itself.
    connect(lvwLanguages_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { toggle(item); });
    installContextHelp(*this, [this] { showHelp(); });

    LocalizeForm(*this, texts);
    nameControlsForAssistiveTools();
    resize(420, 440);
}

void FAddLanguage::nameControlsForAssistiveTools() {
    lvwLanguages_->setAccessibleName(spokenText(windowTitle()));
    for (QPushButton* captioned : {cmdOK_, cmdCancel_, cmdHelp_}) {
        captioned->setAccessibleName(spokenText(captioned->text()));
    }
}

void FAddLanguage::ShowDialog(std::vector<LanguageRow>& callerLanguages) {
    prepare(callerLanguages);
    if (exec() == QDialog::Accepted) {
        addLanguages(callerLanguages, checkedLanguages());
    }
}

void FAddLanguage::prepare(const std::vector<LanguageRow>& existing) {
    offered_ = languagesNotIn(systemLanguages_, existing);
    lvwLanguages_->clear();
    for (std::size_t index = 0; index < offered_.size(); ++index) {
        const LanguageRow& row = offered_[index];
        QTreeWidgetItem* item = lvwLanguages_->addRow(
            {QString::fromStdString(row.text), QString::fromStdString(row.name)});
        item->setData(lcidColumn, offeredRole, static_cast<qulonglong>(index));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(lcidColumn, Qt::Unchecked);
        item->setTextAlignment(lcidColumn, Qt::AlignRight | Qt::AlignVCenter);
        if (row.bold) {
            QFont bold = item->font(lcidColumn);
            bold.setBold(true);
            item->setFont(lcidColumn, bold);
            item->setFont(languageColumn, bold);
        }
    }
    lvwLanguages_->sizeColumns();
    // Nothing is chosen at the start, yet the first language is current, so
    // that Space checks it and the arrows move on from it.
    lvwLanguages_->clearSelection();
    lvwLanguages_->selectionModel()->setCurrentIndex(lvwLanguages_->model()->index(0, 0),
                                                     QItemSelectionModel::NoUpdate);
    lvwLanguages_->setFocus();
}

std::vector<LanguageRow> FAddLanguage::checkedLanguages() const {
    std::vector<LanguageRow> checked;
    for (int position = 0; position < lvwLanguages_->topLevelItemCount(); ++position) {
        const QTreeWidgetItem* item = lvwLanguages_->topLevelItem(position);
        if (item->checkState(lcidColumn) == Qt::Checked) {
            checked.push_back(offered_.at(item->data(lcidColumn, offeredRole).toULongLong()));
        }
    }
    return checked;
}

void FAddLanguage::toggle(QTreeWidgetItem* item) {
    item->setCheckState(lcidColumn,
                        item->checkState(lcidColumn) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void FAddLanguage::showHelp() {
    if (contextHelp_) {
        contextHelp_(this);
    }
}

} // namespace korvana::dialogs
