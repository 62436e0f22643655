#pragma once

#include "text/TextService.h"

#include <QWidget>
#include <initializer_list>

namespace korvana::dialogs {

// Forms never hold their own texts: each form, control and menu action that
// shows a text carries its string-table number in the dynamic property "tag"
// (an int or a decimal string), and LocalizeForm puts the text in place when
// the form loads. A form shows its designer captions until then.
inline constexpr const char* tagProperty = "tag";

// Headers of a QTreeWidget or QTableWidget and the tabs of a QTabWidget have
// no property of their own, so the widget carries "tags": a list with one
// number per column or tab, in order. An empty entry, or a list shorter than
// the columns, leaves that column or tab as it is.
inline constexpr const char* tagsProperty = "tags";

// Sets the form's window title (from its own "tag") and the caption of every
// tagged descendant: button and label texts, group box titles, menu action
// texts, and the tagged headers and tabs. A tagged widget that has no caption
// is left alone, and so is a tag that is not a number.
void LocalizeForm(QWidget& form, const TextService& texts);

// Tagging helpers for code that builds forms.
void setTag(QObject& object, TextId id);
// setTags: 0 leaves that column or tab untagged.
void setTags(QWidget& widget, std::initializer_list<int> ids);

} // namespace korvana::dialogs
