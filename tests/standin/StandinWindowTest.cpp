#include "StandinWindow.h"

#include <QApplication>
#include <QPushButton>
#include <gtest/gtest.h>

namespace korvana::standin {
namespace {

// The application object comes from the shared test environment.
class StandinWindowTest : public ::testing::Test {};

TEST_F(StandinWindowTest, MovingTheExplorerChangesTheLayoutItLeaves) {
    IdeSnapshot snapshot;
    snapshot.version = 5;
    snapshot.arguments = {"/p/Demo.vbp"};
    snapshot.layout = {Bytes{1, 9}, std::nullopt};
    std::vector<IdeLayout> closedWith;
    StandinWindow window(snapshot, [&](const IdeLayout& layout) { closedWith.push_back(layout); });
    EXPECT_EQ(window.windowTitle(), "Visual Basic 5.0 (stand-in)");
    EXPECT_EQ(window.dockText(), "Dock: 0109");
    EXPECT_EQ(window.uiText(), "UI: (none)");

    window.placeButton(ExplorerPlace::Floating)->click();
    window.placeButton(ExplorerPlace::Right)->click();
    EXPECT_EQ(window.layout(), (IdeLayout{Bytes{2, 9}, Bytes{2, 0, 0, 0}}));
    EXPECT_EQ(window.dockText(), "Dock: 0209");
    EXPECT_EQ(window.uiText(), "UI: 02000000");

    // Closing hands the layout over once, as the IDE writes it when it ends.
    EXPECT_TRUE(closedWith.empty());
    window.show();
    window.close();
    window.close();
    ASSERT_EQ(closedWith.size(), 1u);
    EXPECT_EQ(closedWith.front(), window.layout());
}

} // namespace
} // namespace korvana::standin
