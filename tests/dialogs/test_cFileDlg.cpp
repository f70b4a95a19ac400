#include "TestFiles.h"
#include "dialogs/FileDlgLogic.h"
#include "TestDoubles.h"
#include "dialogs/cFileDlg.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace FileDlg;

namespace {
const QChar NUL(0);
}

TEST(FileDlgLogic, FilterNotationBecomesANulList)
{
    EXPECT_EQ(filterToNulList("AVI Files|*.avi"),
              QString("AVI Files") + NUL + "*.avi" + NUL + NUL);
    EXPECT_EQ(filterToNulList("BMP Files|*.bmp:DIB Files|*.dib"),
              QString("BMP Files") + NUL + "*.bmp" + NUL + "DIB Files" + NUL + "*.dib" + NUL + NUL);
    // ":" separates even inside a description.
    EXPECT_EQ(filterToNulList("Time: now|*.x"), QString("Time") + NUL + " now" + NUL + "*.x" + NUL + NUL);
}

TEST(FileDlgLogic, TitlesExistenceAndSpecialFolders)
{
    EXPECT_EQ(fileTitle("/home/t/pics/cat.bmp"), "cat.bmp");
    EXPECT_EQ(fileTitle("C:\\pics\\cat.bmp"), "cat.bmp");
    EXPECT_EQ(fileTitle("/home/t/"), "");
    EXPECT_EQ(fileTitle(""), "");
    EXPECT_EQ(fileTitle("/tmp/a*b"), "");

    QTemporaryDir dir;
    EXPECT_FALSE(cFileDlg::ExistFile(dir.filePath("nothing.bmp")));
    EXPECT_FALSE(cFileDlg::ExistFile(dir.path()));
    EXPECT_FALSE(cFileDlg::ExistFile(""));
    EXPECT_TRUE(cFileDlg::ExistFile(writeBytes(dir.filePath("x.bmp"), {})));

    EXPECT_EQ(specialFolderPath(0x24), "");   // the Windows folder has no counterpart
}

class FileDlgTest : public ::testing::Test {
protected:
    ScopedPlatform platform;
    QTemporaryDir dir;
};

TEST_F(FileDlgTest, SuccessfulOpenWithTheSecondFilter)
{
    const QString chosen = dir.filePath("pic.dib");
    platform.dialogs.answer(chosen);
    cFileDlg dlg;
    dlg.setDlgTitle("Choose BMP file to add to video stream");
    dlg.setFilter("BMP Files|*.bmp:DIB Files|*.dib");
    dlg.setFilterIndex(2);
    dlg.setFlags(OFN_ENABLEHOOK | OFN_ENABLETEMPLATE);
    QString name, title;
    ASSERT_TRUE(dlg.VBGetOpenFileName(name, title));

    const FileDialogRequest &req = platform.dialogs.requests.at(0);
    EXPECT_EQ(req.mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(req.title, "Choose BMP file to add to video stream");
    EXPECT_EQ(req.filters, (QList<FileFilter>{{"BMP Files", "*.bmp"}, {"DIB Files", "*.dib"}}));
    EXPECT_EQ(req.filterIndex, 2);
    EXPECT_TRUE(req.fileMustExist);
    EXPECT_TRUE(req.hideReadOnly);
    EXPECT_FALSE(req.multiSelect);

    EXPECT_EQ(name, chosen);
    EXPECT_EQ(title, "pic.dib");
    EXPECT_EQ(dlg.FilterIndex(), 2);
    EXPECT_EQ(dlg.Filter(), QString("DIB Files") + NUL + "*.dib");
    EXPECT_EQ(dlg.Flags(), OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
    EXPECT_EQ(dlg.InitDirectory(), chosen);

    // A second dialog on the object starts where the first ended.
    platform.dialogs.answer("");
    dlg.VBGetOpenFileName(name);
    EXPECT_EQ(platform.dialogs.requests.at(1).initialDir, chosen);
    EXPECT_EQ(platform.dialogs.requests.at(1).filters, (QList<FileFilter>{{"DIB Files", "*.dib"}}));
}
