#include "shell/pages.h"
#include "convert/convert_page.h"
#include "shell/app_state.h"
#include "shell/controls.h"
#include "shell/window_text.h"
#include "update/download_page.h"

const int tile_size = 80;
const int tile_left = 35;
const int sprite_row_normal = 0;
const int sprite_row_hover = 80;
const int sprite_row_selected = 160;

namespace {

int tile_top(int page)
{
    return 90 + 100 * (page - 1);
}
int sprite_column(int page)
{
    return 80 * (page - 1);
}

// Every control in the order show_page hides them, with its page.
int list_controls(HWND* handles, int* pages)
{
    int n = 0;
    auto add = [&](HWND handle, int page) {
        handles[n] = handle;
        pages[n] = page;
        n++;
    };
    for (int i = 0; i < field_count; i++)
        add(conversion_fields[i], page_convert);
    for (int i = 0; i < settings_edit_count; i++)
        add(settings_edits[i], page_settings);
    add(group_list, page_settings);
    add(member_list, page_settings);
    add(group_combo, page_convert);
    add(download_button, page_update);
    add(download_list, page_update);
    for (int k = 0; k < editor_button_count; k++)
        add(editor_buttons[k], page_settings);
    return n;
}

}  // namespace

void show_page(int page)
{
    HWND handles[control_count];
    int pages[control_count];
    int n = list_controls(handles, pages);
    for (int i = 0; i < n; i++)
        ShowWindow(handles[i], SW_HIDE);
    if (page == page_convert) {
        for (int i = 0; i < field_count; i++)
            ShowWindow(conversion_fields[i], SW_SHOW);
        ShowWindow(group_combo, SW_SHOW);
        enable_fields();
    } else if (page == page_settings) {
        for (int i = 0; i < settings_edit_count; i++)
            ShowWindow(settings_edits[i], SW_SHOW);
        ShowWindow(group_list, SW_SHOW);
        ShowWindow(member_list, SW_SHOW);
        for (int k = 0; k < editor_button_count; k++)
            ShowWindow(editor_buttons[k], SW_SHOW);
    } else if (page == page_update) {
        ShowWindow(download_button, SW_SHOW);
        ShowWindow(download_list, SW_SHOW);
    }
}

bool page_controls_shown(int page)
{
    HWND handles[control_count];
    int pages[control_count];
    int n = list_controls(handles, pages);
    for (int i = 0; i < n; i++) {
        if (!handles[i])
            continue;
        bool visible = (GetWindowLongPtrA(handles[i], GWL_STYLE) & WS_VISIBLE) != 0;
        if (visible != (pages[i] == page))
            return false;
    }
    return true;
}

// Hiding a visible control makes the system repaint the part of the main
// window it uncovers. Showing the page anew on every paint would therefore
// ask for the next paint for ever, keeping the program busy while idle. The
// page's controls are already the visible ones except right after a hide
// from elsewhere, so they are shown again only then; the fields still follow
// the selected group on every paint.
void show_page_again(int page)
{
    if (!page_controls_shown(page))
        show_page(page);
    else if (page == page_convert)
        enable_member_fields();
}

void blit(int x, int y, int width, int height, HDC source, int source_x, int source_y)
{
    if (!main_window)
        return;
    HDC dc = GetDC(main_window);
    BitBlt(dc, x, y, width, height, source, source_x, source_y, SRCCOPY);
    ReleaseDC(main_window, dc);
}

void draw_label(HDC dc, const char* text, int x, int y, int width, int height)
{
    RECT box = {x, y, x + width, y + height};
    draw_text(dc, text, &box, 0);
}

namespace {

void draw_button(int page, int sprite_row)
{
    blit(tile_left, tile_top(page), tile_size, tile_size, sprite_image, sprite_column(page), sprite_row);
}

void draw_captions(HDC dc)
{
    draw_label(dc, "换算", 60, 172, 50, 20);
    draw_label(dc, "设置", 60, 272, 50, 20);
    draw_label(dc, "更新", 60, 372, 50, 20);
}

void draw_convert_labels(HDC dc)
{
    draw_label(dc, "选择换算类型", 160, 45, 100, 20);
    UnitGroup* group = selected_group();
    if (!group)
        return;
    UnitMember* member = group->header.next;
    for (int i = 0; i < field_count && member; i++, member = member->next) {
        char name[name_text_size];
        draw_label(dc, name_text(member->name, name), 170 + 120 * (i % 4), 98 + 60 * (i / 4), 120, 20);
    }
}

void draw_settings_labels(HDC dc)
{
    draw_label(dc, "换算单位组", 170, 55, 100, 20);
    draw_label(dc, "换算单位成员", 170, 245, 100, 20);
    draw_label(dc, "组名", 400, 80, 45, 20);
    draw_label(dc, "成员名", 400, 270, 45, 20);
    draw_label(dc, "系数a", 400, 310, 45, 20);
    draw_label(dc, "系数b", 400, 350, 45, 20);
    draw_label(dc, "注意：对数据所作的更改只有单击\"保存\"按钮才能在下次启动时生效！", 230, 440, 470, 20);
}

void draw_update_labels(HDC dc)
{
    draw_label(dc, "可下载列表", 170, 55, 100, 20);
    draw_label(dc, "今日下载：", 340, 80, 100, 20);
    const char* status = download_status_text();
    if (!status)
        return;
    draw_label(dc, status, 450, 80, 130, 20);
    draw_label(dc, "外汇牌价--网站提供，仅供参考。", 340, 130, 300, 20);
}

}  // namespace

void paint_page(int background)
{
    // Nothing is drawn while the window is being created.
    if (!main_window)
        return;
    HDC dc = GetDC(main_window);
    if (background == with_background)
        blit(0, 0, client_width, client_height, background_image, 0, 0);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, ui_font);
    if (current_page >= page_convert && current_page <= page_update)
        draw_captions(dc);
    if (current_page == page_convert) {
        draw_button(page_convert, sprite_row_selected);
        draw_convert_labels(dc);
    } else {
        draw_button(page_convert, sprite_row_normal);
    }
    if (current_page == page_settings) {
        draw_button(page_settings, sprite_row_selected);
        draw_settings_labels(dc);
    } else {
        draw_button(page_settings, sprite_row_normal);
    }
    if (current_page == page_update) {
        draw_button(page_update, sprite_row_selected);
        draw_update_labels(dc);
    } else {
        draw_button(page_update, sprite_row_normal);
    }
    ReleaseDC(main_window, dc);
}

int page_button_at(int x, int y)
{
    if (x <= tile_left || x >= tile_left + tile_size)
        return 0;
    for (int page = page_convert; page <= page_update; page++)
        if (y > tile_top(page) && y < tile_top(page) + tile_size)
            return page;
    return 0;
}

void hover_page_button(int x, int y)
{
    int page = page_button_at(x, y);
    if (page && page != current_page)
        draw_button(page, sprite_row_hover);
    else
        paint_page(without_background);
}

void switch_page_at(int x, int y)
{
    switch_to_page(page_button_at(x, y));
}

void switch_to_page(int page)
{
    if (page < page_convert || page > page_update || page == current_page)
        return;
    current_page = page;
    // The new page reaches the screen through the repaint that hiding the
    // old page's controls causes.
    show_page(page);
    if (page == page_convert)
        fill_group_combo();
}
