#pragma once

#include "IdeSnapshot.h"

#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

namespace korvana::standin {

// The stand-in IDE's one window: the project file it was started on, the
// toolbox, the loaded add-ins and the layout values, with buttons that move
// the project explorer and so change the layout the IDE leaves behind.
class StandinWindow : public QWidget {
  public:
    // `closing` gets the layout when the window closes: the IDE writes its
    // layout when it ends.
    using ClosingHandler = std::function<void(const IdeLayout&)>;

    StandinWindow(IdeSnapshot snapshot, ClosingHandler closing, QWidget* parent = nullptr);

    // The layout as the person has left it so far.
    const IdeLayout& layout() const { return layout_; }

    QPushButton* placeButton(ExplorerPlace place) const;
    QString dockText() const;
    QString uiText() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void moveProjectExplorer(ExplorerPlace place);
    void showLayout();

    IdeSnapshot snapshot_;
    IdeLayout layout_;
    ClosingHandler closing_;
    QLabel* dock_ = nullptr;
    QLabel* ui_ = nullptr;
    QPushButton* left_ = nullptr;
    QPushButton* right_ = nullptr;
    QPushButton* floating_ = nullptr;
};

} // namespace korvana::standin
