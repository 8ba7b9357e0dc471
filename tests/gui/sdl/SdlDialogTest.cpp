#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstring>
#include <functional>

#include "SdlSession.h"
#include "XScreen.h"
#include "gui/Application.h"
#include "gui/Buttons.h"
#include "gui/ColorDialog.h"
#include "gui/ExtDlgs.h"
#include "gui/FontDialog.h"
#include "gui/ListBox.h"
#include "gui/FileListView.h"
#include "gui/PicturePreview.h"
#include "gui/Timers.h"
#include "support/PictureFiles.h"
#include "support/PngFile.h"
#include "support/TempDir.h"

// The picture dialog in a real window under Xvfb, used with the X pointer
// and the keyboard while its modal loop runs.
namespace {

namespace fs = std::filesystem;
using SdlDialog = thorn::test::SdlSession;

uint32_t WindowIdTitled(const char* title) {
    for (uint32_t id = 1; id < 64; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id); w && std::strcmp(SDL_GetWindowTitle(w), title) == 0) return id;
    return 0;
}

void PushKey(uint32_t windowId, SDL_Keycode key) {
    for (uint32_t type : {SDL_KEYDOWN, SDL_KEYUP}) {
        SDL_Event event{};
        event.type = type;
        event.key.windowID = windowId;
        event.key.keysym.sym = key;
        SDL_PushEvent(&event);
    }
}

void GiveKeyboard(uint32_t windowId) {
    // Without a window manager nobody hands the window the keyboard.
    SDL_Event focus{};
    focus.type = SDL_WINDOWEVENT;
    focus.window.windowID = windowId;
    focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    SDL_PushEvent(&focus);
}

thorn::FileDialogForm* ShownFileDialog() {
    for (int i = 0; i < Screen->GetFormCount(); ++i)
        if (auto* form = dynamic_cast<thorn::FileDialogForm*>(Screen->GetForm(i)); form && form->IsShowing())
            return form;
    return nullptr;
}

TPoint RowOnScreen(thorn::FileListView& list, std::string_view name) {
    for (int row = 0; row < list.GetCount(); ++row)
        if (list.GetEntry(row)->name == name) {
            TRect r = list.RowRect(row);
            return list.ClientToScreen({r.Left + 40, (r.Top + r.Bottom) / 2});
        }
    return {-1, -1};
}

// Opens the dialog on a temporary folder, previews a picture, saves a
// screenshot ("sdl_open_dialog.png" in the test's folder), opens a folder
// with a double click and takes a file with Enter.
TEST_F(SdlDialog, ThePictureDialogWorksInARealWindow) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    thorn::test::TempDir dir;
    TBitmap32 picture;
    picture.SetSize(120, 80);
    picture.Clear(Color32(clNavy));
    picture.FillRectS(20, 20, 100, 60, Color32(clYellow));
    thorn::test::WriteBmp24(dir / "castle.bmp", picture);
    fs::create_directory(dir / "worlds");
    fs::create_directory(dir / "maps");
    thorn::test::WriteBmp24(dir / "worlds" / "north.bmp", picture);
    for (const char* name : {"notes.txt", "Mission.pw", "archers.bmp"})
        thorn::test::WriteFileBytes(dir / name, std::vector<uint8_t>(300, 'x'));

    TOpenPictureDialog dialog;
    dialog.SetTitle("Import world picture");
    dialog.SetInitialDir(dir.Path().string());
    dialog.SetFilter("All files|*.*|Bitmaps (*.bmp)|*.bmp");

    // The steps run from a timer while the dialog's own loop runs.
    int step = 0;
    uint64_t deadline = host->Now() + 15000;
    TColor32 previewCentre = 0, headerFace = 0;
    fs::path folderAfterDoubleClick;
    auto timer = std::make_unique<TTimer>();
    timer->SetInterval(50);
    timer->SetOnTimer([&](TObject*) {
        thorn::FileDialogForm* form = ShownFileDialog();
        if (!form) return;
        if (host->Now() > deadline) {
            form->SetModalResult(mrCancel);  // stuck: fail rather than hang
            return;
        }
        if (form->HasPendingPaint()) return;
        thorn::FileListView& list = *form->GetList();
        thorn::PicturePreview& preview = *form->GetPreview();
        switch (step) {
            case 0: {
                TPoint p = RowOnScreen(list, "castle.bmp");
                screen.Click(p.X, p.Y);
                ++step;
                break;
            }
            case 1: {
                if (!preview.HasPicture()) return;
                TBitmap32 shot;
                screen.Grab(shot);
                TRect r = preview.PictureRect();
                TPoint centre = preview.ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
                previewCentre = shot.GetPixel(centre.X, centre.Y);
                TPoint header = list.ClientToScreen({list.GetClientWidth() - 30, 3});
                headerFace = shot.GetPixel(header.X, header.Y);
                TPoint topLeft = form->ClientToScreen({0, 0});
                TBitmap32 window;
                window.SetSize(form->GetClientWidth(), form->GetClientHeight());
                shot.DrawTo(&window, 0, 0, {topLeft.X, topLeft.Y, topLeft.X + window.Width(), topLeft.Y + window.Height()});
                thorn::test::WritePng("sdl_open_dialog.png", window);
                TPoint p = RowOnScreen(list, "worlds");
                screen.Click(p.X, p.Y);
                screen.Click(p.X, p.Y);
                ++step;
                break;
            }
            case 2: {
                if (form->GetFolder() != dir / "worlds") return;
                folderAfterDoubleClick = form->GetFolder();
                TPoint p = RowOnScreen(list, "north.bmp");
                screen.Click(p.X, p.Y);
                ++step;
                break;
            }
            case 3: {
                if (!preview.HasPicture()) return;
                uint32_t id = WindowIdTitled("Import world picture");
                GiveKeyboard(id);
                PushKey(id, SDLK_RETURN);
                ++step;
                break;
            }
            default: break;
        }
    });
    timer->SetEnabled(true);
    bool chosen = dialog.Execute();
    timer.reset();
    EXPECT_TRUE(chosen);
    EXPECT_EQ(step, 4);
    EXPECT_EQ(previewCentre, Color32(clYellow));
    EXPECT_EQ(headerFace, Color32(clBtnFace));
    EXPECT_EQ(folderAfterDoubleClick, dir / "worlds");
    EXPECT_EQ(dialog.GetFileName(), (dir / "worlds" / "north.bmp").string());
}

}  // namespace

namespace {

template <typename Form>
Form* ShownForm() {
    for (int i = 0; i < Screen->GetFormCount(); ++i)
        if (auto* form = dynamic_cast<Form*>(Screen->GetForm(i)); form && form->IsShowing()) return form;
    return nullptr;
}

// Saves the form's part of the screen as a PNG picture.
void SaveWindow(thorn::test::XScreen& screen, TCustomForm& form, const char* file) {
    TBitmap32 shot, window;
    screen.Grab(shot);
    TPoint topLeft = form.ClientToScreen({0, 0});
    window.SetSize(form.GetClientWidth(), form.GetClientHeight());
    shot.DrawTo(&window, 0, 0, {topLeft.X, topLeft.Y, topLeft.X + window.Width(), topLeft.Y + window.Height()});
    thorn::test::WritePng(file, window);
}

// The font dialog: a family clicked in the list, the style list and the
// size box used, the sample saved ("sdl_font_dialog.png"), then OK clicked;
// the colour dialog ("sdl_color_dialog.png") answered with a double click.
TEST_F(SdlDialog, TheFontAndColourDialogsWorkInARealWindow) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    TFontDialog fonts;
    TFont start;
    start.SetName("Tahoma");
    start.SetSize(8);
    fonts.SetFont(start);
    int step = 0;
    uint64_t deadline = host->Now() + 15000;
    auto timer = std::make_unique<TTimer>();
    timer->SetInterval(50);
    timer->SetOnTimer([&](TObject*) {
        auto* form = ShownForm<thorn::FontDialogForm>();
        if (!form || form->HasPendingPaint()) return;
        if (host->Now() > deadline) return form->SetModalResult(mrCancel);
        TListBox& families = *form->GetFamilyList();
        switch (step) {
            case 0: {
                int row = families.GetItems()->IndexOf("Liberation Serif");
                families.SetTopIndex(row);
                TRect r = families.ItemRect(row);
                TPoint p = families.ClientToScreen({20, (r.Top + r.Bottom) / 2});
                screen.Click(p.X, p.Y);
                ++step;
                break;
            }
            case 1: {
                if (form->GetChosenFont().GetName() != "Liberation Serif") return;
                TListBox& styles = *form->GetStyleList();
                TRect r = styles.ItemRect(3);  // Bold Italic
                TPoint p = styles.ClientToScreen({20, (r.Top + r.Bottom) / 2});
                screen.Click(p.X, p.Y);
                TListBox& sizes = *form->GetSizeList();
                int row = sizes.GetItems()->IndexOf("20");
                sizes.SetTopIndex(row);
                r = sizes.ItemRect(row);
                p = sizes.ClientToScreen({10, (r.Top + r.Bottom) / 2});
                screen.Click(p.X, p.Y);
                ++step;
                break;
            }
            case 2:
                if (form->GetChosenFont().GetSize() != 20) return;
                SaveWindow(screen, *form, "sdl_font_dialog.png");
                {
                    TPoint p = form->GetOkButton()->ClientToScreen({20, 10});
                    screen.Click(p.X, p.Y);
                }
                ++step;
                break;
            default: break;
        }
    });
    timer->SetEnabled(true);
    ASSERT_TRUE(fonts.Execute());
    EXPECT_EQ(fonts.GetFont().GetName(), "Liberation Serif");
    EXPECT_EQ(fonts.GetFont().GetStyle(), fsBold | fsItalic);
    EXPECT_EQ(fonts.GetFont().GetSize(), 20);

    TColorDialog colors;
    step = 0;
    deadline = host->Now() + 15000;
    timer = std::make_unique<TTimer>();
    timer->SetInterval(50);
    timer->SetOnTimer([&](TObject*) {
        auto* form = ShownForm<thorn::ColorDialogForm>();
        if (!form || form->HasPendingPaint() || step > 0) return;
        if (host->Now() > deadline) return form->SetModalResult(mrCancel);
        SaveWindow(screen, *form, "sdl_color_dialog.png");
        // The grid's cells are 24 pixels with 8 between, 8 in a row: the
        // tenth is the second of the second row.
        TPoint p = form->ClientToScreen({8 + 8 + 32 + 12, 8 + 8 + 32 + 12});
        screen.Click(p.X, p.Y);
        screen.Click(p.X, p.Y);
        ++step;
    });
    timer->SetEnabled(true);
    ASSERT_TRUE(colors.Execute());
    EXPECT_EQ(colors.GetColor(), clRed);
}

}  // namespace
