#include "dialogs/ReportList.h"

#include <QHeaderView>

namespace korvana::dialogs {

namespace {

class ReportItem : public QTreeWidgetItem {
  public:
    ReportItem(const QStringList& columns, const QCollator& collator)
        : QTreeWidgetItem(columns), collator_(collator) {}

    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() != nullptr ? treeWidget()->sortColumn() : 0;
        return collator_.compare(text(column), other.text(column)) < 0;
    }

  private:
    const QCollator& collator_;
};

} // namespace

ReportList::ReportList(QWidget* parent, const QLocale& locale)
    : QTreeWidget(parent), collator_(locale) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    collator_.setNumericMode(true);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // The header keeps the sort column and order itself: a click on a new
    // column sorts it ascending, a click on the sorted column reverses it.
    header()->setSectionsClickable(true);
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    header()->setSortIndicatorShown(true);
    connect(header(), &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) {
                if (column >= 0) {
                    model()->sort(column, order);
                }
            });
}

QTreeWidgetItem* ReportList::addRow(const QStringList& columns) {
    auto* item = new ReportItem(columns, collator_);
    addTopLevelItem(item);
    return item;
}

void ReportList::setColumnTitles(int count) {
    setColumnCount(count);
    for (int column = 0; column < count; ++column) {
        headerItem()->setData(column, Qt::InitialSortOrderRole, Qt::AscendingOrder);
    }
}

void ReportList::sizeColumns() {
    for (int column = 0; column < columnCount(); ++column) {
        resizeColumnToContents(column);
    }
}

QLocale reportLocale(const TextService& texts) {
    return texts.language() == englishLanguage ? QLocale(QLocale::English, QLocale::UnitedStates)
                                               : QLocale(QLocale::German, QLocale::Germany);
}

} // namespace korvana::dialogs
