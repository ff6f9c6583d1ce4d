#include "paths.h"
#include "long_path.h"

#include <gtest/gtest.h>

using Parts = std::vector<std::wstring>;

TEST(PathSplit, DriveFolderNameAndExtension) {
    const Path_Parts p = Path_Split(L"C:\\Data\\Book1.xlsx");
    EXPECT_EQ(p.Drive, L"C:");
    EXPECT_EQ(p.Folder, L"C:\\Data");
    EXPECT_EQ(p.Name, L"Book1.xlsx");
    EXPECT_EQ(p.Ext, L"xlsx");
    EXPECT_EQ(p.Parts(), (Parts{L"C:", L"C:\\Data"}));
}

TEST(PathSplit, FolderOnly) {
    Path_Parts p = Path_Split(L"C:\\Data\\Sub");
    EXPECT_EQ(p.Folder, L"C:\\Data\\Sub");
    EXPECT_EQ(p.Name, L"");
    EXPECT_EQ(p.Ext, L"");
    EXPECT_EQ(p.Parts(), (Parts{L"C:", L"C:\\Data", L"C:\\Data\\Sub"}));

    // A trailing backslash adds no extra level.
    p = Path_Split(L"C:\\Data\\");
    EXPECT_EQ(p.Folder, L"C:\\Data");
    EXPECT_EQ(p.Parts(), (Parts{L"C:", L"C:\\Data"}));
    p = Path_Split(L"C:\\");
    EXPECT_EQ(p.Drive, L"C:");
    EXPECT_EQ(p.Folder, L"C:");
    EXPECT_EQ(p.Parts(), (Parts{L"C:"}));
}

TEST(PathSplit, NetworkPath) {
    const Path_Parts p = Path_Split(L"\\\\server\\share\\dir\\a.txt");
    EXPECT_EQ(p.Drive, L"");
    EXPECT_EQ(p.Folder, L"\\\\server\\share\\dir");
    EXPECT_EQ(p.Name, L"a.txt");
    EXPECT_EQ(p.Ext, L"txt");
    EXPECT_EQ(p.Parts(), (Parts{L"\\", L"\\\\server", L"\\\\server\\share", L"\\\\server\\share\\dir"}));
}

TEST(PathSplit, NameOnlyAndEmpty) {
    Path_Parts p = Path_Split(L"a.txt");
    EXPECT_EQ(p.Folder, L"");
    EXPECT_EQ(p.Name, L"a.txt");
    EXPECT_EQ(p.Ext, L"txt");
    EXPECT_TRUE(p.Parts().empty());

    p = Path_Split(L"abc");
    EXPECT_EQ(p.Folder, L"abc");
    EXPECT_EQ(p.Name, L"");
    EXPECT_EQ(p.Parts(), (Parts{L"abc"}));

    p = Path_Split(L"");
    EXPECT_EQ(p.Folder, L"");
    EXPECT_TRUE(p.Parts().empty());
}

TEST(PathSplit, ExtensionIsAfterTheLastPointOfTheWholePath) {
    const Path_Parts p = Path_Split(L"C:\\v1.2\\notes");
    EXPECT_EQ(p.Folder, L"C:\\v1.2\\notes");
    EXPECT_EQ(p.Ext, L"2\\notes");
    const Path_Parts q = Path_Split(L"C:\\a\\archive.tar.gz");
    EXPECT_EQ(q.Name, L"archive.tar.gz");
    EXPECT_EQ(q.Ext, L"gz");
}

TEST(PathProperCase, EachComponent) {
    EXPECT_EQ(Path_Proper_Case(L"c:\\DATA\\book1.XLSX"), L"C:\\Data\\Book1.xlsx");
    EXPECT_EQ(Path_Proper_Case(L""), L"");
    EXPECT_EQ(Path_Proper_Case(L"\\\\SRV\\share"), L"\\\\Srv\\Share");
    EXPECT_EQ(Path_Proper_Case(L"c:\\資料\\ＡＢＣ.txt"), L"C:\\資料\\Ａｂｃ.txt");
}

TEST(PathJoin, FourCases) {
    EXPECT_EQ(Path_Join(L"C:\\a\\", L"\\b.txt"), L"C:\\a\\b.txt");
    EXPECT_EQ(Path_Join(L"C:\\a\\", L"b.txt"), L"C:\\a\\b.txt");
    EXPECT_EQ(Path_Join(L"C:\\a", L"\\b.txt"), L"C:\\a\\b.txt");
    EXPECT_EQ(Path_Join(L"C:\\a", L"b.txt"), L"C:\\a\\b.txt");
    EXPECT_EQ(Path_Join(L"", L"a.txt"), L"\\a.txt");
}

TEST(LongPath, LongFullPathsTakeTheExtendedFormCleanedUp) {
    const std::wstring tail(260, L'x');
    EXPECT_EQ(Extended_Length_Path(L"C:\\short\\a.txt"), L"C:\\short\\a.txt");
    EXPECT_EQ(Extended_Length_Path(L"C:\\a\\.\\b\\..\\\\c/" + tail), L"\\\\?\\C:\\a\\c\\" + tail);
    // ".." never climbs above the drive or the share.
    EXPECT_EQ(Extended_Length_Path(L"d:\\..\\..\\" + tail + L"\\"), L"\\\\?\\d:\\" + tail);
    EXPECT_EQ(Extended_Length_Path(L"\\\\server\\share\\..\\" + tail), L"\\\\?\\UNC\\server\\share\\" + tail);
    // Already extended, a device, or not a full path: left as it is.
    // A server or share named "." or "..", or no share, is no UNC root.
    for (const std::wstring& as_is :
         {L"\\\\?\\C:\\" + tail, L"\\\\.\\pipe\\" + tail, L"relative\\" + tail, L"\\" + tail, L"\\\\srv\\..\\" + tail,
          L"\\\\..\\share\\" + tail, L"\\\\srv\\\\" + tail})
        EXPECT_EQ(Extended_Length_Path(as_is), as_is);
}
