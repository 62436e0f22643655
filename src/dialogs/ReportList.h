#pragma once

#include "text/TextService.h"

#include <QCollator>
#include <QTreeWidget>

namespace korvana::dialogs {

// A list in report view (one row per item, columns with headers) that sorts by
// the column whose header is clicked: ascending first, reversed by a second
// click on the same header. Texts compare as people read them: case ignored,
// umlauts beside their base letters, numbers by value ("Plant 2" before
// "Plant 10"). Items keep the order they were added in until a header is
// clicked.
class ReportList : public QTreeWidget {
  public:
    ReportList(QWidget* parent, const QLocale& locale);

    // An item whose columns compare with the list's collation.
    QTreeWidgetItem* addRow(const QStringList& columns);

    // Sets the number of columns; each sorts ascending on its first click.
    void setColumnTitles(int count);

    // The first two columns fit their contents, the last its contents or header.
    void sizeColumns();

    const QCollator& collator() const { return collator_; }

  private:
    QCollator collator_;
};

// The locale report lists compare their texts in: that of the user-interface
// language.
QLocale reportLocale(const TextService& texts);

} // namespace korvana::dialogs
