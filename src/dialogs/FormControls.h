#pragma once

#include "text/TextTypes.h"

#include <QString>
#include <initializer_list>

class QHBoxLayout;
class QLocale;
class QPushButton;
class QWidget;

namespace korvana::dialogs {

class ReportList;

// A button named after its control, captioned by LocalizeForm from `text`.
QPushButton* taggedButton(QWidget* parent, const QString& objectName, TextId text);

// The row of a dialog's closing buttons, right-aligned in the given order.
QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons);

// A report list named after its control, with one column per header text.
ReportList* taggedReportList(QWidget* parent, const QString& objectName, const QLocale& locale,
                             std::initializer_list<int> columnTexts);

} // namespace korvana::dialogs
