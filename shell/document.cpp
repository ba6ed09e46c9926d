#include "shell/document.h"
#include <windows.h>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include "database/database_file.h"
#include "database/unit_database.h"
#include "shell/app_state.h"
#include "shell/window_text.h"
#include "update/download_log.h"

namespace {

const char database_file_name[] = "dv.dat";
const char database_backup_name[] = "dv.dat.bak";
const char log_file_name[] = "config.f";

// dv.dat was there but did not load: the first save keeps its bytes as
// dv.dat.bak before it replaces the file.
bool keep_damaged_database = false;

// What dv.dat and config.f hold as last loaded or saved, so that an edit undone
// by hand counts as no change.
uint64_t saved_database_digest;
DownloadLog saved_download_log;

bool log_is_saved()
{
    return std::memcmp(&saved_download_log, &download_log, sizeof download_log) == 0;
}

// Only a file that is surely gone: one that merely cannot be looked at now
// may still hold the user's data.
bool is_gone(const char* name)
{
    if (GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// A file that did not load may still hold the user's data: its bytes are kept
// before anything replaces them, and without that copy nothing does. A file
// moved away since has nothing left to keep.
bool save_database_file()
{
    if (keep_damaged_database) {
        if (!is_gone(database_file_name) && !copy_file_bytes(database_file_name, database_backup_name))
            return false;
        keep_damaged_database = false;
    }
    return save_database(database_file_name);
}

// A failed write keeps the old file whole, but the user must learn that the
// changes live only in the program until a later Save succeeds: closing it
// now would lose them.
void report_unsaved(bool database_saved, bool log_saved)
{
    char files[40];
    if (!database_saved && !log_saved)
        std::snprintf(files, sizeof files, "%s 和 %s", database_file_name, log_file_name);
    else
        std::snprintf(files, sizeof files, "%s", database_saved ? log_file_name : database_file_name);
    char text[160];
    std::snprintf(text, sizeof text, "无法保存 %s！修改仍在程序中，请检查磁盘空间或文件夹权限后再次保存。", files);
    show_message_box(main_window, text, "保存", MB_OK | MB_ICONWARNING);
}

}  // namespace

bool open_document()
{
    keep_damaged_database = load_database(database_file_name) == DatabaseFileState::damaged;
    load_download_log(log_file_name);
    saved_database_digest = database_digest();
    saved_download_log = download_log;
    return keep_damaged_database;
}

void warn_of_damaged_file()
{
    show_message_box(main_window, "无法读取 dv.dat，程序以空数据库启动。第一次保存前，原文件将保留为 dv.dat.bak。",
                     "保存", MB_OK | MB_ICONWARNING);
}

// Each file is replaced only once it is written in full, and a failure of
// one does not stop the attempt on the other.
bool save_document()
{
    if (!unit_database.next)
        return true;
    bool database_saved = save_database_file();
    bool log_saved = save_download_log(log_file_name);
    if (database_saved)
        saved_database_digest = database_digest();
    if (log_saved)
        saved_download_log = download_log;
    if (!database_saved || !log_saved)
        report_unsaved(database_saved, log_saved);
    return database_saved && log_saved;
}

void record_download(int table)
{
    read_today();
    download_log.records[table] = today;
}

bool may_close()
{
    if (saved_database_digest == database_digest() && log_is_saved())
        return true;
    int answer = show_message_box(main_window, "修改尚未保存，是否保存？", "保存", MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDYES)
        return save_document();
    return answer == IDNO;
}
