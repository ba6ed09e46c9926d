// Page buttons, page switching and the labels each page paints.
#include <gtest/gtest.h>
#include "database/unit_database.h"
#include "shell/app_state.h"
#include "shell/controls.h"
#include "shell/pages.h"
#include "testing/gui_test_support.h"

TEST(PageButtons, HitBoxesLeaveOutTheTilesLeftColumnAndTopRow)
{
    EXPECT_EQ(page_button_at(35, 130), 0);
    EXPECT_EQ(page_button_at(36, 91), 1);
    EXPECT_EQ(page_button_at(114, 169), 1);
    EXPECT_EQ(page_button_at(115, 130), 0);
    EXPECT_EQ(page_button_at(50, 90), 0);
    EXPECT_EQ(page_button_at(50, 170), 0);
    EXPECT_EQ(page_button_at(50, 180), 0);
    EXPECT_EQ(page_button_at(50, 191), 2);
    EXPECT_EQ(page_button_at(50, 291), 3);
    EXPECT_EQ(page_button_at(50, 369), 3);
    EXPECT_EQ(page_button_at(50, 370), 0);
}

namespace {

// Whether two 80x80 pictures are the same, pixel for pixel.
bool same_tile(HDC a, int ax, int ay, HDC b, int bx, int by)
{
    for (int y = 0; y < 80; y++)
        for (int x = 0; x < 80; x++)
            if (GetPixel(a, ax + x, ay + y) != GetPixel(b, bx + x, by + y))
                return false;
    return true;
}

// Whether a page button's tile on the screen is the sprite of that state.
bool tile_shows(int page, int sprite_row)
{
    HDC dc = GetDC(main_window);
    bool same = same_tile(dc, 35, 90 + 100 * (page - 1), sprite_image, 80 * (page - 1), sprite_row);
    ReleaseDC(main_window, dc);
    return same;
}

}  // namespace

TEST_F(SampleShellTest, TheSpriteSheetHasThreeDifferentStates)
{
    // Otherwise the hover tests below could not tell the states apart.
    for (int column = 0; column < 240; column += 80) {
        EXPECT_FALSE(same_tile(sprite_image, column, 0, sprite_image, column, 80));
        EXPECT_FALSE(same_tile(sprite_image, column, 0, sprite_image, column, 160));
        EXPECT_FALSE(same_tile(sprite_image, column, 80, sprite_image, column, 160));
    }
}

TEST_F(SampleShellTest, HoverFramesAnotherPagesButtonButNeverTheCurrentOne)
{
    mouse_move(36, 191);
    EXPECT_TRUE(tile_shows(2, 80));
    EXPECT_TRUE(tile_shows(1, 160));
    // Straight into the other button: the first keeps its frame.
    mouse_move(80, 330);
    EXPECT_TRUE(tile_shows(3, 80));
    EXPECT_TRUE(tile_shows(2, 80));
    // Outside the buttons everything is drawn again.
    mouse_move(35, 230);
    EXPECT_TRUE(tile_shows(2, 0));
    EXPECT_TRUE(tile_shows(3, 0));
    mouse_move(80, 130);
    EXPECT_TRUE(tile_shows(1, 160));
}

TEST_F(SampleShellTest, AClickOnAnotherPagesButtonShowsThatPage)
{
    mouse_click(35, 230);
    EXPECT_EQ(current_page, 1);
    mouse_click(36, 191);
    EXPECT_EQ(current_page, 2);
    EXPECT_TRUE(page_controls_shown(2));
    pump_messages(100);
    EXPECT_TRUE(tile_shows(2, 160));
    EXPECT_TRUE(tile_shows(1, 0));
    EXPECT_TRUE(shows_label("换算单位组", 170, 55, 100, 20));
    EXPECT_TRUE(shows_label("系数b", 400, 350, 45, 20));
    EXPECT_TRUE(shows_label("注意：对数据所作的更改只有单击\"保存\"按钮才能在下次启动时生效！", 230, 440, 470, 20));
    EXPECT_TRUE(shows_background(160, 45, 100, 10));  // page 1's heading is gone

    mouse_click(114, 369);
    EXPECT_EQ(current_page, 3);
    EXPECT_TRUE(page_controls_shown(3));
    pump_messages(100);
    EXPECT_TRUE(shows_label("可下载列表", 170, 55, 100, 20));
    EXPECT_TRUE(shows_label("今日下载：", 340, 80, 100, 20));
}

TEST_F(SampleShellTest, AClickOnTheCurrentPagesButtonDoesNothing)
{
    select_list(group_combo, 1);
    type(conversion_fields[0], "2");
    groups_changed = 1;
    mouse_click(80, 130);
    EXPECT_EQ(current_page, 1);
    EXPECT_EQ(SendMessageA(group_combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(window_text(conversion_fields[0]), "2");
    EXPECT_EQ(groups_changed, 1);
}

TEST_F(SampleShellTest, TheConvertPageNamesTheMembersOfTheSelectedGroupAboveTheirFields)
{
    EXPECT_TRUE(shows_label("选择换算类型", 160, 45, 95, 20));
    const char* temperatures[3] = {"摄氏度", "华氏度", "开尔文"};
    for (int i = 0; i < 3; i++)
        EXPECT_TRUE(shows_label(temperatures[i], 170 + 120 * i, 98, 100, 20)) << i;
    EXPECT_TRUE(shows_background(530, 98, 100, 20));
    EXPECT_TRUE(shows_background(170, 158, 100, 20));

    select_list(group_combo, 1);
    EXPECT_TRUE(shows_label("米", 170, 98, 100, 20));
    EXPECT_TRUE(shows_label("英尺", 170, 158, 100, 20));
    EXPECT_TRUE(shows_background(290, 158, 100, 20));
}

TEST_F(SampleShellTest, ASelectionPastTheGroupsNamesNoMember)
{
    // The combobox may hold an older, longer list than the database.
    SendMessageW(group_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"旧"));
    select_list(group_combo, 2);
    EXPECT_TRUE(shows_label("选择换算类型", 160, 45, 95, 20));
    EXPECT_TRUE(shows_background(170, 98, 100, 20));
    for (int k = 0; k < 24; k++)
        EXPECT_FALSE(IsWindowEnabled(conversion_fields[k]));
}
