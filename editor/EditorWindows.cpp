#include "editor/EditorWindows.h"

#include <string>

#include "editor/CastleLegend.h"
#include "editor/Dlg_error.h"
#include "editor/Dlg_slide.h"
#include "editor/Eventsframe.h"
#include "editor/Main.h"
#include "editor/Missionframe.h"
#include "editor/PlayerCapital.h"
#include "editor/PlayerInspector.h"
#include "editor/ProvinceBlink.h"
#include "editor/ProvinceSelection.h"
#include "gui/Application.h"

namespace thorn {

namespace {

uint32_t MessageBoxFlags(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OkCancel: return MB_OKCANCEL | MB_ICONQUESTION;
        case MessageButtons::YesNo: return MB_YESNO | MB_ICONQUESTION;
        case MessageButtons::YesNoCancel: return MB_YESNOCANCEL | MB_ICONQUESTION;
    }
    return MB_OK;
}

MessageAnswer AnswerOf(int id) {
    switch (id) {
        case IDOK: return MessageAnswer::Ok;
        case IDYES: return MessageAnswer::Yes;
        case IDNO: return MessageAnswer::No;
        default: return MessageAnswer::Cancel;
    }
}

TControlScrollBar& ScrollBarOf(ScrollBarKind bar) {
    return bar == ScrollBarKind::Horizontal ? MainForm->ScrBWorld->HorzScrollBar()
                                            : MainForm->ScrBWorld->VertScrollBar();
}

TListItems& ProvinceRows() { return *MainForm->LVProvinces->GetItems(); }

}  // namespace

// ---------------------------------------------------------------- start-up objects

CSettings& EditorWindows::Settings() { return *::Settings; }

const CTextures& EditorWindows::Texture(TextureStrip strip) {
    switch (strip) {
        case TextureStrip::Selected: return *MapTexturesSelected;
        case TextureStrip::Sea: return *SeaTexture;
        case TextureStrip::Normal: break;
    }
    return *MapTexturesNormal;
}

IXMLNode EditorWindows::GameDataElement() { return MainForm->XMLData->GetDocumentElement(); }

std::filesystem::path EditorWindows::StartFolder() { return StartDir; }

// ---------------------------------------------------------------- progress window

namespace {

// The window that has the keyboard as the progress window shows: the
// active one, else (its focus event not come yet, as after a dialog that
// closed just before) the one activated last that still shows.
TCustomForm* ActiveBefore(const TCustomForm& progress) {
    auto candidate = [&progress](TCustomForm* f) {
        return f && f != &progress && f->IsShowing() && !IsPopupKind(f->GetWindowKind());
    };
    if (TCustomForm* active = Screen->GetActiveForm(); candidate(active)) return active;
    for (int i = Screen->GetActivatedCount() - 1; i >= 0; --i)
        if (TCustomForm* f = Screen->GetActivated(i); candidate(f)) return f;
    return nullptr;
}

}  // namespace

void EditorWindows::ShowProgress(std::string_view caption, int32_t max) {
    if (!FormSlide) return;
    if (!progressShown_) {
        keyboardBefore_ = ActiveBefore(*FormSlide.Get());
        // Every window waits while the operation runs, not only the main
        // one: a tool window's edit would reach a half-built project.
        for (int i = 0; i < Screen->GetFormCount(); ++i) {
            TCustomForm* form = Screen->GetForm(i);
            if (form == FormSlide.Get() || !form->GetEnabled()) continue;
            form->SetEnabled(false);
            disabled_.emplace_back(form);
        }
        progressShown_ = true;
    }
    // Each step's window is shown at its first position, and the window
    // shows the step from its first paint: the step is set before it shows.
    progressPainted_ = false;
    FormSlide->ShowStep(caption, max);
    FormSlide->Show();
    FormSlide->Update();
}

void EditorWindows::SetProgress(int32_t position) {
    if (!FormSlide) return;
    FormSlide->PBSlide->SetPosition(position);
    // The windows repaint as the bar moves, but not at every position: a
    // repaint per province made opening a large project a fifth slower
    // for frames nobody could see.
    const uint64_t now = Application->GetHost().Now();
    if (progressPainted_ && now - lastProgressPaint_ < kProgressPaintInterval) return;
    progressPainted_ = true;
    lastProgressPaint_ = now;
    Application->ProcessMessages();
}

void EditorWindows::HideProgress() {
    for (const ComponentRef<TCustomForm>& form : disabled_)
        if (form) form->SetEnabled(true);
    disabled_.clear();
    progressShown_ = false;
    if (FormSlide) FormSlide->Hide();
    // The keyboard goes back where it was, wherever the window system put
    // it while every window was disabled.
    TCustomForm* before = keyboardBefore_.Get();
    keyboardBefore_ = nullptr;
    if (before && before->IsShowing() && before->GetEnabled() && before->GetHostWindow())
        before->GetHostWindow()->TakeKeyboardBack();
}

// ---------------------------------------------------------------- messages

void EditorWindows::ShowError(std::string_view text) {
    if (MainForm) MainForm->Error(text);
}

MessageAnswer EditorWindows::Ask(std::string_view text, std::string_view caption, MessageButtons buttons) {
    return AnswerOf(Application->MessageBox(text, caption, MessageBoxFlags(buttons)));
}

// ---------------------------------------------------------------- grids, lists and selection

TrmInspector* EditorWindows::GridOf(Inspector grid) const {
    switch (grid) {
        case Inspector::Mission: return MissFrame ? MissFrame->RMIMission : nullptr;
        case Inspector::Event: return EventFrame ? EventFrame->RMIEvent : nullptr;
        case Inspector::Player: return MainForm ? MainForm->RMIPlayer : nullptr;
        case Inspector::Province: return MainForm ? MainForm->RMIProvince : nullptr;
    }
    return nullptr;
}

void EditorWindows::DeselectInspector(Inspector grid) {
    if (TrmInspector* inspector = GridOf(grid)) inspector->SetItemIndex(-1);
}

void EditorWindows::ClearInspector(Inspector grid) {
    if (TrmInspector* inspector = GridOf(grid)) inspector->ClearItems();
}

void EditorWindows::ClearProvinceList() {
    if (MainForm) ProvinceRows().Clear();
}

void EditorWindows::ClearPlayerList() {
    // The players' former capitals go with the project's provinces.
    SavedCastleData.Clear();
    if (MainForm) MainForm->LVPlayers->GetItems()->Clear();
}

void EditorWindows::ClearEventList() {
    if (EventFrame) EventFrame->LVEvents->GetItems()->Clear();
}

void EditorWindows::ClearSelection() {
    if (MapProject) ::ClearSelection(MapProject->Selection);
}

void EditorWindows::StopProvinceBlink() { ::StopProvinceBlink(); }

void EditorWindows::RefreshVictoryConds() {
    if (MissFrame) MissFrame->RefreshVictoryConds();
}

void EditorWindows::RefreshLoseConds() {
    if (MissFrame) MissFrame->RefreshLoseConds();
}

void EditorWindows::UpdatePlayerInspector() {
    if (MainForm && MapProject)
        ::UpdatePlayerInspector(*MapProject, static_cast<uint8_t>(MainForm->LVPlayers->GetItemIndex()));
}

void EditorWindows::BuildCastleLegend() { ::BuildCastleLegend(); }

// ---------------------------------------------------------------- warnings window

void EditorWindows::SetWarningRowCount(int32_t count) {
    if (!DlgError) return;
    TListItems& rows = *DlgError->LV->GetItems();
    rows.BeginUpdate();
    while (rows.GetCount() < count) rows.Add();
    while (rows.GetCount() > count && rows.GetCount() > 0) rows.Delete(rows.GetCount() - 1);
    rows.EndUpdate();
}

void EditorWindows::SetWarningRow(int32_t i, std::string_view caption, CErrorList::CErrorBase* warning,
                                  int32_t imageIndex) {
    if (!DlgError) return;
    TListItems& rows = *DlgError->LV->GetItems();
    if (i < 0 || i >= rows.GetCount()) return;
    TListItem* row = rows[i];
    row->SetCaption(std::string(caption));
    row->SetData(warning);
    row->SetImageIndex(imageIndex);
}

// ---------------------------------------------------------------- world view

TImage32& EditorWindows::WorldView() { return *MainForm->ImgVWorld; }

TRect EditorWindows::WorldScrollBoxBounds() { return MainForm->ScrBWorld->GetBoundsRect(); }

TRect EditorWindows::WorldScrollBoxClientRect() { return MainForm->ScrBWorld->GetClientRect(); }

int32_t EditorWindows::WorldScrollRange(ScrollBarKind bar) { return ScrollBarOf(bar).GetRange(); }

int32_t EditorWindows::WorldScrollPosition(ScrollBarKind bar) { return ScrollBarOf(bar).GetPosition(); }

void EditorWindows::SetWorldScrollPosition(ScrollBarKind bar, int32_t position) {
    ScrollBarOf(bar).SetPosition(position);
}

void EditorWindows::SetWorldScrollIncrement(ScrollBarKind bar, int32_t increment) {
    ScrollBarOf(bar).SetIncrement(increment);
}

TBitmap32List& EditorWindows::MarkerPictures() { return *MainForm->Bitmap32List; }

TBitmap32List& EditorWindows::CastlePictures() { return *MainForm->BLCastleImages; }

// ---------------------------------------------------------------- main window state

void EditorWindows::SetStatusText(int32_t panel, std::string_view text) {
    if (!MainForm) return;
    TStatusPanels& panels = MainForm->StatusBar->Panels();
    if (panel >= 0 && panel < panels.GetCount()) panels[panel]->SetText(std::string(text));
}

TAction* EditorWindows::ActionOf(EditorAction action) const {
    TMainForm& f = *MainForm.Get();
    switch (action) {
        case EditorAction::SaveProject: return f.ActSaveProject;
        case EditorAction::SaveAsProject: return f.ActSaveAsProject;
        case EditorAction::SavePDA: return f.ActSavePDA;
        case EditorAction::ReloadMap: return f.ActReloadMap;
        case EditorAction::ZoomIn: return f.ActZoomIn;
        case EditorAction::ZoomFill: return f.ActZoomFill;
        case EditorAction::ZoomOut: return f.ActZoomOut;
        case EditorAction::ShowMissRMI: return f.ActShowMissRMI;
        case EditorAction::ShowEventRMI: return f.ActShowEventRMI;
        case EditorAction::ShowOwnerColor: return f.ActShowOwnerColor;
        case EditorAction::ShowNeighbours: return f.ActShowNeighbours;
        case EditorAction::ShowNames: return f.ActShowNames;
        case EditorAction::ShowIcons: return f.ActShowIcons;
        case EditorAction::ShowCastles: return f.ActShowCastles;
        case EditorAction::ShowArmies: return f.ActShowArmies;
        case EditorAction::ShowErrors: return f.ActShowErrors;
        case EditorAction::ShowPreferences: return f.ActShowPreferences;
        case EditorAction::RecalcIconPlaces: return f.ActRecalcIconPlaces;
        case EditorAction::AddProvince: return f.ActAddProvince;
        case EditorAction::DelProvince: return f.ActDelProvince;
    }
    return nullptr;
}

void EditorWindows::EnableAction(EditorAction action, bool enabled) {
    if (!MainForm) return;
    if (TAction* a = ActionOf(action)) a->SetEnabled(enabled);
}

TControl* EditorWindows::ControlOf(ProjectControl control) const {
    TMainForm& f = *MainForm.Get();
    switch (control) {
        case ProjectControl::NoProjectLabel: return f.LblNoProject;
        case ProjectControl::PlayersTab: return f.TabSheetPlayers;
        case ProjectControl::ProvincesTab: return f.TabSheetProvinces;
        case ProjectControl::ProvinceList: return f.LVProvinces;
        case ProjectControl::PlayerList: return f.LVPlayers;
        case ProjectControl::EventToolBar: return EventFrame ? EventFrame->TBEvent : nullptr;
    }
    return nullptr;
}

void EditorWindows::ShowControl(ProjectControl control, bool shown) {
    if (!MainForm) return;
    TControl* c = ControlOf(control);
    // A page shows or hides its tab; the page control keeps the page itself.
    if (auto* page = dynamic_cast<TTabSheet*>(c))
        page->SetTabVisible(shown);
    else if (c)
        c->SetVisible(shown);
}

void EditorWindows::EnableControl(ProjectControl control, bool enabled) {
    if (!MainForm) return;
    if (TControl* c = ControlOf(control)) c->SetEnabled(enabled);
}

// ---------------------------------------------------------------- provinces list

int32_t EditorWindows::AddProvinceRow(std::string_view caption, CProvince* province, std::string_view ownerName) {
    if (!MainForm) return -1;
    TListItem* row = ProvinceRows().Add();
    row->SetCaption(std::string(caption));
    row->SetData(province);
    row->GetSubItems()->Add(std::string(ownerName));
    return row->GetIndex();
}

int32_t EditorWindows::FirstSelectedProvinceRow() {
    if (!MainForm) return -1;
    TListItem* row = MainForm->LVProvinces->GetSelected();
    return row ? row->GetIndex() : -1;
}

CProvince* EditorWindows::ProvinceRowData(int32_t row) {
    if (!MainForm || row < 0 || row >= ProvinceRows().GetCount()) return nullptr;
    return static_cast<CProvince*>(ProvinceRows()[row]->GetData());
}

void EditorWindows::DeselectProvinceRow(int32_t row) {
    if (!MainForm || row < 0 || row >= ProvinceRows().GetCount()) return;
    ProvinceRows()[row]->SetSelected(false);
}

void EditorWindows::DeleteProvinceRow(int32_t row) {
    if (!MainForm || row < 0 || row >= ProvinceRows().GetCount()) return;
    ProvinceRows().Delete(row);
}

void EditorWindows::ProvinceDeleting(const CProvince& province) {
    if (BlinkProvince == &province) StopProvinceBlink();
    SavedCastleData.Forget(province);
}

}  // namespace thorn
