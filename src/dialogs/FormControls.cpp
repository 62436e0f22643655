#include "dialogs/FormControls.h"

#include "dialogs/LocalizeForm.h"
#include "dialogs/ReportList.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace korvana::dialogs {

QPushButton* taggedButton(QWidget* parent, const QString& objectName, TextId text) {
    auto* button = new QPushButton(objectName, parent);
    button->setObjectName(objectName);
    setTag(*button, text);
    return button;
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* button : buttons) {
        row->addWidget(button);
    }
    return row;
}

ReportList* taggedReportList(QWidget* parent, const QString& objectName, const QLocale& locale,
                             std::initializer_list<int> columnTexts) {
    auto* list = new ReportList(parent, locale);
    list->setObjectName(objectName);
    list->setColumnTitles(static_cast<int>(columnTexts.size()));
    setTags(*list, columnTexts);
    return list;
}

} // namespace korvana::dialogs
