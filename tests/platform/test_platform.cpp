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
