#include "ui/shell/Commands.h"

#include "res/resource.h"
#include "ui/keys/KeyTable.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(Commands, TableIsSortedAndUnique)
{
    for (size_t i = 1; i < g_commandCount; ++i)
        EXPECT_LT(g_commands[i - 1].id, g_commands[i].id) << g_commands[i].id;
    EXPECT_EQ(Command_Route(ID_PATROL_ALL), ROUTE_SHELL);
    EXPECT_EQ(Command_Route(ID_COPY), ROUTE_BY_FOCUS);
    EXPECT_EQ(Command_Route(ID_SAVE_AS), ROUTE_NONE);
    EXPECT_EQ(Command_Route(32947), -1);   // a gap among the colour labels
    EXPECT_EQ(Command_Route(1), -1);
}

TEST(Commands, ToolbarAndMenuIconsNameRoutedCommands)
{
    ASSERT_EQ(g_toolbarCount, 27u);
    int separators = 0;
    std::set<int> ids;
    for (size_t i = 0; i < g_toolbarCount; ++i) {
        if (g_toolbar[i].id == 0) {
            ++separators;
            continue;
        }
        EXPECT_GE(Command_Route(g_toolbar[i].id), 0) << g_toolbar[i].id;
        EXPECT_TRUE(ids.insert(g_toolbar[i].id).second) << g_toolbar[i].id;
        EXPECT_LT(g_toolbar[i].image, 44);
    }
    EXPECT_EQ(separators, 4);
    ASSERT_EQ(g_menuIconCount, 33u);
    ids.clear();
    for (size_t i = 0; i < g_menuIconCount; ++i) {
        EXPECT_GE(Command_Route(g_menuIcons[i].id), 0) << g_menuIcons[i].id;
        EXPECT_TRUE(ids.insert(g_menuIcons[i].id).second) << g_menuIcons[i].id;
    }
    // A toolbar button shows the same picture as its menu item.
    for (size_t i = 0; i < g_toolbarCount; ++i) {
        for (size_t j = 0; j < g_menuIconCount; ++j) {
            if (g_toolbar[i].id && g_toolbar[i].id == g_menuIcons[j].id) {
                EXPECT_EQ(g_toolbar[i].image, g_menuIcons[j].image) << g_toolbar[i].id;
            }
        }
    }
}

TEST(Commands, ViewFlagsAndPatrolKinds)
{
    int bits = 0;
    for (int id : {32933, 32965, 32966, 32967, 32968, 32969})
        bits |= Command_ViewFlagBit(id);
    EXPECT_EQ(bits, 2 | 4 | 8 | 16 | 32 | 64);
    EXPECT_EQ(Command_PatrolKind(ID_PATROL_CURRENT), 1);
    EXPECT_EQ(Command_PatrolKind(ID_PATROL_TEMPORARY), 3);
    EXPECT_EQ(Command_PatrolKind(ID_REFRESH), -1);
}

}  // namespace

namespace {

// The keyboard page and the default key tables offer only commands that the
// main window routes.
TEST(Commands, FunctionListAndDefaultKeysNameRoutedCommands)
{
    for (int i = 0; i < FunctionCount; ++i) {
        if (FunctionList[i].id) {
            EXPECT_GE(Command_Route(FunctionList[i].id), 0) << FunctionList[i].name;
        }
    }
    for (KeyScope scope : {KeyScope::Global, KeyScope::FolderView, KeyScope::TitleView}) {
        int count = 0;
        const KeyBinding* keys = DefaultKeys(scope, &count);
        for (int i = 0; i < count; ++i)
            EXPECT_GE(Command_Route(keys[i].cmd), 0) << keys[i].cmd;
    }
}

}  // namespace
