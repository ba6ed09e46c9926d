// The Settings page as the user edits the database with its buttons, lists
// and fields, and saves it.
#include <gtest/gtest.h>
#include <cstring>
#include "database/unit_database.h"
#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/controls.h"
#include "testing/files.h"
#include "testing/gui_test_support.h"
#include "database/database_file.h"
#include "tools/dvtool/units_text.h"

using Texts = std::vector<std::string>;

namespace {

std::string file_bytes(const char* name)
{
    if (GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES)
        return "(missing)";
    return read_file(name);
}

Texts member_fields()
{
    return {window_text(member_name_edit), window_text(coefficient_a_edit), window_text(coefficient_b_edit)};
}

void set_member_fields(const char* name, const char* a, const char* b)
{
    set_text(member_name_edit, name);
    set_text(coefficient_a_edit, a);
    set_text(coefficient_b_edit, b);
}

void open_settings()
{
    mouse_click(50, 230);
}

}  // namespace

class EmptyEditorTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        open_settings();
    }
};

class SampleEditorTest : public SampleShellTest {
protected:
    void SetUp() override
    {
        SampleShellTest::SetUp();
        open_settings();
    }
};

// Three groups of one, two and three members; the middle one has none when
// empty_middle is set, as only a file can make it.
class ThreeGroupEditorTest : public ShellTest {
protected:
    void prepare_files() override
    {
        write_file("dv.dat", database_bytes({{"甲", {{"a1", 1, 0}}},
                                             {"乙", {{"b1", 2, 0}, {"b2", 3, 0}}},
                                             {"丙", {{"c1", 4, 0}, {"c2", 5, 0}, {"c3", 6, 0}}}}));
    }
    void SetUp() override
    {
        ShellTest::SetUp();
        open_settings();
    }
};

class MemberlessGroupTest : public EmptyEditorTest {
protected:
    void prepare_files() override { write_file("dv.dat", database_bytes({{"有", {{"米", 1, 0}}}, {"空", {}}})); }
};

TEST_F(EmptyEditorTest, AddGroupBuildsADatabaseFromNothingAndSaveWritesItsExactBytes)
{
    EXPECT_TRUE(list_items(group_list).empty());
    click(IDC_SAVE);
    EXPECT_EQ(file_bytes("dv.dat"), "(missing)");
    EXPECT_EQ(file_bytes("config.f"), "(missing)");

    click(IDC_GROUP_ADD);
    EXPECT_EQ(list_items(group_list), Texts{"新建项目"});
    EXPECT_EQ(list_selection(group_list), 0);
    EXPECT_EQ(list_items(member_list), Texts{"新建项目"});
    EXPECT_EQ(list_selection(member_list), 0);
    EXPECT_EQ(window_text(group_name_edit), "新建项目");
    EXPECT_EQ(member_fields(), (Texts{"新建项目", "0", "0"}));

    set_text(group_name_edit, "长度");
    click(IDC_GROUP_RENAME);
    set_member_fields("米", "1", "0");
    click(IDC_MEMBER_CHANGE);
    set_text(member_name_edit, "old text");
    click(IDC_MEMBER_ADD);
    EXPECT_EQ(member_fields(), (Texts{"新建项目", "0", "0"}));
    set_member_fields("厘米", "100", "0");
    click(IDC_MEMBER_CHANGE);
    EXPECT_EQ(list_items(group_list), Texts{"长度"});
    EXPECT_EQ(list_items(member_list), (Texts{"米", "厘米"}));
    EXPECT_EQ(list_selection(member_list), 1);

    click(IDC_SAVE);
    const char expected[] = "\x01\0\0\0"
                            "\x02\0\0\0"
                            "\xB3\xA4\xB6\xC8\0\0\0\0\0\0\0\0\0\0\0\0"
                            "\xC3\xD7\0\0\0\0\0\0\0\0\0\0\0\0\0\0"
                            "\0\0\x80\x3F"
                            "\0\0\0\0"
                            "\xC0\xE5\xC3\xD7\0\0\0\0\0\0\0\0\0\0\0\0"
                            "\0\0\xC8\x42"
                            "\0\0\0\0";
    EXPECT_EQ(file_bytes("dv.dat"), std::string(expected, sizeof expected - 1));
    EXPECT_EQ(file_bytes("config.f"), std::string(30, '\0'));

    restart();
    EXPECT_EQ(list_items(group_list), Texts{"长度"});
    EXPECT_EQ(list_items(member_list), (Texts{"米", "厘米"}));
    EXPECT_EQ(list_selection(group_list), 0);
    EXPECT_EQ(list_selection(member_list), 0);
    EXPECT_EQ(window_text(group_name_edit), "长度");
    EXPECT_EQ(member_fields(), (Texts{"米", "1", "0"}));
}

TEST_F(EmptyEditorTest, AddGroupAgainAppendsAndSelectsASecondGroupOfTheSameName)
{
    click(IDC_GROUP_ADD);
    click(IDC_GROUP_ADD);
    EXPECT_EQ(list_items(group_list), (Texts{"新建项目", "新建项目"}));
    EXPECT_EQ(list_selection(group_list), 1);
    EXPECT_EQ(group_count(), 2);
}

TEST_F(SampleEditorTest, SelectingAGroupOrAMemberShowsItWithoutTouchingTheRest)
{
    groups_changed = 0;
    select_list(group_list, 1);
    EXPECT_EQ(window_text(group_name_edit), "长度");
    EXPECT_EQ(list_items(member_list), (Texts{"米", "厘米", "毫米", "英寸", "英尺"}));
    EXPECT_EQ(list_selection(member_list), 0);
    EXPECT_EQ(member_fields(), (Texts{"米", "1", "0"}));
    set_text(group_name_edit, "typed");
    select_list(member_list, 3);
    EXPECT_EQ(member_fields(), (Texts{"英寸", "39.3701", "0"}));
    EXPECT_EQ(window_text(group_name_edit), "typed");
    EXPECT_EQ(groups_changed, 0);
}

TEST_F(SampleEditorTest, ChangeMemberReadsCoefficientsAsTheSystemsAtofAndShowsThemBackAsG)
{
    set_member_fields("摄氏度", "1e3", "12.5kg");
    click(IDC_MEMBER_CHANGE);
    EXPECT_EQ(member_fields(), (Texts{"摄氏度", "1e3", "12.5kg"}));
    EXPECT_EQ(member_at(group_at(0), 0)->a, 1000.0f);
    EXPECT_EQ(member_at(group_at(0), 0)->b, 12.5f);
    set_text(coefficient_a_edit, "abc");
    click(IDC_MEMBER_CHANGE);
    EXPECT_EQ(member_at(group_at(0), 0)->a, 0.0f);
    select_list(member_list, 0);
    EXPECT_EQ(member_fields(), (Texts{"摄氏度", "0", "12.5"}));
}

// The fields show shortened forms ("%g", a name as text); 更改 must not read
// them back over what is stored unless the user edited them.
TEST_F(SampleEditorTest, ChangeWithoutEditingKeepsTheStoredValuesBitForBit)
{
    member_at(group_at(0), 1)->a = 10763911.0f;
    member_at(group_at(0), 1)->b = 10.7639104f;
    write_name(group_at(0)->name, "基准价（汇率）");
    select_list(group_list, 0);
    select_list(member_list, 1);
    EXPECT_EQ(window_text(coefficient_a_edit), "1.07639e+007");
    EXPECT_EQ(window_text(coefficient_b_edit), "10.7639");
    click(IDC_GROUP_RENAME);
    EXPECT_STREQ(group_at(0)->name, "基准价（汇率）");
    set_text(member_name_edit, "新名字");
    click(IDC_MEMBER_CHANGE);
    EXPECT_STREQ(member_at(group_at(0), 1)->name, "新名字");
    EXPECT_EQ(member_at(group_at(0), 1)->a, 10763911.0f);
    EXPECT_EQ(member_at(group_at(0), 1)->b, 10.7639104f);

    // An edited coefficient is read whole, however long its text.
    set_text(coefficient_a_edit, "1.0763911e+007");
    click(IDC_MEMBER_CHANGE);
    EXPECT_EQ(member_at(group_at(0), 1)->a, 10763911.0f);
    // Typed back to the shown text after a change, it counts as edited again.
    set_text(coefficient_a_edit, "2");
    click(IDC_MEMBER_CHANGE);
    set_text(coefficient_a_edit, "1.0763911e+007");
    click(IDC_MEMBER_CHANGE);
    EXPECT_EQ(member_at(group_at(0), 1)->a, 10763911.0f);
}

TEST_F(SampleEditorTest, LongNamesAreCutToFifteenBytesWithoutHalfACharacter)
{
    struct Case {
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {
        {"abcdefghijklmnopq", "abcdefghijklmno"},
        {"温度摄氏度华氏度", "温度摄氏度华氏"},    // the 15th byte leads 度: dropped
        {"a温度摄氏度华氏度", "a温度摄氏度华氏"},  // the 15th byte ends 氏, though it looks like a lead byte
        {"基准价（汇率）", "基准价（汇率）"},
        // Longer than any read buffer, ending mid-character at any even size.
        {"a温度摄氏度华氏度开尔文兰氏度列氏度牛顿度", "a温度摄氏度华氏"},
        {"", ""},
    };
    for (const Case& c : cases) {
        set_text(group_name_edit, c.typed);
        click(IDC_GROUP_RENAME);
        EXPECT_STREQ(group_at(0)->name, c.stored) << c.typed;
        EXPECT_EQ(list_items(group_list)[0], c.stored);
        EXPECT_EQ(list_selection(group_list), 0);
        EXPECT_EQ(window_text(group_name_edit), c.typed);

        set_text(member_name_edit, c.typed);
        click(IDC_MEMBER_CHANGE);
        EXPECT_STREQ(member_at(group_at(0), 0)->name, c.stored) << c.typed;
        EXPECT_EQ(list_items(member_list)[0], c.stored);
        EXPECT_EQ(window_text(member_name_edit), c.typed);
    }
}

// Typed as the system delivers it to a Unicode edit, one UTF-16 unit per
// WM_CHAR, whatever the system's code page: stored and saved as GBK.
TEST_F(EmptyEditorTest, ChineseTypedIntoTheFieldsIsStoredAndSavedAsGbk)
{
    click(IDC_GROUP_ADD);
    set_text(group_name_edit, "");
    type(group_name_edit, "温度摄氏度");
    click(IDC_GROUP_RENAME);
    set_text(member_name_edit, "");
    type(member_name_edit, "摄氏度");
    click(IDC_MEMBER_CHANGE);
    EXPECT_EQ(window_text(group_name_edit), "温度摄氏度");
    EXPECT_EQ(list_items(group_list), Texts{"温度摄氏度"});
    EXPECT_EQ(list_items(member_list), Texts{"摄氏度"});

    click(IDC_SAVE);
    const char expected[] = "\x01\0\0\0"
                            "\x01\0\0\0"
                            "\xCE\xC2\xB6\xC8\xC9\xE3\xCA\xCF\xB6\xC8\0\0\0\0\0\0"
                            "\xC9\xE3\xCA\xCF\xB6\xC8\0\0\0\0\0\0\0\0\0\0"
                            "\0\0\0\0"
                            "\0\0\0\0";
    EXPECT_EQ(file_bytes("dv.dat"), std::string(expected, sizeof expected - 1));
    restart();
    EXPECT_EQ(list_items(group_list), Texts{"温度摄氏度"});
    EXPECT_EQ(member_fields(), (Texts{"摄氏度", "0", "0"}));
}

// A GBK program gets "?" from the system for such a character; so does this
// one, one "?" per character, within the same cut.
TEST_F(SampleEditorTest, ACharacterGbkCannotHoldIsStoredAsAQuestionMark)
{
    struct Case {
        const wchar_t* typed;
        const char* stored;
    };
    const Case cases[] = {
        {L"a\uD55Cb", "a?b"},    // Hangul
        {L"\U0001F600x", "?x"},  // beyond the BMP: a surrogate pair, one "?"
        {L"温度\U0001F600摄氏", "温度?摄氏"},
    };
    for (const Case& c : cases) {
        set_text(member_name_edit, "");
        type(member_name_edit, c.typed);
        click(IDC_MEMBER_CHANGE);
        EXPECT_STREQ(member_at(group_at(0), 0)->name, c.stored);
        EXPECT_EQ(list_items(member_list)[0], c.stored);
    }
    // Set, not typed: typing stops where the text fills the field's width.
    SetWindowTextW(member_name_edit, L"\uD55C\uD55C\uD55C\uD55C\uD55C\uD55C\uD55C\uD55C\uD55C\uD55C"
                                     L"\uD55C\uD55C\uD55C\uD55C\uD55C\uD55C");
    click(IDC_MEMBER_CHANGE);
    EXPECT_STREQ(member_at(group_at(0), 0)->name, "???????????????");
}

TEST_F(ThreeGroupEditorTest, MovesAtTheEndsDoNothingButStillMarkTheGroupsChanged)
{
    struct End {
        int button;
        HWND list;
        int group;
        int position;
    };
    const End ends[] = {{IDC_GROUP_UP, group_list, 0, 0},
                        {IDC_GROUP_DOWN, group_list, 2, 2},
                        {IDC_MEMBER_UP, member_list, 2, 0},
                        {IDC_MEMBER_DOWN, member_list, 2, 2}};
    for (const End& end : ends) {
        select_list(group_list, end.group);
        select_list(end.list, end.position);
        Texts members = list_items(member_list);
        groups_changed = 0;
        click(end.button);
        EXPECT_EQ(groups_changed, 1) << end.button;
        EXPECT_EQ(list_items(group_list), (Texts{"甲", "乙", "丙"}));
        EXPECT_EQ(list_items(member_list), members);
        EXPECT_EQ(list_selection(end.list), end.position);
    }
    EXPECT_EQ(member_fields(), (Texts{"c3", "6", "0"}));
}

TEST_F(ThreeGroupEditorTest, AMovedGroupOrMemberStaysSelectedAndShown)
{
    select_list(group_list, 2);
    click(IDC_GROUP_UP);
    EXPECT_EQ(list_items(group_list), (Texts{"甲", "丙", "乙"}));
    EXPECT_EQ(list_selection(group_list), 1);
    EXPECT_EQ(list_items(member_list), (Texts{"c1", "c2", "c3"}));
    EXPECT_STREQ(group_at(1)->header.next->name, "c1");
    click(IDC_GROUP_DOWN);
    EXPECT_EQ(list_items(group_list), (Texts{"甲", "乙", "丙"}));
    EXPECT_EQ(list_selection(group_list), 2);

    click(IDC_MEMBER_DOWN);
    EXPECT_EQ(list_items(member_list), (Texts{"c2", "c1", "c3"}));
    EXPECT_EQ(list_selection(member_list), 1);
    EXPECT_EQ(member_fields(), (Texts{"c1", "4", "0"}));
    EXPECT_EQ(member_at(group_at(2), 1)->a, 4.0f);
    click(IDC_MEMBER_UP);
    EXPECT_EQ(list_items(member_list), (Texts{"c1", "c2", "c3"}));
    EXPECT_EQ(list_selection(member_list), 0);
}

// Whether a change of the list's entries asks for the list to be painted,
// as a list whose drawing was left switched off after a fill no longer does.
static bool draws_an_added_entry(HWND list, int add_button)
{
    UpdateWindow(list);
    SendMessageA(GetDlgItem(main_window, add_button), BM_CLICK, 0, 0);
    bool asked = GetUpdateRect(list, nullptr, FALSE) != 0;
    pump_messages();
    return asked;
}

// The lists are filled with their drawing off (at start-up, while hidden,
// and on every selection): the same entries in the same order, the same
// selection, drawn again afterwards, and the other pages' lists stay hidden.
TEST_F(ThreeGroupEditorTest, AFilledListKeepsItsEntriesAndSelectionAndDrawsAgain)
{
    for (HWND control : {group_combo, download_list})
        EXPECT_FALSE(IsWindowVisible(control));
    EXPECT_EQ(list_items(group_list), (Texts{"甲", "乙", "丙"}));
    EXPECT_EQ(list_selection(group_list), 0);
    EXPECT_TRUE(draws_an_added_entry(group_list, IDC_GROUP_ADD));
    select_list(group_list, 2);
    EXPECT_EQ(list_items(member_list), (Texts{"c1", "c2", "c3"}));
    EXPECT_EQ(list_selection(member_list), 0);
    EXPECT_EQ(member_fields(), (Texts{"c1", "4", "0"}));
    EXPECT_TRUE(draws_an_added_entry(member_list, IDC_MEMBER_ADD));
    EXPECT_EQ(list_items(member_list), (Texts{"c1", "c2", "c3", "新建项目"}));
}

TEST_F(ThreeGroupEditorTest, DeletingGroupsSelectsTheNeighbourAndNeverTheLastGroup)
{
    select_list(group_list, 2);
    click(IDC_GROUP_DELETE);
    EXPECT_EQ(list_items(group_list), (Texts{"甲", "乙"}));
    EXPECT_EQ(list_selection(group_list), 1);
    EXPECT_EQ(window_text(group_name_edit), "乙");
    EXPECT_EQ(list_items(member_list), (Texts{"b1", "b2"}));
    select_list(group_list, 0);
    click(IDC_GROUP_DELETE);
    EXPECT_EQ(list_items(group_list), Texts{"乙"});
    EXPECT_EQ(list_selection(group_list), 0);
    EXPECT_EQ(member_fields(), (Texts{"b1", "2", "0"}));
    click(IDC_GROUP_DELETE);
    EXPECT_EQ(list_items(group_list), Texts{"乙"});
    EXPECT_EQ(group_count(), 1);
}

TEST_F(ThreeGroupEditorTest, DeletingMembersSelectsTheNeighbourAndNeverTheLastMember)
{
    select_list(group_list, 2);
    select_list(member_list, 2);
    click(IDC_MEMBER_DELETE);
    EXPECT_EQ(list_items(member_list), (Texts{"c1", "c2"}));
    EXPECT_EQ(list_selection(member_list), 1);
    EXPECT_EQ(member_fields(), (Texts{"c2", "5", "0"}));
    select_list(member_list, 0);
    click(IDC_MEMBER_DELETE);
    EXPECT_EQ(list_items(member_list), Texts{"c2"});
    EXPECT_EQ(list_selection(member_list), 0);
    click(IDC_MEMBER_DELETE);
    EXPECT_EQ(member_count(group_at(2)), 1);
    EXPECT_EQ(list_items(member_list), Texts{"c2"});
}

TEST_F(MemberlessGroupTest, AGroupWithoutMembersShowsNoneUntilAddMemberGivesItOne)
{
    select_list(group_list, 1);
    EXPECT_EQ(window_text(group_name_edit), "空");
    EXPECT_TRUE(list_items(member_list).empty());
    EXPECT_EQ(list_selection(member_list), -1);
    EXPECT_EQ(member_fields(), (Texts{"米", "1", "0"}));
    for (int id : {IDC_MEMBER_CHANGE, IDC_MEMBER_DELETE, IDC_MEMBER_UP, IDC_MEMBER_DOWN})
        click(id);
    EXPECT_EQ(member_count(group_at(1)), 0);
    EXPECT_STREQ(group_at(0)->header.next->name, "米");
    click(IDC_MEMBER_ADD);
    EXPECT_EQ(list_items(member_list), Texts{"新建项目"});
    EXPECT_EQ(list_selection(member_list), 0);
    EXPECT_EQ(member_fields(), (Texts{"新建项目", "0", "0"}));
    EXPECT_EQ(member_count(group_at(1)), 1);
}

TEST_F(SampleEditorTest, AfterAnyButtonTheConvertPageStartsAgainFromGroupZero)
{
    mouse_click(50, 130);
    select_list(group_combo, 1);
    type(conversion_fields[0], "5");
    open_settings();
    click(IDC_GROUP_ADD);
    mouse_click(50, 130);
    EXPECT_EQ(list_items(group_combo), (Texts{"温度", "长度", "新建项目"}));
    EXPECT_EQ(SendMessageA(group_combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(window_text(conversion_fields[0]), "");
    EXPECT_TRUE(IsWindowEnabled(conversion_fields[2]));
    EXPECT_FALSE(IsWindowEnabled(conversion_fields[3]));
    EXPECT_EQ(groups_changed, 0);
}

// The shipped database, as its dv.dat.
class DefaultDatabaseEditorTest : public ShellTest {
protected:
    std::string shipped;
    void prepare_files() override
    {
        std::string error;
        ASSERT_TRUE(read_units_text(read_file(DUVARIN_SOURCE_DIR "/resources/units.txt"), false, "units.txt", error))
            << error;
        ASSERT_TRUE(save_database("dv.dat"));
        free_database();
        shipped = file_bytes("dv.dat");
    }
};

TEST_F(DefaultDatabaseEditorTest, ChangeOnEveryGroupAndMemberThenSaveGivesTheSameBytes)
{
    open_settings();
    ASSERT_GT(list_count(group_list), 10);
    for (int g = 0; g < list_count(group_list); ++g) {
        select_list(group_list, g);
        click(IDC_GROUP_RENAME);
        for (int m = 0; m < list_count(member_list); ++m) {
            select_list(member_list, m);
            click(IDC_MEMBER_CHANGE);
        }
    }
    click(IDC_SAVE);
    EXPECT_EQ(file_bytes("dv.dat"), shipped);
}
