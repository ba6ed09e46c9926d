// File replacement calls on Windows.
#include "platform/replace_file_calls.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

FILE* create_new_file(const char* name, CreateOutcome& outcome)
{
    int fd = _open(name, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        outcome = errno == EEXIST ? CreateOutcome::name_taken : CreateOutcome::failed;
        return nullptr;
    }
    FILE* stream = _fdopen(fd, "wb");
    if (!stream) {
        _close(fd);
        DeleteFileA(name);
        outcome = CreateOutcome::failed;
        return nullptr;
    }
    outcome = CreateOutcome::created;
    return stream;
}

unsigned long process_tag()
{
    return GetCurrentProcessId();
}

bool commit_to_disk(FILE* stream)
{
    return _commit(_fileno(stream)) == 0;
}

bool replace_target(const char* replacement, const char* target)
{
    // WRITE_THROUGH: the call returns only once the move is on the disk.
    return MoveFileExA(replacement, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void remove_file(const char* name)
{
    DeleteFileA(name);
}
