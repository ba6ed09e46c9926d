#pragma once
// Test support for the GUI: every test starts the real main window in a
// fresh working folder and drives it with the messages the system would
// send for the user's actions.
#include <windows.h>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <vector>
#include "testing/file_bytes.h"
#include "testing/message_pump.h"

// Texts go to and come from the windows through the wide calls, converted
// with code page 936 here, so that the tests read what the user sees on any
// system code page.
std::wstring wide_text(const std::string& gbk);
std::string gbk_text(const std::wstring& wide);

void click(int id);
// One typed character (a UTF-16 unit) into the field, which takes the focus.
void type_char(HWND field, wchar_t c);
// Each UTF-16 unit of the text as a typed character, at the end of the text.
void type(HWND field, const char* text);
void type(HWND field, const std::wstring& text);
// As a paste or the program would set it: no character filter sees it.
void set_text(HWND window, const char* text);
void select_list(HWND list, int index);
std::string window_text(HWND window);
std::vector<std::string> list_items(HWND list);
COLORREF pixel(int x, int y);
void mouse_move(int x, int y);
void mouse_click(int x, int y);
// Real key presses go through the system's input queue to the foreground
// window, with the state of Ctrl and Shift that the keys give. Test
// programs that press keys run alone (SERIAL, cmake/testing.cmake): another
// test's window coming up would take the foreground and the keys with it.
// Makes the main window the foreground window; whether it is.
bool bring_to_front();
// Presses the keys in order and releases them in reverse order, from any
// thread, without waiting for them to arrive.
void send_keys(const std::vector<WORD>& keys);
// Presses the keys in order and releases them in reverse order, then
// handles messages until the window has taken the last release and what the
// keys caused. Whether every release arrived.
bool press_keys(std::initializer_list<WORD> keys);
inline bool press_key(WORD key)
{
    return press_keys({key});
}
// The id of the control with the focus; 0 for the main window itself.
int focused_id();

// Whether the client rectangle shows the background with the text drawn
// on it as a page label.
bool shows_label(const char* text, int x, int y, int width, int height);
// Whether the client rectangle shows nothing but the background.
bool shows_background(int x, int y, int width, int height);

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Runs before the window is created, in the fresh working folder.
    virtual void prepare_files() {}
    void write_file(const char* name, const std::string& bytes);
    // Closes the window and starts the program again in the same folder.
    void restart();
    void start();
    void stop();

    std::string folder;
    std::string previous_folder;
};

// A sample database of two groups in dv.dat.
class SampleShellTest : public ShellTest {
protected:
    void prepare_files() override { write_file("dv.dat", database_bytes(sample_groups())); }
};
