#pragma once

#include "IdeSnapshot.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace korvana::standin {

// The stand-in IDE's one window: the project file it was started on, the
// toolbox, the loaded add-ins and the layout values, with buttons that move
// the project explorer and so change the layout the IDE leaves behind.
class StandinWindow : public QWidget {
  public:
    explicit StandinWindow(IdeSnapshot snapshot, QWidget* parent = nullptr);

    // The layout as the person has left it so far.
    const IdeLayout& layout() const { return layout_; }

    QPushButton* placeButton(ExplorerPlace place) const;
    QString dockText() const;
    QString uiText() const;

  private:
    void moveProjectExplorer(ExplorerPlace place);
    void showLayout();

    IdeSnapshot snapshot_;
    IdeLayout layout_;
    QLabel* dock_ = nullptr;
    QLabel* ui_ = nullptr;
    QPushButton* left_ = nullptr;
    QPushButton* right_ = nullptr;
    QPushButton* floating_ = nullptr;
};

} // namespace korvana::standin
