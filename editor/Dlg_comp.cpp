#include "editor/Dlg_comp.h"

#include <cstdio>
#include <string>

#include "editor/EditorImages.h"
#include "editor/Main.h"
#include "editor/TextFile.h"
#include "editor/WindowParts.h"
#include "gui/Application.h"
#include "gui/ImageList.h"
#include "platform/Files.h"

namespace {

// A file of a game text is a few kilobytes; one larger than this is refused
// before it is read, whatever limit the memo has.
constexpr uint64_t kMostFileBytes = uint64_t{64} << 20;

std::string CharacterName(char32_t ch) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(ch));
    return name;
}

std::string RefusalText(const std::filesystem::path& file, const thorn::LoadedText& loaded) {
    const std::string where = "line " + std::to_string(loaded.line) + ", column " + std::to_string(loaded.column);
    if (loaded.refused == 0)
        return "The file " + thorn::Quoted(file) + " is not loaded: it holds a NUL character (" + where +
               "), so it is no text file.";
    return "The file " + thorn::Quoted(file) + " is not loaded: its character " + CharacterName(loaded.refused) +
           " (" + where + ") has no place in the Windows-1252 character set the game's texts are kept in.";
}

std::string CutText(const std::filesystem::path& file, const thorn::LoadedText& loaded, int limit) {
    return "The file " + thorn::Quoted(file) + " holds " + std::to_string(loaded.length) +
           " characters, more than the " + std::to_string(limit) + " this text can take: only the first " +
           std::to_string(loaded.text.size()) + " are loaded.";
}

}  // namespace

TDlgComplex::TDlgComplex(TComponent& owner) {
    SetName("DlgComplex");
    SetCaption("Edit text");
    SetBorderIcons({});
    SetPosition(poDesktopCenter);
    SetBounds(GetLeft(), GetTop(), 525, 390);

    Pn = thorn::PlaceButtonStrip(*this, this, "Pn");
    BitBtn = thorn::PlaceStripButton<TBitBtn>(*this, *Pn, "BitBtn", "Load", 8);
    BitBtn->OnClick = [this](TObject* sender) { BitBtnClick(sender); };
    BtnOk = thorn::PlaceRightStripButton(*this, *Pn, "BtnOk", "Ok", 166);
    BtnOk->SetModalResult(mrOk);
    BtnCancel = thorn::PlaceRightStripButton(*this, *Pn, "BtnCancel", "Cancel", 83);
    BtnCancel->SetModalResult(mrCancel);
    BtnCancel->SetCancel(true);

    Memo = thorn::Make<TMemo>(*this);
    Memo->SetName("Memo");
    Memo->SetParent(this);
    Memo->SetAlign(alClient);
    Memo->SetCtl3D(false);
    Memo->SetScrollBars(ssVertical);
    Memo->SetHideSelection(false);
    Memo->SetTabOrder(0);
    // A memo that takes Enter takes every dialog key, Escape too, which it
    // has no use for: Escape answers Cancel from the memo as from the rest.
    Memo->OnKeyDown = [this](TObject*, TKey& key, TShiftState shift) {
        if (key != VK_ESCAPE || !shift.Empty()) return;
        key = 0;
        BtnCancel->Click();
    };

    OpenDialog = thorn::Make<TOpenDialog>(*this);
    OpenDialog->SetName("OpenDialog");
    OpenDialog->SetFilter("(*.*) Any File|*.*");
    OpenDialog->SetOptions({ofHideReadOnly, ofEnableSizing});

    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    // Each time it opens, the text has the keyboard, wherever the last
    // answer left it (on "Ok", after a click there).
    OnShow = [this](TObject*) { SetActiveControl(Memo); };
}

void TDlgComplex::FormCreate(TObject* sender) {
    TImageList pictures;
    // Without the strip (the warnings window said so) the button shows its
    // caption alone.
    try {
        thorn::LoadEditorImageList(pictures, 16, StartDir);
    } catch (const Exception&) {
        return;
    }
    TBitmap32 glyph;
    pictures.GetBitmap(thorn::Index(thorn::EditorImage::LoadProject), glyph);
    BitBtn->SetGlyph(glyph);
}

void TDlgComplex::BitBtnClick(TObject* sender) {
    if (OpenDialog->Execute()) LoadFile(OpenDialog->GetFileName());
}

void TDlgComplex::LoadFile(const std::filesystem::path& file) {
    const std::vector<uint8_t> bytes = thorn::ReadRegularFile(file, kMostFileBytes);
    const int limit = Memo->GetMaxLength();
    const thorn::LoadedText loaded = thorn::DecodeTextFile(
        {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, limit > 0 ? static_cast<size_t>(limit) : 0);
    if (loaded.outcome == thorn::LoadedText::Outcome::Refused) {
        Application->MessageBox(RefusalText(file, loaded), GetCaption(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    Memo->SetText(loaded.text);
    if (loaded.outcome == thorn::LoadedText::Outcome::Cut)
        Application->MessageBox(CutText(file, loaded, limit), GetCaption(), MB_OK | MB_ICONEXCLAMATION);
}
