#pragma once
// The Settings page's eleven buttons: the commands that edit the unit
// database in memory, and 保存, which hands it to the document.

// Whether a button id is one of the 11 editor commands (500 + 4k, k = 0..10).
bool is_editor_command(int id);
// Runs the command of an editor button. A command whose precondition the
// lists do not meet does nothing.
void run_editor_command(int id);
