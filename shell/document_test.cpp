// The user's files: what 保存 writes and what it says when it cannot, the
// question on closing with changes not saved, and a dv.dat that does not load.
#include <gtest/gtest.h>
#include "database/unit_database.h"
#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/controls.h"
#include "shell/pages.h"
#include "testing/files.h"
#include "testing/gui_test_support.h"
#include "testing/message_boxes.h"
#include "testing/message_pump.h"
#include "update/download_log.h"

namespace {

class EmptySavingTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        show_page(page_settings);
    }
};

class SavingTest : public SampleShellTest {
protected:
    void SetUp() override
    {
        SampleShellTest::SetUp();
        show_page(page_settings);
    }
};

TEST_F(EmptySavingTest, SaveOnAnEmptyDatabaseLeavesAnOldConfigFAsItWas)
{
    write_file("config.f", std::string(30, '\x07'));
    download_log.records[1] = DownloadRecord{2011, 7, 15};
    click(IDC_SAVE);
    EXPECT_EQ(read_file("config.f"), std::string(30, '\x07'));
    EXPECT_EQ(GetFileAttributesA("dv.dat"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SavingTest, SaveWritesTheDownloadDatesAfterTheDatabase)
{
    download_log.records[1] = DownloadRecord{2011, 7, 15};
    click(IDC_SAVE);
    EXPECT_EQ(read_file("config.f"),
              std::string(6, '\0') + std::string("\xDB\x07\x07\x00\x0F\x00", 6) + std::string(18, '\0'));
    EXPECT_EQ(read_file("dv.dat"), database_bytes(sample_groups()));
}

// Save through the real button, with the message boxes answered; the text
// of the one box that came up, or "" when none did.
std::string save_and_read_the_box()
{
    watch_message_boxes(IDOK);
    click(IDC_SAVE);
    stop_watching_message_boxes();
    std::vector<SeenMessageBox> boxes = seen_message_boxes();
    if (boxes.empty())
        return "";
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "保存");
    EXPECT_FALSE(boxes[0].yes_no);
    EXPECT_EQ(boxes[0].icon, LoadIconA(nullptr, IDI_WARNING));
    EXPECT_EQ(boxes[0].owner, main_window);
    return boxes[0].text;
}

bool is_folder(const char* name)
{
    DWORD attributes = GetFileAttributesA(name);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A folder in a file's place stops every writer, root on Linux included.
void block_with_folder(const char* name)
{
    DeleteFileA(name);
    ASSERT_TRUE(CreateDirectoryA(name, nullptr));
}

TEST_F(SavingTest, ASaveThatFailsSaysWhichFileAndASecondSaveSucceeds)
{
    const std::string dates = std::string(6, '\0') + std::string("\xDB\x07\x07\x00\x0F\x00", 6) + std::string(18, '\0');
    download_log.records[1] = DownloadRecord{2011, 7, 15};
    click(IDC_GROUP_ADD);
    std::vector<SampleGroup> saved = sample_groups();
    saved.push_back({"新建项目", {{"新建项目", 0, 0}}});

    block_with_folder("dv.dat");
    EXPECT_EQ(save_and_read_the_box(), "无法保存 dv.dat！修改仍在程序中，请检查磁盘空间或文件夹权限后再次保存。");
    EXPECT_TRUE(is_folder("dv.dat"));
    EXPECT_EQ(read_file("config.f"), dates);  // the other file is still saved

    block_with_folder("config.f");
    EXPECT_EQ(save_and_read_the_box(),
              "无法保存 dv.dat 和 config.f！修改仍在程序中，请检查磁盘空间或文件夹权限后再次保存。");
    EXPECT_TRUE(is_folder("dv.dat"));
    EXPECT_TRUE(is_folder("config.f"));

    ASSERT_TRUE(RemoveDirectoryA("dv.dat"));
    EXPECT_EQ(save_and_read_the_box(), "无法保存 config.f！修改仍在程序中，请检查磁盘空间或文件夹权限后再次保存。");
    EXPECT_EQ(read_file("dv.dat"), database_bytes(saved));
    EXPECT_TRUE(is_folder("config.f"));

    // Space freed: the same running window saves silently, and nothing of
    // the edits was lost on the way.
    ASSERT_TRUE(RemoveDirectoryA("config.f"));
    EXPECT_EQ(save_and_read_the_box(), "");
    EXPECT_EQ(read_file("dv.dat"), database_bytes(saved));
    EXPECT_EQ(read_file("config.f"), dates);
    EXPECT_EQ(group_count(), 3);
}

// Closing must not lose what the user did: it asks when the database or the
// download dates are not what was loaded or saved.
class ClosingTest : public SampleShellTest {
protected:
    // Closes as the caption's close box does, the question answered so.
    std::vector<SeenMessageBox> close_answering(int answer)
    {
        watch_message_boxes(answer);
        SendMessageW(main_window, WM_CLOSE, 0, 0);
        pump_messages();
        stop_watching_message_boxes();
        return seen_message_boxes();
    }
    void rename_first_member(const char* name)
    {
        show_page(page_settings);
        set_text(member_name_edit, name);
        click(IDC_MEMBER_CHANGE);
    }
};

TEST_F(ClosingTest, NothingChangedOrAnEditUndoneClosesWithoutAQuestion)
{
    std::string saved = read_file("dv.dat");
    rename_first_member("别名");
    rename_first_member(sample_groups()[0].members[0].name.c_str());
    EXPECT_TRUE(close_answering(IDCANCEL).empty());
    EXPECT_FALSE(IsWindow(main_window));
    EXPECT_EQ(read_file("dv.dat"), saved);
}

TEST_F(ClosingTest, CancelKeepsTheChangesNoDropsThemYesSavesThem)
{
    std::string saved = read_file("dv.dat");
    rename_first_member("别名");
    std::vector<SeenMessageBox> boxes = close_answering(IDCANCEL);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "保存");
    EXPECT_EQ(boxes[0].text, "修改尚未保存，是否保存？");
    EXPECT_EQ(boxes[0].owner, main_window);
    EXPECT_TRUE(IsWindow(main_window));
    EXPECT_STREQ(member_at(group_at(0), 0)->name, "别名");

    // The end of the Windows session asks the same, and Cancel refuses it.
    watch_message_boxes(IDCANCEL);
    EXPECT_EQ(SendMessageW(main_window, WM_QUERYENDSESSION, 0, 0), FALSE);
    stop_watching_message_boxes();
    EXPECT_EQ(seen_message_boxes().size(), 1u);

    EXPECT_EQ(close_answering(IDNO).size(), 1u);
    EXPECT_FALSE(IsWindow(main_window));
    EXPECT_EQ(read_file("dv.dat"), saved);

    restart();
    rename_first_member("别名");
    EXPECT_EQ(close_answering(IDYES).size(), 1u);
    EXPECT_FALSE(IsWindow(main_window));
    restart();
    EXPECT_STREQ(member_at(group_at(0), 0)->name, "别名");
    // Saved: nothing more to ask.
    EXPECT_TRUE(close_answering(IDCANCEL).empty());
}

TEST_F(ClosingTest, YesWithAFileThatCannotBeWrittenStaysOpenWithTheChanges)
{
    rename_first_member("别名");
    ASSERT_TRUE(DeleteFileA("config.f") || GetLastError() == ERROR_FILE_NOT_FOUND);
    ASSERT_TRUE(CreateDirectoryA("config.f", nullptr));
    std::vector<SeenMessageBox> boxes = close_answering(IDYES);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "无法保存 config.f！修改仍在程序中，请检查磁盘空间或文件夹权限后再次保存。");
    EXPECT_TRUE(IsWindow(main_window));
    EXPECT_STREQ(member_at(group_at(0), 0)->name, "别名");
    RemoveDirectoryA("config.f");
}

// A dv.dat that is there but does not load: said once the window shows, and
// kept before the first save replaces it.
class DamagedDatabaseTest : public ShellTest {
protected:
    std::string damaged = database_bytes(sample_groups()).substr(0, 50);
    std::vector<SeenMessageBox> boxes;
    void prepare_files() override { write_file("dv.dat", damaged); }
    // The boxes of the start, up to the first idle moment of the window.
    void SetUp() override
    {
        watch_message_boxes(IDOK);
        ShellTest::SetUp();
        pump_messages();
        stop_watching_message_boxes();
        boxes = seen_message_boxes();
    }
};

class MissingDatabaseTest : public DamagedDatabaseTest {
protected:
    void prepare_files() override {}
};

TEST_F(DamagedDatabaseTest, IsReportedOnceAndKeptAsDvDatBakByTheFirstSave)
{
    EXPECT_EQ(group_count(), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "无法读取 dv.dat，程序以空数据库启动。第一次保存前，原文件将保留为 dv.dat.bak。");
    EXPECT_EQ(boxes[0].owner, main_window);

    show_page(page_settings);
    click(IDC_GROUP_ADD);
    click(IDC_SAVE);
    EXPECT_EQ(read_file("dv.dat.bak"), damaged);
    EXPECT_EQ(group_count(), 1);
    // The second save replaces the new dv.dat only.
    click(IDC_GROUP_ADD);
    click(IDC_SAVE);
    EXPECT_EQ(read_file("dv.dat.bak"), damaged);
}

// Moved away by the user while the program runs: nothing to keep, and the
// save goes ahead rather than failing every time.
TEST_F(DamagedDatabaseTest, MovedAwayBeforeTheFirstSaveDoesNotBlockIt)
{
    ASSERT_TRUE(MoveFileA("dv.dat", "moved.dat"));
    show_page(page_settings);
    click(IDC_GROUP_ADD);
    watch_message_boxes(IDOK);
    click(IDC_SAVE);
    stop_watching_message_boxes();
    EXPECT_TRUE(seen_message_boxes().empty());
    EXPECT_EQ(GetFileAttributesA("dv.dat.bak"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(read_file("moved.dat"), damaged);
    EXPECT_EQ(read_file("dv.dat"), database_bytes({{"新建项目", {{"新建项目", 0, 0}}}}));
}

TEST_F(MissingDatabaseTest, TheFirstStartSaysNothing)
{
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(group_count(), 0);
}

}  // namespace
