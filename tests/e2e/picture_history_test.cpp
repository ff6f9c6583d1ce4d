// Pictures pasted and scaled, and the copy history recorded, shown, picked again and saved.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "bitmap_image.h"
#include "paste_run_fixture.h"

namespace {

constexpr int Img_Pic_0 = ids::Img_Pic;
constexpr int Lst_Rireki = ids::Lst_Select + 2;
constexpr double Cell_Width = 48, Cell_Height = 18.75;  // points, of a cell of a new sheet

bool Near(double a, double b) { return std::fabs(a - b) < 0.01; }
bool Clipboard_Empty() { return CountClipboardFormats() == 0; }

// A picture copied with its bitmap rendered only when asked for: the test knows when the program has
// read it, and can make the next copy after that, not before.
class Delayed_Picture {
public:
    Delayed_Picture(int width, int height) : width_(width), height_(height) {
        window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    }
    Delayed_Picture(const Delayed_Picture&) = delete;
    Delayed_Picture& operator=(const Delayed_Picture&) = delete;
    ~Delayed_Picture() { DestroyWindow(window_); }

    bool Copy() {
        if (!window_ || !OpenClipboard(window_)) return false;
        const bool put = EmptyClipboard() && SetClipboardData(CF_DIB, nullptr) == nullptr;
        CloseClipboard();
        return put;
    }
    // Answers the clipboard's requests until the bitmap was asked for.
    bool Wait_Read(int timeout_ms) {
        return Wait_Until(
            [&] {
                MSG message;
                while (PeekMessageW(&message, window_, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
                return rendered_;
            },
            timeout_ms);
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        auto* self = reinterpret_cast<Delayed_Picture*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_RENDERFORMAT && wparam == CF_DIB) {
            SetClipboardData(CF_DIB, clipboard_copy::Picture_Block(self->width_, self->height_));
            self->rendered_ = true;
            return 0;
        }
        return DefWindowProcW(window, message, wparam, lparam);
    }

    int width_, height_;
    HWND window_ = nullptr;
    bool rendered_ = false;
};

}  // namespace

class Picture_Run_Test : public Paste_Run_Test {
protected:
    std::vector<Json_Value> Shapes() const { return Sheet()["shapes"].Items(); }
    // The picture is on the sheet and the paste is over (the clipboard emptied): the next copy can be made.
    bool Wait_Shapes(std::size_t count) const {
        return Wait_Until([&] { return Shapes().size() == count && Clipboard_Empty(); }, Paste_Timeout_Ms);
    }
    bool Choose(int option) const {
        HWND button = app->Control(ids::Opt_Joken + option);
        return Click(button) &&
               Wait_Until([&] { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }, Paste_Timeout_Ms);
    }
    std::vector<std::wstring> History_Lines() const { return List_Items(app->Control(Lst_Rireki)); }
    bool Wait_History_Top(const std::wstring& line) const {
        return Wait_Until(
            [&] {
                auto lines = History_Lines();
                return !lines.empty() && lines[0] == line;
            },
            Paste_Timeout_Ms);
    }
};

TEST_F(Picture_Run_Test, PicturesArePastedInTheChosenFormatAndScaledToTheCell) {
    Options(0, 1, 0, 1);  // "右へ", "図 (PNG)", "セルに収まる大きさ"
    Start();
    ASSERT_TRUE(Copy_Picture(400, 200));
    ASSERT_TRUE(Wait_Shapes(1));
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"B1"; }, Paste_Timeout_Ms));
    Json_Value first = Shapes()[0];
    EXPECT_TRUE(Near(first["left"].Number(), 0) && Near(first["top"].Number(), 0));
    EXPECT_TRUE(Near(first["height"].Number(), Cell_Height));  // the height limits a wide picture
    EXPECT_TRUE(Near(first["width"].Number(), Cell_Height * 2));
    EXPECT_NE(Log().find(R"x("member":"PasteSpecial","kind":"method","args":[],"named":{"Format":"図 (PNG)")x"),
              std::string::npos);
    // The history takes the picture once no copy waits to be pasted.
    EXPECT_TRUE(Wait_Until([&] { return Is_Enabled(app->Control(Img_Pic_0)); }, Paste_Timeout_Ms));
    EXPECT_FALSE(Is_Enabled(app->Control(Img_Pic_0 + 1)));

    // A second picture into the same cell: both are fitted alike.
    ASSERT_TRUE(Send(standin::Select_Cell, L"A1"));
    const std::size_t before = Calls_Since(0).size();
    ASSERT_TRUE(Copy_Picture(200, 400));
    ASSERT_TRUE(Wait_Shapes(2));
    ASSERT_TRUE(Wait_Until([&] { return Near(Shapes()[1]["height"].Number(), Cell_Height); }, Paste_Timeout_Ms));
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"B1"; }, Paste_Timeout_Ms));
    {
        // Few calls: the check of the active sheet, the cell, the paste; then the picture's size against
        // the cell's and its scaling (its aspect ratio known from the first picture); its alternative
        // text; the move. One look at the workbook a second may fall between. Nothing is read for taking
        // it back.
        const std::vector<std::string> calls = Calls_Since(before);
        std::string all;
        for (const std::string& call : calls) all += call + "\n";
        const auto paste = std::find_if(calls.begin(), calls.end(), [](const std::string& c) {
            return c.find("PasteSpecial") != std::string::npos;
        });
        ASSERT_NE(paste, calls.end()) << all;
        EXPECT_LE(paste - calls.begin() + 1, 4) << all;
        EXPECT_LE(calls.size(), 14u) << all;
        EXPECT_EQ(all.find(R"("member":"Name")"), std::string::npos) << all;
    }
    EXPECT_TRUE(Near(Shapes()[1]["width"].Number(), Cell_Height / 2));
    EXPECT_TRUE(Near(Shapes()[0]["width"].Number(), Cell_Height * 2));
    // Only the picture just pasted is fitted: no paste walks the sheet's shapes, whose number grows.
    EXPECT_EQ(Log().find(R"("object":"Shapes")"), std::string::npos);
    // The pass is over once the active cell has moved on; a cell selected before that would be moved away.
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"B1"; }, Paste_Timeout_Ms));

    // A portrait picture made as wide as the cell; its locked aspect ratio sets the height.
    ASSERT_TRUE(Choose(18));  // "セルの幅に合わせる"
    ASSERT_TRUE(Send(standin::Select_Cell, L"D1"));
    ASSERT_TRUE(Copy_Picture(200, 400));
    ASSERT_TRUE(Wait_Shapes(3));
    ASSERT_TRUE(Wait_Until([&] { return Near(Shapes()[2]["width"].Number(), Cell_Width); }, Paste_Timeout_Ms));
    EXPECT_TRUE(Near(Shapes()[2]["height"].Number(), Cell_Width * 2));
    EXPECT_TRUE(Near(Shapes()[2]["left"].Number(), Cell_Width * 3));

    // A format a bitmap cannot give: the failure on the notice line, the clipboard emptied, the picture
    // kept in the history, and the texts copied after it pasted at once (no message box holds them).
    ASSERT_TRUE(Choose(14));  // "画像 (SVG)"
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"E1"; }, Paste_Timeout_Ms));
    ASSERT_TRUE(Send(standin::Select_Cell, L"A2"));
    ASSERT_TRUE(Copy_Picture(30, 30));
    Expect_Notice(L"画像の貼付に失敗しました（1件）");
    EXPECT_TRUE(Clipboard_Empty());
    EXPECT_TRUE(Wait_Until([&] { return Is_Enabled(app->Control(Img_Pic_0 + 3)); }, Paste_Timeout_Ms));
    Read_Waiting_Copier copier;  // each text read before the next replaces it
    ASSERT_TRUE(copier.Copy(L"after one"));
    ASSERT_TRUE(copier.Copy(L"after two"));
    ASSERT_TRUE(Wait_Cell("B2", L"after two"));
    EXPECT_EQ(Cell("A2"), L"after one");
    ASSERT_TRUE(Copy_Picture(20, 20));
    Expect_Notice(L"画像の貼付に失敗しました（2件）");
    EXPECT_EQ(Shapes().size(), 3u);
}

TEST_F(Picture_Run_Test, APictureThatCannotBeReadIsGivenUpOnceAndTheNextCopiesArePasted) {
    Options(0, 1, 0, 0);  // "右へ", "図 (PNG)", no sizing
    Start();
    // Both copies come while Excel is busy: the picture, wider than any the capture reads, is replaced
    // on the clipboard before its turn.
    ASSERT_TRUE(Send(standin::Busy, L"5000"));
    Delayed_Picture picture(70000, 1);
    ASSERT_TRUE(picture.Copy());
    ASSERT_TRUE(picture.Wait_Read(Paste_Timeout_Ms));
    ASSERT_TRUE(Copy(L"after"));
    ASSERT_TRUE(Wait_Cell("A1", L"after"));
    Expect_Notice(L"画像の貼付に失敗しました（1件）");
    ASSERT_TRUE(Copy(L"next"));
    ASSERT_TRUE(Wait_Cell("B1", L"next"));
    EXPECT_TRUE(Shapes().empty());
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 0));
}

TEST_F(Picture_Run_Test, AnExcelInEnglishIsAskedForTheFormatsByTheirEnglishNames) {
    ASSERT_TRUE(SetEnvironmentVariableW(standin::Language_Variable, L"1033"));
    Options(0, 1, 2, 0);  // "右へ", "図 (PNG)", "改行を基準に縦の複数セルに貼付", no sizing
    Start();
    ASSERT_TRUE(Copy(L"x\r\ny"));
    ASSERT_TRUE(Wait_Cell("A2", L"y"));
    EXPECT_EQ(Cell("A1"), L"x");
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"B1"; }, Paste_Timeout_Ms));
    ASSERT_TRUE(Copy_Picture(40, 20));
    ASSERT_TRUE(Wait_Shapes(1));
    EXPECT_EQ(Shapes()[0]["topLeftCell"].Text(), L"B1");
    const std::string log = Log();
    EXPECT_NE(log.find(R"("member":"LanguageID","kind":"get","args":["2"])"), std::string::npos) << log;
    EXPECT_NE(log.find(R"("named":{"Format":"Unicode Text","Link":"False")"), std::string::npos) << log;
    EXPECT_NE(log.find(R"x("named":{"Format":"Picture (PNG)","Link":"False")x"), std::string::npos) << log;
}

TEST_F(Picture_Run_Test, TheHistoryRecordsShowsRepastesAndSavesEveryCopy) {
    Options(0, 1, 0, 0);  // "右へ", "図 (PNG)", no sizing
    ASSERT_TRUE(CreateDirectoryW((folder / L"RirekiText").c_str(), nullptr));
    ASSERT_TRUE(Write_Bytes(folder / L"RirekiText\\Text00.txt", "a"));
    ASSERT_TRUE(Write_Bytes(folder / L"RirekiText\\Text02.txt", "b"));
    Start();
    // Renumbered at load: Text02.txt is Text01.txt now.
    EXPECT_EQ(History_Lines(), (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(Read_Bytes(folder / L"RirekiText\\Text01.txt"), "b");
    EXPECT_EQ(Read_Bytes(folder / L"RirekiText\\Text02.txt"), "<missing>");

    for (int i = 1; i <= 29; ++i) {
        ASSERT_TRUE(Copy(L"t" + std::to_wstring(i)));
        ASSERT_TRUE(Wait_History_Top(L"t" + std::to_wstring(i)));
    }
    // Text and a picture in one copy: the text first, the picture one pass later, beside it.
    ASSERT_TRUE(Copy_Text_And_Picture(L"caption", 40, 30));
    ASSERT_TRUE(Wait_Shapes(1));
    EXPECT_EQ(Cell("AD1"), L"caption");
    EXPECT_EQ(Shapes()[0]["topLeftCell"].Text(), L"AE1");
    // A text of several lines shows its first line that is not empty.
    ASSERT_TRUE(Copy(L"\r\nfirst line\r\nsecond"));
    // The list is rebuilt line by line: wait for the whole of it.
    std::vector<std::wstring> lines;
    ASSERT_TRUE(Wait_Until(
        [&] {
            lines = History_Lines();
            return lines.size() == 30 && lines[0] == L"first line";
        },
        Paste_Timeout_Ms))
        << lines.size();
    EXPECT_EQ(lines[1], L"caption");
    EXPECT_EQ(lines[29], L"t2");

    // Picked again from the list: pasted whole, not recorded again.
    ASSERT_TRUE(Wait_Cell("AF1", L"first linesecond"));
    ASSERT_TRUE(Click_List_Item(app->Control(Lst_Rireki), 0));
    ASSERT_TRUE(Wait_Cell("AG1", L"first linesecond"));
    // A thumbnail clicked: the picture is pasted again, not recorded again.
    ASSERT_TRUE(Wait_Until([&] { return Is_Enabled(app->Control(Img_Pic_0)); }, Paste_Timeout_Ms));
    ASSERT_TRUE(Click_Window(app->Control(Img_Pic_0)));
    ASSERT_TRUE(Wait_Shapes(2));
    EXPECT_EQ(History_Lines(), lines);
    EXPECT_FALSE(Is_Enabled(app->Control(Img_Pic_0 + 1)));

    // "貼付終了" saves both histories.
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Control + 4)));
    ASSERT_TRUE(Back_On_Setup_Screen());
    // The save moves the older files up first and writes the newest text last.
    EXPECT_TRUE(Wait_Until([&] { return Read_Bytes(folder / L"RirekiText\\Text00.txt") == "\r\nfirst line\r\nsecond"; },
                           Paste_Timeout_Ms));
    EXPECT_EQ(Read_Bytes(folder / L"RirekiText\\Text29.txt"), "t2");
    std::optional<Bitmap_Image> saved;
    ASSERT_TRUE(
        Wait_Until([&] { return (saved = Decode_Bmp_File(Read_Bytes(folder / L"RirekiPic\\Pic00.bmp"))).has_value(); },
                   Paste_Timeout_Ms));
    EXPECT_EQ(saved->Width, 40);
    EXPECT_EQ(saved->Height, 30);

    // The next run shows them again.
    ASSERT_TRUE(Wait_Until([&] { return FindWindowW(standin::Window_Class, nullptr) == nullptr; }, Paste_Timeout_Ms));
    ASSERT_TRUE(app->Wait_Ready());
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Update2_Start)));
    Expect_Message(Start_Message);
    EXPECT_TRUE(Wait_Until([&] { return History_Lines() == lines; }, Paste_Timeout_Ms));
    EXPECT_TRUE(Is_Enabled(app->Control(Img_Pic_0)));
}

TEST_F(Picture_Run_Test, OddPicturesAndHeldHistoryFilesLoseNothing) {
    Options(0, 1, 0, 0);  // "右へ", "図 (PNG)", no sizing
    // A picture without pixels and a damaged one in the history: moved aside at the start of the run,
    // with one message that names them, so that the pictures keep the numbers from 00 on.
    ASSERT_TRUE(CreateDirectoryW((folder / L"RirekiPic").c_str(), nullptr));
    const std::string no_pixels = Encode_Bmp_File(Bitmap_Image{0, 7, {}});
    const std::string blue = Encode_Bmp_File(Bitmap_Image{1, 1, {0x0000FF}});
    ASSERT_TRUE(Write_Bytes(folder / L"RirekiPic\\Pic00.bmp", no_pixels));
    ASSERT_TRUE(Write_Bytes(folder / L"RirekiPic\\Pic01.bmp", "BM damaged"));
    ASSERT_TRUE(Write_Bytes(folder / L"RirekiPic\\Pic02.bmp", blue));
    // Text00.txt held open by another program while the run starts: it keeps its place.
    ASSERT_TRUE(CreateDirectoryW((folder / L"RirekiText").c_str(), nullptr));
    ASSERT_TRUE(Write_Bytes(folder / L"RirekiText\\Text00.txt", "a"));
    ASSERT_TRUE(Write_Bytes(folder / L"RirekiText\\Text30.txt", "not numbered by the program"));
    HANDLE held_text =
        CreateFileW((folder / L"RirekiText\\Text00.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held_text, INVALID_HANDLE_VALUE);
    app = std::make_unique<CellDrop_App>(folder);
    ASSERT_TRUE(app->Wait_Ready());
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Update2_Start)));
    auto box = Wait_For_Message_Box(app->Process().Pid(), Paste_Timeout_Ms);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Text.find(L"読み込めないファイルがあったため、名前を変えて残しました。\r\n"), 0u) << box->Text;
    EXPECT_NE(box->Text.find(L"Pic00_読めないファイル.bmp"), std::wstring::npos);
    EXPECT_NE(box->Text.find(L"Pic01_読めないファイル.bmp"), std::wstring::npos);
    ASSERT_TRUE(Answer_Message_Box(*box));
    Expect_Message(Start_Message);
    ASSERT_TRUE(Wait_Until([&] { return !State()["activeWorkbook"].Is_Null(); }, Paste_Timeout_Ms));
    EXPECT_TRUE(Is_Enabled(app->Control(Img_Pic_0)));
    EXPECT_FALSE(Is_Enabled(app->Control(Img_Pic_0 + 1)));
    EXPECT_EQ(Read_Bytes(folder / L"RirekiPic\\Pic00.bmp"), blue);

    // A copied picture without pixels is neither pasted nor kept; the text copied with it lands.
    HGLOBAL empty = clipboard_copy::Block(sizeof(BITMAPINFOHEADER), [](void* p) {
        *static_cast<BITMAPINFOHEADER*>(p) =
            BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 0, 7, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    });
    ASSERT_TRUE(clipboard_copy::Put({{CF_UNICODETEXT, clipboard_copy::Text_Block(L"z")}, {CF_DIB, empty}}));
    ASSERT_TRUE(Wait_Cell("A1", L"z"));
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"B1"; }, Paste_Timeout_Ms));
    // Transparent pixels are white in the history, as on a sheet.
    HGLOBAL dib = clipboard_copy::Block(sizeof(BITMAPINFOHEADER) + 8, [](void* p) {
        auto* header = static_cast<BITMAPINFOHEADER*>(p);
        *header = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, 1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        auto* pixel = reinterpret_cast<DWORD*>(header + 1);
        pixel[0] = 0x00FF0000;  // transparent red
        pixel[1] = 0xFF0000FF;  // opaque blue
    });
    ASSERT_TRUE(clipboard_copy::Put({{CF_DIB, dib}}));
    ASSERT_TRUE(Wait_Shapes(1));
    ASSERT_TRUE(Wait_Until([&] { return Is_Enabled(app->Control(Img_Pic_0 + 1)); }, Paste_Timeout_Ms));

    // Pic00.bmp held too while the run ends: one message names both folders, nothing is overwritten,
    // and the next save moment (the next run's start) makes the save.
    HANDLE held_picture =
        CreateFileW((folder / L"RirekiPic\\Pic00.bmp").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held_picture, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"C1"; }, Paste_Timeout_Ms));
    ASSERT_TRUE(Copy(L"b"));
    ASSERT_TRUE(Wait_Cell("C1", L"b"));
    EXPECT_EQ(Shapes().size(), 1u);
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Control + 4)));
    box = Wait_For_Message_Box(app->Process().Pid(), Paste_Timeout_Ms);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Text.find(L"コピー履歴を保存できませんでした。\r\n"), 0u) << box->Text;
    EXPECT_NE(box->Text.find(L"RirekiText"), std::wstring::npos);
    EXPECT_NE(box->Text.find(L"RirekiPic"), std::wstring::npos);
    ASSERT_TRUE(Answer_Message_Box(*box));
    ASSERT_TRUE(Back_On_Setup_Screen());
    CloseHandle(held_text);
    CloseHandle(held_picture);
    EXPECT_EQ(Read_Bytes(folder / L"RirekiText\\Text00.txt"), "a");
    EXPECT_EQ(Read_Bytes(folder / L"RirekiPic\\Pic00.bmp"), blue);

    // The next run: the texts in the order they came, the held one after the newer ones; a picture
    // format out of range leaves that choice as it was.
    ASSERT_TRUE(Wait_Until([&] { return FindWindowW(standin::Window_Class, nullptr) == nullptr; }, Paste_Timeout_Ms));
    ASSERT_TRUE(Write_Bytes(folder / L"Para2_1.txt", " 0\r\n 9\r\n 0\r\n 0\r\n"));
    ASSERT_TRUE(app->Wait_Ready());
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Update2_Start)));
    Expect_Message(Start_Message);
    EXPECT_TRUE(Wait_Until(
        [&] {
            return History_Lines() == std::vector<std::wstring>{L"b", L"z", L"a"};
        },
        Paste_Timeout_Ms));
    EXPECT_EQ(SendMessageW(app->Control(ids::Opt_Joken + 8), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Read_Bytes(folder / L"RirekiText\\Text02.txt"), "a");
    EXPECT_EQ(Read_Bytes(folder / L"RirekiText\\Text30.txt"), "not numbered by the program");
    std::optional<Bitmap_Image> saved = Decode_Bmp_File(Read_Bytes(folder / L"RirekiPic\\Pic00.bmp"));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->Pixels, (std::vector<std::uint32_t>{0xFFFFFF, 0x0000FF}));
    EXPECT_EQ(Read_Bytes(folder / L"RirekiPic\\Pic01.bmp"), blue);
    EXPECT_EQ(Read_Bytes(folder / L"RirekiPic\\Pic02.bmp"), "<missing>");
    EXPECT_EQ(Read_Bytes(folder / L"RirekiPic\\Pic00_読めないファイル.bmp"), no_pixels);
    EXPECT_EQ(Read_Bytes(folder / L"RirekiPic\\Pic01_読めないファイル.bmp"), "BM damaged");
}

TEST_F(Picture_Run_Test, APictureCopiedOnlyAsPngIsPastedAndKept) {
    Options(0, 5, 0, 0);  // "右へ", "ビットマップ", no sizing
    Start();
    ASSERT_TRUE(Copy_Png(40, 20));
    ASSERT_TRUE(Wait_Shapes(1));
    // Given to Excel as a bitmap, at the picture's own size (points at 96 dpi).
    EXPECT_NE(Log().find(R"x("named":{"Format":"ビットマップ")x"), std::string::npos);
    EXPECT_TRUE(Near(Shapes()[0]["width"].Number(), 30));
    EXPECT_TRUE(Near(Shapes()[0]["height"].Number(), 15));
    ASSERT_TRUE(Wait_Until([&] { return Is_Enabled(app->Control(Img_Pic_0)); }, Paste_Timeout_Ms));

    ASSERT_TRUE(Click(app->Control(ids::Cmd_Control + 4)));
    ASSERT_TRUE(Back_On_Setup_Screen());
    std::optional<Bitmap_Image> saved;
    ASSERT_TRUE(
        Wait_Until([&] { return (saved = Decode_Bmp_File(Read_Bytes(folder / L"RirekiPic\\Pic00.bmp"))).has_value(); },
                   Paste_Timeout_Ms));
    ASSERT_EQ(saved->Width, 40);
    ASSERT_EQ(saved->Height, 20);
    // Its transparent first column is white; the rest keeps its colours.
    EXPECT_EQ(saved->Pixels[0], 0xFFFFFFu);
    EXPECT_EQ(saved->Pixels[3 * 40 + 5], clipboard_copy::Shade(5, 3, 40, 20));
}
