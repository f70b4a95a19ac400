#include "TestDoubles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(MessageService, MsgBoxFallsBackToTheApplicationTitle)
{
    ScopedPlatform platform;
    platform.messages.answers.enqueue(MsgResult::No);
    EXPECT_EQ(MsgBox("Sure?", MsgIcon::Question, MsgButtons::YesNo), MsgResult::No);
    MsgBox("Error occurred!", MsgIcon::Information, MsgButtons::Ok, "SHCOPY");
    ASSERT_EQ(platform.messages.shown.size(), 2);
    EXPECT_EQ(platform.messages.shown[0].title, "Ardenox");
    EXPECT_EQ(platform.messages.shown[0].icon, MsgIcon::Question);
    EXPECT_EQ(platform.messages.shown[1].title, "SHCOPY");
}

TEST(FileDialogService, NulFilterListSplitsIntoPairs)
{
    const QString filter = QString("Ardeno Tests (*.ard)") + QChar(0) + "*.ard" + QChar(0)
                           + "All" + QChar(0) + "*.*" + QChar(0) + QChar(0);
    const auto pairs = parseNulSeparatedFilter(filter);
    ASSERT_EQ(pairs.size(), 2);
    EXPECT_EQ(pairs[0], (FileFilter{"Ardeno Tests (*.ard)", "*.ard"}));
    EXPECT_EQ(pairs[1], (FileFilter{"All", "*.*"}));
    EXPECT_TRUE(parseNulSeparatedFilter(QString()).isEmpty());
}

TEST(FileDialogService, ChoosingAFileMakesItsFolderTheWorkingDirectory)
{
    ScopedPlatform platform;
    const QString before = QDir::currentPath();
    QTemporaryDir dir;
    platform.dialogs.answer(dir.path() + "/chosen.ard");
    platform.dialogs.answer("");
    FileDialogRequest request;
    EXPECT_TRUE(Platform::fileDialogs().choose(request).accepted);
    EXPECT_EQ(QDir::currentPath(), QDir(dir.path()).canonicalPath());
    // A cancelled dialog leaves the working directory where it was.
    EXPECT_FALSE(Platform::fileDialogs().choose(request).accepted);
    EXPECT_EQ(QDir::currentPath(), QDir(dir.path()).canonicalPath());
    QDir::setCurrent(before);
}
