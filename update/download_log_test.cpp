#include "update/download_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#endif

namespace {

const char log_file[] = "download_log_test.f";

void write_file(const char* name, const std::string& bytes)
{
    std::ofstream(name, std::ios::binary) << bytes;
}

std::string read_file(const char* name)
{
    std::ifstream file(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

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

TEST(LoadDownloadLog, ShortOrMissingFileResetsEverything)
{
    fill_log(7);
    write_file(log_file, std::string(29, '\x01'));
    load_download_log(log_file);
    EXPECT_TRUE(log_is_zero());

    fill_log(7);
    remove(log_file);
    load_download_log(log_file);
    EXPECT_TRUE(log_is_zero());
}

TEST(LoadDownloadLog, ReadsTheFirstThirtyBytesLittleEndian)
{
    std::string bytes;
    for (int i = 0; i < 36; ++i)
        bytes += static_cast<char>(i * 9);
    write_file(log_file, bytes);
    load_download_log(log_file);
    EXPECT_EQ(download_log.records[0].year, 0x0900);
    EXPECT_EQ(download_log.records[0].month, 0x1B12);
    EXPECT_EQ(download_log.records[4].day, 0x05FC);   // bytes 28 and 29
    remove(log_file);
}

TEST(SaveDownloadLog, WritesRowsByPositionAndReadsBack)
{
    reset_download_log();
    download_log.records[1] = DownloadRecord{2011, 7, 15};
    download_log.records[4] = DownloadRecord{0xFFFF, 0x1234, 31};
    ASSERT_TRUE(save_download_log(log_file));
    std::string bytes = read_file(log_file);
    ASSERT_EQ(bytes.size(), 30u);
    EXPECT_EQ(bytes.substr(6, 6), std::string("\xDB\x07\x07\x00\x0F\x00", 6));
    EXPECT_EQ(bytes.substr(0, 6), std::string(6, '\0'));

    reset_download_log();
    load_download_log(log_file);
    EXPECT_EQ(download_log.records[1].year, 2011);
    EXPECT_EQ(download_log.records[1].day, 15);
    EXPECT_EQ(download_log.records[4].year, 0xFFFF);
    EXPECT_EQ(download_log.records[4].month, 0x1234);
    remove(log_file);
}

TEST(SaveDownloadLog, FailureIsReportedAndKeepsWhatWasThere)
{
    const char folder[] = "download_log_test_folder";
#ifdef _WIN32
    _mkdir(folder);
#else
    mkdir(folder, 0777);
#endif
    EXPECT_FALSE(save_download_log(folder));
    struct stat info;
    ASSERT_EQ(stat(folder, &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    rmdir(folder);

    EXPECT_FALSE(save_download_log("no_such_folder/config.f"));
    EXPECT_EQ(read_file("no_such_folder/config.f"), "");
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
