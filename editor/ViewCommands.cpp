// The main window's view commands: zoom, the view modes of the world view
// and its panels (the handlers are TMainForm's, declared in editor/Main.h).
#include "bitmapui/Pix32_Layers.h"
#include "editor/EditorWindows.h"
#include "editor/Main.h"

namespace {

constexpr float kMinZoom = 1.0f;
constexpr float kMaxZoom = 8.0f;

// Flips an action's check mark and the settings switch it shows. The two
// agree from start-up on, so each keeps following the other.
void FlipWithSwitch(TAction& action, uint32_t& settingsSwitch) {
    action.SetChecked(!action.GetChecked());
    settingsSwitch ^= 1;
}

void Flip(TAction& action) { action.SetChecked(!action.GetChecked()); }

}  // namespace

void TMainForm::ActZoomInExecute(TObject* sender) {
    const float scale = ImgVWorld->GetScale();
    if (MapProject && scale < kMaxZoom) MapProject->SetZoom(scale + 1.0f);
}

void TMainForm::ActZoomOutExecute(TObject* sender) {
    const float scale = ImgVWorld->GetScale();
    if (MapProject && scale > kMinZoom) MapProject->SetZoom(scale - 1.0f);
}

void TMainForm::ActZoomFillExecute(TObject* sender) {
    if (MapProject) MapProject->SetZoom(kMinZoom);
}

void TMainForm::ActShowNamesExecute(TObject* sender) {
    FlipWithSwitch(*ActShowNames, Settings->ShNames);
    if (!MapProject) return;
    MapProject->UpdateAllLabels();
    MapProject->SendIconLayersBack();
}

// Provinces mode excludes both icon modes. Each command takes its own check
// mark before it clears the other's, so the one it runs finds nothing to
// clear back: the commands never run each other twice.
void TMainForm::ActShowIconsExecute(TObject* sender) {
    FlipWithSwitch(*ActShowIcons, Settings->ShIcons);
    if (ActShowIcons->GetChecked()) {
        if (ActShowCastles->GetChecked()) ActShowCastles->Execute();
        if (ActShowArmies->GetChecked()) ActShowArmies->Execute();
    }
    if (!MapProject) return;
    MapProject->UpdateIconLayers();
    MapProject->SendIconLayersBack();
}

void TMainForm::ActShowCastlesExecute(TObject* sender) {
    FlipWithSwitch(*ActShowCastles, Settings->ShCastles);
    if (ActShowCastles->GetChecked() && ActShowIcons->GetChecked()) ActShowIcons->Execute();
    Windows().ClearSelection();
    if (MapProject) MapProject->UpdateCastleIcons();
}

void TMainForm::ActShowArmiesExecute(TObject* sender) {
    FlipWithSwitch(*ActShowArmies, Settings->ShArmies);
    if (ActShowArmies->GetChecked() && ActShowIcons->GetChecked()) ActShowIcons->Execute();
    Windows().ClearSelection();
    if (MapProject) MapProject->UpdateArmyIcons();
}

void TMainForm::ActShowOwnerColorExecute(TObject* sender) {
    FlipWithSwitch(*ActShowOwnerColor, Settings->OwnerColors);
    if (!MapProject) return;
    MapProject->RedrawPieces(0);
    MapProject->DrawPieces();
}

void TMainForm::ActShowNeighboursExecute(TObject* sender) {
    Flip(*ActShowNeighbours);
    Settings->ShPaths = ActShowNeighbours->GetChecked() ? 1 : 0;
    if (!MapProject) return;
    MapProject->ShowNeighbourLinks(ActShowNeighbours->GetChecked());
    ImgVWorld->Invalidate();
    ImgVWorld->Repaint();
}

void TMainForm::ActFilePanelExecute(TObject* sender) {
    Flip(*ActFilePanel);
    if (MapProject) MapProject->UpdateIconLayers();
}

void TMainForm::ActZoomPanelExecute(TObject* sender) {
    Flip(*ActZoomPanel);
    if (MapProject) MapProject->UpdateIconLayers();
}

void TMainForm::ActShowPanelExecute(TObject* sender) {
    Flip(*ActShowPanel);
    TBrShow->SetVisible(!TBrShow->GetVisible());
    if (MapProject) MapProject->UpdateIconLayers();
}
