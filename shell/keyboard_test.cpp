// The keyboard of the main window, with real key presses through the
// system's input queue and the program's own message step: Tab and
// Shift+Tab through the current page, the page shortcuts, F1, and that the
// keys the pages had before keep doing what they did.
#include <gtest/gtest.h>
#include <vector>
#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/controls.h"
#include "shell/pages.h"
#include "testing/files.h"
#include "testing/gui_test_support.h"

class KeyboardTest : public SampleShellTest {
protected:
    void SetUp() override
    {
        SampleShellTest::SetUp();
        ASSERT_TRUE(bring_to_front());
    }
};

namespace {

// The ids the focus goes through, one Tab (or Shift+Tab) at a time.
std::vector<int> walk(int presses, bool backwards)
{
    std::vector<int> ids;
    for (int i = 0; i < presses; i++) {
        bool arrived = backwards ? press_keys({VK_SHIFT, VK_TAB}) : press_key(VK_TAB);
        ids.push_back(arrived ? focused_id() : -1);
    }
    return ids;
}

// The whole cycle from the page's first control, forward and back; each
// way ends on the control it started from.
void expect_tab_cycle(const std::vector<int>& order)
{
    int n = static_cast<int>(order.size());
    SetFocus(GetDlgItem(main_window, order[0]));
    std::vector<int> forward(order.begin() + 1, order.end());
    forward.push_back(order[0]);
    EXPECT_EQ(walk(n, false), forward);
    EXPECT_EQ(walk(n, true), std::vector<int>(order.rbegin(), order.rend()));
}

const std::vector<int> settings_order = {400, 500, 504, 508, 512, 300, 532, 404, 516,
                                         520, 524, 528, 301, 302, 303, 536, 540};

}  // namespace

TEST_F(KeyboardTest, TabWalksTheEnabledFieldsOfTheConvertPageAndWraps)
{
    // The first group has three members: fields 203.. are disabled.
    expect_tab_cycle({600, 200, 201, 202});
    select_list(group_combo, 1);
    expect_tab_cycle({600, 200, 201, 202, 203, 204});
}

TEST_F(KeyboardTest, TabWalksTheSettingsAndTheUpdatePageInReadingOrder)
{
    mouse_click(50, 230);
    ASSERT_EQ(current_page, 2);
    expect_tab_cycle(settings_order);
    mouse_click(50, 330);
    ASSERT_EQ(current_page, 3);
    expect_tab_cycle({610, 620});
}

// As right after start-up, or after a click on a page button.
TEST_F(KeyboardTest, FromTheMainWindowItselfTabGoesToThePagesFirstControl)
{
    SetFocus(main_window);
    ASSERT_TRUE(press_key(VK_TAB));
    EXPECT_EQ(focused_id(), 600);
    mouse_click(50, 330);
    ASSERT_EQ(focused_id(), 0);
    ASSERT_TRUE(press_key(VK_TAB));
    EXPECT_EQ(focused_id(), 610);
}

TEST_F(KeyboardTest, AFieldReachedByTabTakesTheSameKeysAndConverts)
{
    SetFocus(group_combo);
    ASSERT_TRUE(press_key(VK_TAB));
    ASSERT_EQ(focused_id(), 200);
    for (WORD key : std::initializer_list<WORD>{'1', 'A', '0', VK_OEM_MINUS, '0'})
        ASSERT_TRUE(press_key(key));
    EXPECT_EQ(window_text(conversion_fields[0]), "100");
    EXPECT_EQ(window_text(conversion_fields[1]), "212");
    EXPECT_EQ(window_text(conversion_fields[2]), "373.15");
    // Tab again selects the field's text, as the dialog manager does; what
    // is typed then replaces it only where the length allows.
    ASSERT_TRUE(press_key(VK_TAB));
    ASSERT_TRUE(press_keys({VK_SHIFT, VK_TAB}));
    ASSERT_EQ(focused_id(), 200);
    ASSERT_TRUE(press_key('5'));
    EXPECT_EQ(window_text(conversion_fields[0]), "5");
    EXPECT_EQ(window_text(conversion_fields[1]), "41");
    ASSERT_TRUE(press_key(VK_BACK));
    EXPECT_EQ(window_text(conversion_fields[0]), "");
}

TEST_F(KeyboardTest, EnterAndEscapeInAFieldLeaveThePageAsItIs)
{
    select_list(group_combo, 1);
    SetFocus(group_combo);
    ASSERT_TRUE(press_key(VK_TAB));
    for (WORD key : std::initializer_list<WORD>{'2', VK_RETURN, VK_ESCAPE})
        ASSERT_TRUE(press_key(key));
    EXPECT_EQ(groups_changed, 0);
    EXPECT_EQ(focused_id(), 200);
    // Back from another page the Convert page is not refilled: no button
    // was clicked.
    ASSERT_TRUE(press_keys({VK_CONTROL, '2'}));
    ASSERT_TRUE(press_keys({VK_CONTROL, '1'}));
    EXPECT_EQ(SendMessageA(group_combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(window_text(conversion_fields[0]), "2");
    EXPECT_EQ(window_text(conversion_fields[1]), "200");
}

TEST_F(KeyboardTest, SpacePressesTheButtonThatTabReached)
{
    ASSERT_TRUE(press_keys({VK_CONTROL, '2'}));
    ASSERT_EQ(focused_id(), 400);
    ASSERT_TRUE(press_keys({VK_SHIFT, VK_TAB}));
    ASSERT_EQ(focused_id(), 540);
    DeleteFileA("dv.dat");
    ASSERT_TRUE(press_key(VK_SPACE));
    EXPECT_EQ(read_file("dv.dat"), database_bytes(sample_groups()));
    EXPECT_EQ(groups_changed, 1);
    // Enter presses a focused button too, as in any dialog.
    DeleteFileA("dv.dat");
    ASSERT_TRUE(press_key(VK_RETURN));
    EXPECT_EQ(read_file("dv.dat"), database_bytes(sample_groups()));
}

TEST_F(KeyboardTest, ArrowsStayWithTheListsTheSelectorAndTheButtons)
{
    ASSERT_TRUE(press_keys({VK_CONTROL, '2'}));
    select_list(group_list, 0);
    ASSERT_TRUE(press_key(VK_DOWN));
    EXPECT_EQ(focused_id(), 400);
    EXPECT_EQ(list_selection(group_list), 1);
    EXPECT_EQ(list_items(member_list).size(), 5u);
    ASSERT_TRUE(press_key(VK_TAB));
    for (WORD key : {VK_DOWN, VK_RIGHT, VK_UP, VK_LEFT}) {
        ASSERT_TRUE(press_key(key));
        EXPECT_EQ(focused_id(), 500);
    }
    ASSERT_TRUE(press_keys({VK_CONTROL, '1'}));
    ASSERT_TRUE(press_key(VK_DOWN));
    EXPECT_EQ(focused_id(), 600);
    EXPECT_EQ(SendMessageA(group_combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(IsWindowEnabled(conversion_fields[4]));
}

namespace {

// What each page shortcut leads to: the page shown as after a click on its
// button, the focus on its first control.
void expect_on_page(int page)
{
    EXPECT_EQ(current_page, page);
    EXPECT_TRUE(page_controls_shown(page)) << "page " << page;
    const int first[] = {600, 400, 610};
    EXPECT_EQ(focused_id(), first[page - 1]) << "page " << page;
}

}  // namespace

TEST_F(KeyboardTest, CtrlTabAndCtrlShiftTabGoRoundThePages)
{
    for (int page : {2, 3, 1, 2}) {
        ASSERT_TRUE(press_keys({VK_CONTROL, VK_TAB}));
        expect_on_page(page);
    }
    for (int page : {1, 3, 2, 1}) {
        ASSERT_TRUE(press_keys({VK_CONTROL, VK_SHIFT, VK_TAB}));
        expect_on_page(page);
    }
}

TEST_F(KeyboardTest, CtrlDigitsGoToTheirPageFromEveryPage)
{
    for (int from : {1, 2, 3})
        for (int to : {1, 2, 3}) {
            ASSERT_TRUE(press_keys({VK_CONTROL, static_cast<WORD>('0' + from)}));
            ASSERT_TRUE(press_keys({VK_CONTROL, static_cast<WORD>('0' + to)}));
            SCOPED_TRACE("from " + std::to_string(from));
            expect_on_page(to);
        }
}

TEST_F(KeyboardTest, ThePageShortcutsRefillTheConvertPageAsTheButtonsDo)
{
    select_list(group_combo, 1);
    type(conversion_fields[0], "3");
    // To the same page: nothing but the focus.
    ASSERT_TRUE(press_keys({VK_CONTROL, '1'}));
    EXPECT_EQ(window_text(conversion_fields[0]), "3");
    // Away and back without a click: everything kept.
    ASSERT_TRUE(press_keys({VK_CONTROL, VK_TAB}));
    ASSERT_TRUE(press_keys({VK_CONTROL, VK_SHIFT, VK_TAB}));
    EXPECT_EQ(SendMessageA(group_combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(window_text(conversion_fields[0]), "3");
    EXPECT_TRUE(IsWindowEnabled(conversion_fields[4]));
    // A button pressed on the way: group 0 again, the fields emptied.
    ASSERT_TRUE(press_keys({VK_CONTROL, '3'}));
    ASSERT_TRUE(press_key(VK_TAB));
    ASSERT_EQ(focused_id(), 620);
    click(IDC_GROUP_ADD);
    ASSERT_TRUE(press_keys({VK_CONTROL, VK_TAB}));
    expect_on_page(1);
    EXPECT_EQ(SendMessageA(group_combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(window_text(conversion_fields[0]), "");
    EXPECT_FALSE(IsWindowEnabled(conversion_fields[4]));
    EXPECT_TRUE(shows_label("摄氏度", 170, 98, 120, 20));
    EXPECT_TRUE(shows_background(170, 158, 120, 20));
}

// The About box: a timer, run by the dialog's own modal loop, looks at the
// box and answers it.
struct AboutVisit {
    HWND box;
    std::string caption;
    std::vector<std::string> texts;  // of the controls, in template order
    bool owner_disabled;
    bool survived_cancel;
    int ticks;
};
namespace {

AboutVisit visit;

BOOL CALLBACK find_dialog(HWND window, LPARAM)
{
    char name[16];
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window)) {
        visit.box = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK answer_about_box(HWND, UINT, UINT_PTR, DWORD)
{
    visit.ticks++;
    if (!visit.box) {
        EnumThreadWindows(GetCurrentThreadId(), find_dialog, 0);
        if (!visit.box)
            return;
        visit.caption = window_text(visit.box);
        for (HWND child = GetWindow(visit.box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            visit.texts.push_back(window_text(child));
        visit.owner_disabled = !IsWindowEnabled(main_window);
        // Escape and a close request both come as the cancel command.
        SendMessageA(visit.box, WM_COMMAND, IDCANCEL, 0);
        SendMessageA(visit.box, WM_CLOSE, 0, 0);
        SendMessageA(visit.box, WM_COMMAND, 1002, 0);
        visit.survived_cancel = IsWindow(visit.box) != 0;
        SendMessageA(GetDlgItem(visit.box, IDC_ABOUT_CLOSE), BM_CLICK, 0, 0);
    } else if (IsWindow(visit.box) && visit.ticks > 40) {
        EndDialog(visit.box, 0);  // the box refused to close; let the test fail, not hang
    }
}

// Presses the key with the focus where it is.
bool key_opens_about_box(WORD key)
{
    visit = AboutVisit{};
    UINT_PTR timer = SetTimer(nullptr, 0, 20, answer_about_box);
    bool pressed = press_key(key);
    KillTimer(nullptr, timer);
    return pressed && visit.box != nullptr;
}

}  // namespace

TEST_F(KeyboardTest, F1OpensTheAboutBoxWhichClosesOnlyOnItsButton)
{
    SetFocus(main_window);
    ASSERT_TRUE(key_opens_about_box(VK_F1));
    EXPECT_EQ(visit.caption, "软件说明");
    ASSERT_EQ(visit.texts.size(), 4u);
    EXPECT_EQ(visit.texts[2], "关闭");
    EXPECT_EQ(visit.texts[3].substr(0, 18), "这是一款简洁的单位");
    EXPECT_TRUE(visit.owner_disabled);
    EXPECT_TRUE(visit.survived_cancel);
    EXPECT_FALSE(IsWindow(visit.box));
    EXPECT_TRUE(IsWindowEnabled(main_window));
    EXPECT_EQ(GetForegroundWindow(), main_window);
}

TEST_F(KeyboardTest, F1OpensTheAboutBoxWhereverTheFocusIsAndNoOtherKeyDoes)
{
    SetFocus(conversion_fields[0]);
    EXPECT_TRUE(key_opens_about_box(VK_F1));
    SetFocus(group_combo);
    EXPECT_TRUE(key_opens_about_box(VK_F1));
    ASSERT_TRUE(press_keys({VK_CONTROL, '2'}));
    EXPECT_TRUE(key_opens_about_box(VK_F1));
    EXPECT_EQ(focused_id(), 400);
    SetFocus(main_window);
    EXPECT_FALSE(key_opens_about_box(VK_F2));
    EXPECT_FALSE(key_opens_about_box(VK_RETURN));
    EXPECT_EQ(current_page, 2);
}
