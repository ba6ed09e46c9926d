// The Convert page as the user types into it and picks groups.
#include <gtest/gtest.h>
#include "convert/convert_page.h"
#include "database/unit_database.h"
#include "shell/app_state.h"
#include "shell/controls.h"
#include "testing/gui_test_support.h"

namespace {

// Stands in for field 0's saved procedure and notes what reaches it.
WNDPROC edit_proc;
std::vector<UINT> reached;

LRESULT CALLBACK spy_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    reached.push_back(message);
    return CallWindowProcW(edit_proc, window, message, wparam, lparam);
}

bool reached_field(UINT message)
{
    for (UINT m : reached)
        if (m == message)
            return true;
    return false;
}

}  // namespace

class ConvertPageTest : public SampleShellTest {
protected:
    void SetUp() override
    {
        SampleShellTest::SetUp();
        edit_proc = saved_field_procs[0];
        saved_field_procs[0] = spy_proc;
        reached.clear();
    }
    std::string field(int k) { return window_text(conversion_fields[k]); }
};

TEST_F(ConvertPageTest, AFieldTakesFiveDigitsAndOnePointAtMost)
{
    type(conversion_fields[0], "123456");
    EXPECT_EQ(field(0), "12345");
    type(conversion_fields[0], "\b\b\b\b\b1.2.34");
    EXPECT_EQ(field(0), "1.234");
    type(conversion_fields[0], "5");
    EXPECT_EQ(field(0), "1.234");
    type(conversion_fields[0], "\b\b\b\b\b.");
    EXPECT_EQ(field(0), ".");
    EXPECT_EQ(field(1), "32");  // a lone point converts 0
}

TEST_F(ConvertPageTest, EveryOtherCharacterIsSwallowedBeforeTheField)
{
    type(conversion_fields[0], "42");
    std::string before1 = field(1);
    reached.clear();
    type(conversion_fields[0], "a-+ \r\x01\x16\x1b");
    // Chinese, the full-width digit and point of an input method, and a
    // character whose low byte is the code of "1".
    type(conversion_fields[0], L"温１。．\u0131");
    EXPECT_EQ(field(0), "42");
    EXPECT_EQ(field(1), before1);
    EXPECT_FALSE(reached_field(WM_CHAR));
}

TEST_F(ConvertPageTest, TheFiveCharacterLimitCountsTheGbkBytesOfTheText)
{
    // Text that came without typing, as by a paste: 温度 is four bytes.
    set_text(conversion_fields[0], "温度");
    type(conversion_fields[0], "1234");
    EXPECT_EQ(field(0), "温度1");
}

TEST_F(ConvertPageTest, BackspaceWorksOnAFullFieldButASelectedFullFieldTakesNoDigit)
{
    type(conversion_fields[0], "99999");
    SendMessageA(conversion_fields[0], EM_SETSEL, 0, -1);
    type_char(conversion_fields[0], '1');
    pump_messages();
    EXPECT_EQ(field(0), "99999");
    // Backspace passes at any length and takes the selection with it.
    type_char(conversion_fields[0], '\b');
    pump_messages();
    EXPECT_EQ(field(0), "");
    EXPECT_EQ(field(1), "");  // an empty field empties the others
}

TEST_F(ConvertPageTest, TheRightButtonNeverReachesTheField)
{
    PostMessageA(conversion_fields[0], WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    PostMessageA(conversion_fields[0], WM_KEYDOWN, VK_RIGHT, 1);
    pump_messages();
    EXPECT_FALSE(reached_field(WM_RBUTTONDOWN));
    EXPECT_TRUE(reached_field(WM_KEYDOWN));
}

TEST_F(ConvertPageTest, TypingConvertsIntoEveryOtherMemberAndNeverRewritesTheTypedField)
{
    type(conversion_fields[0], "100");
    EXPECT_EQ(field(0), "100");
    EXPECT_EQ(field(1), "212");
    EXPECT_EQ(field(2), "373.15");
    EXPECT_FALSE(reached_field(WM_SETTEXT));
    type(conversion_fields[1], "\b\b\b212");
    EXPECT_EQ(field(0), "100");
    EXPECT_EQ(field(1), "212");
    // Fields without a member keep their text and stay disabled.
    EXPECT_EQ(field(3), "");
    EXPECT_FALSE(IsWindowEnabled(conversion_fields[3]));
}

TEST_F(ConvertPageTest, TextSetWithoutTheFocusConvertsNothing)
{
    SetFocus(conversion_fields[1]);
    set_text(conversion_fields[0], "100");
    pump_messages();
    EXPECT_EQ(field(1), "");
    EXPECT_EQ(field(2), "");
}

TEST_F(ConvertPageTest, AGroupSwitchEmptiesAllFieldsAndEnablesTheGroupsOwn)
{
    type(conversion_fields[0], "7");
    select_list(group_combo, 1);
    for (int k = 0; k < 24; k++) {
        EXPECT_EQ(field(k), "") << k;
        EXPECT_EQ(IsWindowEnabled(conversion_fields[k]) != 0, k < 5) << k;
    }
    type(conversion_fields[1], "100");
    EXPECT_EQ(field(0), "1");
    EXPECT_EQ(field(2), "1000");
}

TEST_F(ConvertPageTest, AButtonClickElsewhereResetsThePageToGroupZero)
{
    select_list(group_combo, 1);
    type(conversion_fields[0], "3");
    mouse_click(50, 230);
    click(508);  // 上移 on the first group: a click that changes nothing
    mouse_click(50, 130);
    EXPECT_EQ(SendMessageA(group_combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(field(0), "");
    EXPECT_EQ(field(1), "");
    EXPECT_TRUE(IsWindowEnabled(conversion_fields[2]));
    EXPECT_FALSE(IsWindowEnabled(conversion_fields[3]));
}

TEST_F(ConvertPageTest, WithoutAClickThePageKeepsItsGroupAndTexts)
{
    select_list(group_combo, 1);
    type(conversion_fields[0], "3");
    mouse_click(50, 230);
    mouse_click(50, 330);
    mouse_click(50, 130);
    EXPECT_EQ(SendMessageA(group_combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(field(0), "3");
    EXPECT_EQ(field(1), "300");
    EXPECT_TRUE(IsWindowEnabled(conversion_fields[4]));
}

TEST_F(ConvertPageTest, AChangeFromAFieldWithoutAMemberConvertsNothing)
{
    type(conversion_fields[0], "5");
    EnableWindow(conversion_fields[5], TRUE);
    type(conversion_fields[5], "8");
    EXPECT_EQ(field(5), "8");
    EXPECT_EQ(field(0), "5");
    EXPECT_EQ(field(1), "41");
}

TEST_F(ShellTest, WithoutGroupsEveryFieldIsDisabledAndNothingConverts)
{
    EXPECT_TRUE(list_items(group_combo).empty());
    EXPECT_EQ(selected_group(), nullptr);
    for (int k = 0; k < 24; k++)
        EXPECT_FALSE(IsWindowEnabled(conversion_fields[k]));
    EnableWindow(conversion_fields[0], TRUE);
    type(conversion_fields[0], "5");
    EXPECT_EQ(window_text(conversion_fields[0]), "5");
    EXPECT_EQ(window_text(conversion_fields[1]), "");
}

class LargeGroupTest : public ShellTest {
protected:
    void prepare_files() override
    {
        SampleGroup large = {"大组", {}};
        static char names[30][8];
        for (int i = 0; i < 30; i++) {
            wsprintfA(names[i], "u%d", i);
            large.members.push_back({names[i], static_cast<float>(i + 1), 0});
        }
        write_file("dv.dat", database_bytes({large, {"空组", {}}}));
    }
};

TEST_F(LargeGroupTest, OnlyTheFirst24MembersGetFieldsAndAnEmptyGroupNone)
{
    for (int k = 0; k < 24; k++)
        EXPECT_TRUE(IsWindowEnabled(conversion_fields[k]));
    type(conversion_fields[0], "1");
    EXPECT_EQ(window_text(conversion_fields[23]), "24");
    select_list(group_combo, 1);
    for (int k = 0; k < 24; k++)
        EXPECT_FALSE(IsWindowEnabled(conversion_fields[k]));
}
