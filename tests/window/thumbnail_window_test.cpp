// Thumbnails in the main window: the display at start and its memory, the
// size commands, rebuilds, runs for added rows, a cancelled run, and
// pictures staying with their rows. Each archive holds a picture of one
// colour, so an image shows which row it was made for.
#include "SolidPicture.h"
#include "WindowFixture.h"
#include "thumbnail/GdiPlusInit.h"

namespace {

const COLORREF kRed = RGB(200, 0, 0), kGreen = RGB(0, 160, 0), kBlue = RGB(0, 0, 220), kGold = RGB(200, 180, 0);
const COLORREF kEmpty = RGB(0, 0, 0); // the placeholder of a row not made

class ThumbnailWindowTest : public WindowFixture {
protected:
    CGDIPlusInit gdiplus_; // as the program starts it for its window
    std::wstring Archive(const std::wstring& name, COLORREF colour) {
        EXPECT_TRUE(WriteZip(files_ / name, {{"picture.bmp", SolidBmp(40, 30, colour)}}));
        return files_ / name;
    }
    void Add(const std::wstring& name, COLORREF colour) { HandOverAndWait(Archive(name, colour)); }
    void Finish() { ASSERT_TRUE(PumpUntil([this] { return Idle(); })); }
    std::vector<COLORREF> Colours() const {
        std::vector<COLORREF> colours;
        for (int i = 0; i < ImageList_GetImageCount(main_->Thumbnails().Images()); ++i)
            colours.push_back(ImageColour(main_->Thumbnails().Images(), i));
        return colours;
    }
    int ImageSize() const { int w = 0, h = 0; ImageList_GetIconSize(main_->Thumbnails().Images(), &w, &h); return w; }
};

TEST_F(ThumbnailWindowTest, TheDisplayAtStartAndAtTheLastExit) {
    // chosen: Startup as the options dialog leaves it meanwhile (-1: untouched).
    struct Row { const wchar_t* startup; int shown; int chosen; int command; const wchar_t* saved; } rows[] = {
        {L"Startup=0", 0, -1, ID_THUMBNAIL_LARGE, L"Startup=0"},
        {L"Startup=11", 1, -1, ID_THUMBNAIL_LARGE, L"Startup=13"}, // "as at the last exit", which was small
        {L"Startup=4", 2, -1, ID_THUMBNAIL_NONE, L"Startup=10"},
        {L"Startup=1", 1, 4, ID_THUMBNAIL_NORMAL, L"Startup=12"},  // that choice, just made
    };
    for (const Row& r : rows) {
        Open(std::wstring(L"[Thumbnail]\r\n") + r.startup + L"\r\n[Other]\r\nConfirmExit=0\r\n");
        EXPECT_EQ(r.shown, main_->Thumbnails().Display()) << r.startup;
        EXPECT_EQ(r.shown ? LV_VIEW_ICON : LV_VIEW_DETAILS, SendMessageW(ListView(), LVM_GETVIEW, 0, 0));
        if (r.chosen >= 0) settings_.Startup = r.chosen;
        Command(r.command);
        Close();
        EXPECT_NE(std::wstring::npos, ReadUtf16(program_ / L"Zorvel.cfg").find(r.saved)) << r.startup;
    }
}

TEST_F(ThumbnailWindowTest, SizesAndRebuilds) {
    Open(); // normal thumbnails
    Add(L"a.zip", kRed);
    Add(L"b.zip", kGreen);
    Add(L"c.zip", kBlue);
    EXPECT_EQ((std::vector<COLORREF>{kRed, kGreen, kBlue}), Colours());

    Command(ID_THUMBNAIL_SMALL);
    EXPECT_EQ(L"サムネイル作成中...", StatusPart(1));
    Finish();
    EXPECT_EQ(settings_.SmallSize, ImageSize());
    EXPECT_EQ((std::vector<COLORREF>{kRed, kGreen, kBlue}), Colours());
    Command(ID_THUMBNAIL_SMALL);
    EXPECT_FALSE(RunInProgress()) << "the size in force changes nothing";

    // Only the selected rows are made again, from what their archives hold now.
    for (const wchar_t* name : {L"a.zip", L"b.zip", L"c.zip"}) Archive(name, kGold);
    Select({0, 2});
    Command(ID_THUMBNAIL_REBUILD_SELECTED);
    EXPECT_EQ(L"サムネイル再作成中...", StatusPart(1));
    Finish();
    EXPECT_EQ((std::vector<COLORREF>{kGold, kGreen, kGold}), Colours());

    Command(ID_THUMBNAIL_NONE);
    EXPECT_EQ(LV_VIEW_DETAILS, SendMessageW(ListView(), LVM_GETVIEW, 0, 0));
    EXPECT_EQ(L"合計 3 個のファイル", StatusPart(1));
}

// A run cancelled after its first row leaves the rest empty; a later run,
// a sort and a removal keep every picture with its row.
TEST_F(ThumbnailWindowTest, PicturesStayWithTheirRows) {
    Open(L"[Thumbnail]\r\nStartup=0\r\n");
    Add(L"c.zip", kRed);
    Add(L"a.zip", kGreen);
    Add(L"b.zip", kBlue);
    Command(ID_THUMBNAIL_NORMAL);
    Command(ID_CANCEL); // before the run's first row reaches the window
    Finish();
    EXPECT_EQ((std::vector<COLORREF>{kRed, kEmpty, kEmpty}), Colours());
    Add(L"d.zip", kGold);
    EXPECT_EQ((std::vector<COLORREF>{kRed, kEmpty, kEmpty, kGold}), Colours());
    main_->SortRows(kColCurrentName);
    EXPECT_EQ((std::vector<std::wstring>{L"a.zip", L"b.zip", L"c.zip", L"d.zip"}), Names());
    EXPECT_EQ((std::vector<COLORREF>{kEmpty, kEmpty, kRed, kGold}), Colours());
    Select({0, 2});
    Command(ID_EDIT_REMOVE);
    EXPECT_EQ((std::vector<COLORREF>{kEmpty, kGold}), Colours());
}

// Regression: after a size or spacing change Wine's icon view kept the old
// positions, piling 17 thumbnails into one column or overlapping them. The
// spacing is added to the picture's size; -1 leaves it to the list view.
TEST_F(ThumbnailWindowTest, PicturesAreSpacedAndLaidOutAgainForANewSizeOrSpacing) {
    Open(L"[Thumbnail]\r\nStartup=0\r\n");
    for (int i = 0; i < 17; ++i) Add(L"p" + std::to_wstring(i) + L".zip", kRed);
    auto expectGrid = [this](const char* when) {
        DWORD spacing = static_cast<DWORD>(SendMessageW(ListView(), LVM_GETITEMSPACING, FALSE, 0));
        std::vector<POINT> at(Files().Count());
        for (int i = 0; i < Files().Count(); ++i)
            SendMessageW(ListView(), LVM_GETITEMPOSITION, i, reinterpret_cast<LPARAM>(&at[i]));
        for (size_t i = 1; i < at.size(); ++i) {
            bool nextInRow = at[i].y == at[i - 1].y && at[i].x - at[i - 1].x == LOWORD(spacing);
            bool nextRow = at[i].y - at[i - 1].y == HIWORD(spacing) && at[i].x == at[0].x;
            EXPECT_TRUE(nextInRow || nextRow) << when << ": item " << i << " at " << at[i].x << "," << at[i].y;
        }
    };
    Command(ID_THUMBNAIL_SMALL);
    Finish();
    expectGrid("small after none");
    Command(ID_THUMBNAIL_LARGE);
    Finish();
    expectGrid("large after small");

    // As the options dialog applies a new spacing.
    auto spacing = [this](int x, int y) {
        settings_.SpacingX = x, settings_.SpacingY = y;
        main_->Thumbnails().SetSpacing();
        return static_cast<DWORD>(SendMessageW(ListView(), LVM_GETITEMSPACING, FALSE, 0));
    };
    const int size = ImageSize();
    DWORD standard = spacing(-1, -1);
    EXPECT_EQ(MAKELONG(LOWORD(standard), size + 60), spacing(-1, 60));
    EXPECT_EQ(MAKELONG(size + 30, HIWORD(standard)), spacing(30, -1));
    expectGrid("a wider spacing");
}

} // namespace
