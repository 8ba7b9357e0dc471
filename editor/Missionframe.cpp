#include "editor/Missionframe.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>

#include "editor/GridRows.h"
#include "editor/LongTextEdit.h"
#include "editor/Main.h"
#include "editor/WindowParts.h"
#include "inspector/Rminspectoritems.h"
#include "editor/GridItemKeys.h"
#include "model/StringTable.h"

namespace {

namespace Keys = InspectorKeys;

// A long text of the mission: its row, the dialog's caption and limit, and
// where the text lives in the string table.
struct LongText {
    const char* key;
    const char* caption;
    int limit;
    const std::string CStringTable::*text;
    int (CStringTable::*set)(std::string_view);
};

constexpr LongText kLongTexts[] = {
    {Keys::SDesc, Keys::SDescCaption, 1000, &CStringTable::ShortDescription, &CStringTable::SetShortDescription},
    {Keys::MisAuthorNotes, Keys::MisAuthorNotesCaption, 150, &CStringTable::AuthorNotes,
     &CStringTable::SetAuthorNotes},
    {Keys::VictMsg, Keys::VictMsgCaption, 20000, &CStringTable::VictoryText, &CStringTable::SetVictoryText},
    {Keys::DefeatMsg, Keys::DefeatMsgCaption, 20000, &CStringTable::DefeatText, &CStringTable::SetDefeatText},
};

}  // namespace

TMissFrame::TMissFrame(TComponent& owner) {
    SetName("MissFrame");
    SetCaption("Mission Properties");
    thorn::SetUpToolWindow(*this, 355, 393, 100, 100);
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-11);

    RMIMission = thorn::PlaceGrid(*this, this, "RMIMission", bsSingle);
    RMIMission->SetAlign(alClient);
    RMIMission->SetSplitPos(150);
    RMIMission->OnComplexEdit = [this](TObject* sender) { RMIMissionComplexEdit(sender); };
    RMIMission->OnItemChange = [this](TObject* sender) { RMIMissionItemChange(sender); };

    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnHide = [this](TObject* sender) { FormHide(sender); };
}

void TMissFrame::FormCreate(TObject* sender) {
    RMIMission->SetItemIndex(-1);
    RMIMission->ClearItems();
}

void TMissFrame::FormHide(TObject* sender) {
    if (MainForm) MainForm->ActShowMissRMI->SetChecked(false);
}

void TMissFrame::FillMissionInspector() {
    struct Row {
        const char* className;
        const char* key;
        const char* caption;
        int maxLength;  // 0: a long text, edited in the text dialog
    };
    static constexpr Row kRows[] = {
        {"TrmStringInspectorItem", Keys::MisName, Keys::MisNameCaption, 20},
        {"TrmStringInspectorItem", Keys::MisAuthor, Keys::MisAuthorCaption, 21},
        {"TrmComplexInspectorItem", Keys::MisAuthorNotes, Keys::MisAuthorNotesCaption, 0},
        {"TrmComplexInspectorItem", Keys::SDesc, Keys::SDescCaption, 0},
        {"TrmComplexInspectorItem", Keys::VictMsg, Keys::VictMsgCaption, 0},
        {"TrmComplexInspectorItem", Keys::DefeatMsg, Keys::DefeatMsgCaption, 0},
    };
    for (const Row& row : kRows) {
        TrmCustomInspectorItem* item = GetOrAddInspectorItem(*RMIMission, nullptr, row.className, row.key);
        item->GetNode()->SetText(row.caption);
        if (row.maxLength == 0)
            item->SetEditabled(true);
        else if (auto* text = dynamic_cast<TrmStringInspectorItem*>(item))
            text->SetMaxLength(row.maxLength);
    }
}

void TMissFrame::RMIMissionItemChange(TObject* sender) {
    TrmInspector& grid = *RMIMission;
    TrmCustomInspectorItem* item = grid.GetCurrentInspectorItem();
    TWinControl* editor = grid.GetEditor();
    if (grid.GetItemIndex() == -1 || !item || item->GetName().empty() || !editor) return;
    const std::string text = thorn::TypedText(*editor);
    // Clearing the cell is no edit: the mission keeps its text.
    if (text.empty()) return;
    CStringTable* table = thorn::StringTableInUse();
    if (!table) return;
    if (item->GetName() == Keys::MisName)
        table->SetMissionName(text);
    else if (item->GetName() == Keys::MisAuthor)
        table->SetAuthor(text);
}

void TMissFrame::RMIMissionComplexEdit(TObject* sender) {
    TrmCustomInspectorItem* item = RMIMission->GetCurrentInspectorItem();
    const CStringTable* table = thorn::StringTableInUse();
    if (!MapProject || !item || !table) return;
    const auto* text = std::find_if(std::begin(kLongTexts), std::end(kLongTexts),
                                    [&](const LongText& t) { return item->GetName() == t.key; });
    if (text == std::end(kLongTexts)) return;
    thorn::ComponentRef<TrmCustomInspectorItem> row(item);
    const std::optional<std::string> edited = thorn::EditLongText(text->caption, text->limit, table->*text->text);
    if (!edited) return;
    // The dialog's modal loop ran the program's timers: the table and the
    // row are looked up again rather than trusted from before.
    if (CStringTable* now = thorn::StringTableInUse()) (now->*text->set)(*edited);
    if (row) row->SetStringValue(*edited);
}

void TMissFrame::RefreshVictoryConds() {}

void TMissFrame::RefreshLoseConds() {}
