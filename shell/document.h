#pragma once
// The user's files: dv.dat holds the unit database, config.f the download
// log. Everything that reads or writes them goes through here: loading both
// at start-up, the warning about a dv.dat that did not load, the saved state
// that the closing question compares with, and saving both.

// Loads both files into the empty database and log, and counts what they
// hold as saved. Returns whether dv.dat was there but did not load: the
// program then starts empty, and warn_of_damaged_file says so.
bool open_document();
void warn_of_damaged_file();

// Writes dv.dat, then config.f (the 保存 command). Silent on success; a
// file that cannot be written is named in a warning, and the changes stay
// in the program. Returns whether both files now hold what is in memory.
bool save_document();

// The table's download is dated today in the log that config.f keeps.
void record_download(int table);

// Closing with changes that are not saved asks first: Yes saves, No drops
// them, Cancel keeps the program running. Returns whether it may close.
bool may_close();
