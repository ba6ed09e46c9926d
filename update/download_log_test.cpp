#include "update/download_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "testing/files.h"

namespace {

// Each case writes its own log file in its own folder, so cases can run in
// parallel.
class DownloadLogFile : public ::testing::Test {
protected:
    void write(const std::string& bytes) { ASSERT_TRUE(write_file(log_file, bytes)); }
    std::string read() const { return read_file(log_file); }

    TestFolder folder;
    std::string log_file = folder.file("config.f");
};

void fill_log(uint16_t value)
{
    for (DownloadRecord& record : download_log.records)
        record = DownloadRecord{value, value, value};
}

bool log_is_zero()
{
    for (const DownloadRecord& record : download_log.records)
        if (record.year != 0 || record.month != 0 || record.day != 0)
            return false;
    return true;
}

TEST_F(DownloadLogFile, ShortOrMissingFileResetsEverything)
{
    fill_log(7);
    write(std::string(29, '\x01'));
    load_download_log(log_file.c_str());
    EXPECT_TRUE(log_is_zero());

    fill_log(7);
    std::filesystem::remove(log_file);
    load_download_log(log_file.c_str());
    EXPECT_TRUE(log_is_zero());
}

TEST_F(DownloadLogFile, ReadsTheFirstThirtyBytesLittleEndian)
{
    std::string bytes;
    for (int i = 0; i < 36; ++i)
        bytes += static_cast<char>(i * 9);
    write(bytes);
    load_download_log(log_file.c_str());
    EXPECT_EQ(download_log.records[0].year, 0x0900);
    EXPECT_EQ(download_log.records[0].month, 0x1B12);
    EXPECT_EQ(download_log.records[4].day, 0x05FC);  // bytes 28 and 29
}

TEST_F(DownloadLogFile, SaveWritesRowsByPositionAndReadsBack)
{
    reset_download_log();
    download_log.records[1] = DownloadRecord{2011, 7, 15};
    download_log.records[4] = DownloadRecord{0xFFFF, 0x1234, 31};
    ASSERT_TRUE(save_download_log(log_file.c_str()));
    std::string bytes = read();
    ASSERT_EQ(bytes.size(), 30u);
    EXPECT_EQ(bytes.substr(6, 6), std::string("\xDB\x07\x07\x00\x0F\x00", 6));
    EXPECT_EQ(bytes.substr(0, 6), std::string(6, '\0'));

    reset_download_log();
    load_download_log(log_file.c_str());
    EXPECT_EQ(download_log.records[1].year, 2011);
    EXPECT_EQ(download_log.records[1].day, 15);
    EXPECT_EQ(download_log.records[4].year, 0xFFFF);
    EXPECT_EQ(download_log.records[4].month, 0x1234);
}

TEST_F(DownloadLogFile, SaveFailureIsReportedAndKeepsWhatWasThere)
{
    std::filesystem::create_directory(log_file);
    EXPECT_FALSE(save_download_log(log_file.c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(log_file));

    std::string missing = folder.file("no_such_folder/config.f");
    EXPECT_FALSE(save_download_log(missing.c_str()));
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(DownloadStatus, TodayYesterdayAndNever)
{
    DownloadRecord today = {2011, 7, 15};
    EXPECT_STREQ(record_status_text({2011, 7, 15}, today), "成功下载");
    EXPECT_STREQ(record_status_text({2011, 7, 14}, today), "需要更新");
    EXPECT_STREQ(record_status_text({2010, 7, 15}, today), "需要更新");
    EXPECT_STREQ(record_status_text({2011, 7, 0}, today), "无成功连接");
    EXPECT_STREQ(record_status_text({0, 0, 0}, today), "无成功连接");
}

}  // namespace
