#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "MissionDesk.h"
#include "bitmapui/Pix32_Layers.h"
#include "editor/Eventsframe.h"
#include "editor/ProvinceSelection.h"
#include "gui/Application.h"
#include "inspector/Rminspectoritems.h"
#include "inspector/Rmspeedbtns.h"
#include "editor/GridItemKeys.h"

namespace {

using thorn::test::MissionDesk;

constexpr uint8_t kMoat = CCastleDataB::kMoat;

class ProvinceGrid : public ::testing::Test {
protected:
    ProvinceGrid() { desk.ShowPage(MissionDesk::kProvincesPage); }

    CProvince& P(int i) { return desk.Province(i); }
    void Own(int i, uint8_t owner) {
        P(i).SetOwner(owner);
        desk.Project().RedrawPiece(static_cast<uint16_t>(P(i).MapPieceIndex));
    }
    void SelectByRows(std::initializer_list<int> rows) {
        bool first = true;
        for (int row : rows) {
            desk.ClickProvinceRow(row, first ? TShiftState{} : TShiftState{ssCtrl});
            first = false;
        }
    }
    TCBExState State(const char* key) {
        auto* row = dynamic_cast<TrmCheckBoxExInspectorItem*>(desk.GridRow(key));
        return row ? row->GetState() : cbxUndefined;
    }
    std::string PlayerName(uint8_t n) { return desk.Project().Tables.GetAt(0)->GetPlayerName(n); }
    // The pixels of the province's name and incomes on the map.
    std::vector<TColor32> Label(int i) {
        const TBitmap32& label = *desk.Project().FindNameLayer(&P(i))->GetBitmap();
        std::vector<TColor32> pixels(label.Bits(), label.Bits() + static_cast<size_t>(label.Width()) * label.Height());
        pixels.push_back(static_cast<TColor32>(label.Width()));
        return pixels;
    }
    // A click in the middle of a control of any window.
    void ClickOn(const TControl& control) {
        TCustomForm& form = *control.GetParentForm();
        const TPoint at = control.ClientToScreen({control.GetWidth() / 2, control.GetHeight() / 2});
        desk.Host().Click(form, at.X - form.GetLeft(), at.Y - form.GetTop());
    }

    MissionDesk desk;
};

TEST_F(ProvinceGrid, SeveralProvincesShowWhatTheyShareAndMarkWhereTheyDiffer) {
    for (int i : {0, 1, 2}) {
        Own(i, 0);
        P(i).SetHasCastle(1);
        P(i).SetResource(0, 3);
        P(i).SetResource(1, 2);
        P(i).SetGuardianArmy(0, 10);
        P(i).SetGuardianArmy(1, static_cast<uint32_t>(i));
        P(i).SetCatapults(2);
    }
    P(2).SetResource(0, 5);
    P(0).SetMoat(1);
    P(1).SetBuilding(CCastleDataB::kBank, 1);
    P(2).SetCastleHP(30);
    SelectByRows({0, 1, 2});
    struct Row {
        const char* key;
        std::string text;
    };
    const Row rows[] = {
        {"ProvName", "<no row>"}, {"Owner", PlayerName(0)}, {"Res_0", ""},      {"Res_1", "2"},
        {"CastHP", ""},           {"CastCat", "2"},         {"Army_0", "10"},   {"Army_1", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(desk.GridText(row.key), row.text);
    }
    EXPECT_EQ(State("Castle"), cbxTrue);
    EXPECT_EQ(State("CastMoat"), cbxUndefined);
    EXPECT_EQ(State("CastBan"), cbxUndefined);
    EXPECT_EQ(State("CastMar"), cbxFalse);

    // One province alone shows its own values, its name first.
    desk.ClickProvinceRow(2);
    EXPECT_EQ(desk.GridKeys().front(), "ProvName");
    EXPECT_EQ(desk.GridText("ProvName"), desk.Project().CurrentProvinceName(&P(2)));
    EXPECT_EQ(desk.GridText("Res_0"), "5");
    EXPECT_EQ(desk.GridText("CastHP"), "25%");
    EXPECT_EQ(desk.GridText("CastCat"), "2");
    EXPECT_EQ(desk.GridText("Army_1"), "2");
}

TEST_F(ProvinceGrid, OneOwnerEditGivesEveryProvinceItsOwner) {
    // The second player is named "none": the choice is taken by its place.
    ASSERT_EQ(desk.Project().Tables.GetAt(0)->SetPlayerName(1, "none"), 1);
    SelectByRows({3, 4, 5});
    ASSERT_EQ(desk.GridText("Owner"), "none");
    EXPECT_EQ(desk.GridRow("Army"), nullptr) << "no owner, no guardian army";
    auto* owner = dynamic_cast<TrmComboInspectorItem*>(desk.GridRow("Owner"));
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(owner->GetItems().GetCount(), 3) << "none, then the two active players";

    // The first of them has a castle, shown by its icon.
    P(3).SetHasCastle(1);
    desk.Project().SetCastleIcon(&P(3), 1);

    struct Choice {
        int entry;
        uint8_t owner;
        const char* column;
    };
    const std::string first = PlayerName(0);
    for (const Choice& c : {Choice{1, 0, first.c_str()}, Choice{2, 1, "none"}, Choice{0, 255, "none"}}) {
        SCOPED_TRACE(c.entry);
        desk.ChooseInGridRow("Owner", c.entry);
        for (int i : {3, 4, 5}) {
            EXPECT_EQ(P(i).Owner, c.owner);
            EXPECT_EQ(desk.Main().LVProvinces->GetItems()->GetItem(i)->GetSubItems()->Get(0), c.column);
            EXPECT_EQ(P(i).CastlePicture, i == 3 ? 1 : 0) << "the castle icons follow the castles";
            // The piece shows its new owner's colour: drawn again, it looks
            // the same.
            const TPoint at = desk.FormPointOf(desk.OpenPointOf(P(i)));
            const TColor32 shown = desk.Host().PixelAt(desk.Main(), at.X, at.Y);
            desk.Project().RedrawPiece(static_cast<uint16_t>(P(i).MapPieceIndex));
            Application->ProcessMessages();
            EXPECT_EQ(desk.Host().PixelAt(desk.Main(), at.X, at.Y), shown);
        }
        EXPECT_EQ(desk.GridRow("Army") != nullptr, c.owner != 255);
    }
    EXPECT_EQ(desk.Selected().size(), 3u);
}

TEST_F(ProvinceGrid, AnOwnerGivenToACapitalTakesItFromItsPlayerEvenTheSameOne) {
    for (int i : {3, 4}) Own(i, 0);
    CPlayerData& first = *desk.Project().PlayerAt(0);
    CPlayerData& second = *desk.Project().PlayerAt(1);
    first.SetCapital(&P(3));
    // The first player stays chosen on the players page meanwhile.
    desk.ShowPage(MissionDesk::kPlayersPage);
    desk.ClickPlayerRow(0);
    desk.ShowPage(MissionDesk::kProvincesPage);
    SelectByRows({3, 4});
    desk.ChooseInGridRow("Owner", 2);
    EXPECT_EQ(P(3).Owner, 1);
    EXPECT_EQ(first.Capital, nullptr);
    // Back there, its capital row offers none of the provinces it lost.
    desk.ShowPage(MissionDesk::kPlayersPage);
    auto* capital = dynamic_cast<TrmComboInspectorItem*>(desk.Main().RMIPlayer->GetItemByName(InspectorKeys::Capital));
    ASSERT_NE(capital, nullptr);
    EXPECT_EQ(capital->GetItems().GetCount(), 1) << "only none";
    EXPECT_EQ(capital->GetAsString(), "none");
    desk.ShowPage(MissionDesk::kProvincesPage);
    SelectByRows({3, 4});
    // The grid offers no change to the owner shown; the selection's routine
    // takes the capital all the same.
    second.SetCapital(&P(3));
    SetSelectionOwner(desk.Project().Selection, 1);
    EXPECT_EQ(second.Capital, nullptr);
}

TEST_F(ProvinceGrid, NumbersStayInsideTheRowAndTheFieldAndShowWhatWasStored) {
    for (int i : {6, 7}) Own(i, 0);
    SelectByRows({6, 7});
    // The catalogue's first resource lies between 1 and 9.
    struct Typed {
        const char* key;
        const char* text;
        const char* shown;
        uint32_t stored;
    };
    const Typed typed[] = {
        {"Res_0", "300", "9", 9},
        {"Res_0", "-1", "1", 1},
        {"Res_0", "4", "4", 4},
        {"Res_0", "", "", 4},
        {"Army_2", "70000", "65536", 65536},
        {"Army_2", "-", "65536", 65536},
        {"Army_2", "12", "12", 12},
        {"Army_2", "0", "0", 0},
    };
    for (const Typed& t : typed) {
        SCOPED_TRACE(std::string(t.key) + " " + t.text);
        desk.TypeIntoGridRow(t.key, t.text);
        EXPECT_EQ(desk.Main().RMIProvince->GetEditor()->GetText(), t.text) << "as typed until the edit ends";
        desk.Host().PressKey(VK_RETURN);
        EXPECT_EQ(desk.Main().RMIProvince->GetEditor()->GetText(), t.shown);
        for (int i : {6, 7}) {
            const bool resource = t.key[0] == 'R';
            EXPECT_EQ(resource ? P(i).Resources[0] : P(i).GuardianArmy[2], t.stored);
            // The map label, with the incomes, shows what is stored.
            const std::vector<TColor32> label = Label(i);
            desk.Project().UpdateProvinceLabel(&P(i));
            EXPECT_EQ(label, Label(i));
        }
    }
    // The spin buttons step up to the range's ends and stop there.
    struct Stepped {
        const char* from;
        bool up;
        const char* shown;
    };
    for (const Stepped& t : {Stepped{"7", true, "9"}, Stepped{"3", false, "1"}}) {
        SCOPED_TRACE(std::string("from ") + t.from);
        desk.TypeIntoGridRow("Res_0", t.from);
        desk.Host().PressKey(VK_RETURN);
        auto* spin = dynamic_cast<TrmSpinEdit*>(desk.Main().RMIProvince->GetEditor());
        ASSERT_NE(spin, nullptr);
        const TControl& half = t.up ? *spin->GetButton()->GetUpButton() : *spin->GetButton()->GetDownButton();
        for (int click = 0; click < 5; ++click) ClickOn(half);
        EXPECT_EQ(spin->GetText(), t.shown);
        for (int i : {6, 7}) EXPECT_EQ(std::to_string(P(i).Resources[0]), t.shown);
    }
    // A number pasted whole, too long for any field, is read as the row
    // reads it: kept at the top of the range.
    desk.TypeIntoGridRow("Res_0", "4");
    desk.Host().SetClipboardText("99999999999999999999");
    desk.Host().PressKey(VK_HOME);
    desk.Host().PressKey(VK_END, {ssShift});
    desk.Host().PressKey('V', {ssCtrl});
    desk.Host().PressKey(VK_RETURN);
    EXPECT_EQ(desk.Main().RMIProvince->GetEditor()->GetText(), "9");
    for (int i : {6, 7}) EXPECT_EQ(P(i).Resources[0], 9);
    EXPECT_TRUE(desk.Host().ShownDialogs().empty());
}

TEST_F(ProvinceGrid, AMixedBoxStoresNothingUntilItIsClicked) {
    // A castle flag and a building: each the first province's alone.
    struct Box {
        const char* key;
        uint8_t CCastleDataB::*field;
        uint8_t bit;
    };
    for (const Box& box : {Box{"CastMoat", &CCastleDataB::Flags, kMoat},
                           Box{"CastWalls", &CCastleDataB::Flags, CCastleDataB::kWalls},
                           Box{"CastBan", &CCastleDataB::Buildings, CCastleDataB::kBank},
                           Box{"CastMetlMine", &CCastleDataB::Buildings, CCastleDataB::kMetalMine}}) {
        SCOPED_TRACE(box.key);
        for (int i : {0, 1}) {
            P(i).SetHasCastle(1);
            P(i).Castle.*box.field &= static_cast<uint8_t>(~box.bit);
        }
        P(0).Castle.*box.field |= box.bit;
        SelectByRows({0, 1});
        desk.Project().Modified = 0;
        desk.GoToGridRow(box.key);
        EXPECT_EQ(State(box.key), cbxUndefined);
        EXPECT_EQ(P(1).Castle.*box.field & box.bit, 0) << "showing the mixed state gives nobody one";
        EXPECT_EQ(desk.Project().Modified, 0u);
        struct Click {
            TCBExState state;
            uint8_t bit;
        };
        // Ticked, every province has one, those that had one keep it;
        // unticked, none has.
        for (const Click& c : {Click{cbxTrue, box.bit}, Click{cbxFalse, 0}}) {
            desk.ToggleGridRow(box.key);
            EXPECT_EQ(State(box.key), c.state);
            for (int i : {0, 1}) EXPECT_EQ(P(i).Castle.*box.field & box.bit, c.bit);
        }
    }
}

TEST_F(ProvinceGrid, TheCastleRowsFollowTheCastle) {
    desk.ClickProvinceRow(8);
    EXPECT_EQ(State("Castle"), cbxFalse);
    EXPECT_EQ(desk.GridRow("CastHP"), nullptr) << "no castle, no castle rows";
    desk.ToggleGridRow("Castle");
    EXPECT_NE(P(8).Castle.Flags & CCastleDataB::kPresent, 0);
    EXPECT_EQ(P(8).CastlePicture, 1);
    const std::vector<std::string> keys = desk.GridKeys();
    const std::vector<std::string> castle(std::find(keys.begin(), keys.end(), "Castle") + 1,
                                          std::find(keys.begin(), keys.end(), "Castle") + 9);
    EXPECT_EQ(castle, (std::vector<std::string>{"CastHP", "CastMoat", "CastWalls", "CastCat", "CastMar", "CastBan",
                                                "CastMetlMine", "CastStonMine"}));
    std::vector<std::string> captions;
    for (const std::string& key : castle) captions.push_back(desk.GridRow(key)->GetNode()->GetText());
    EXPECT_EQ(captions, (std::vector<std::string>{"Hit Points", "Moat", "Fortified walls", "Catapults", "Market",
                                                  "Bank", "Metal Mine", "Stone Mine"}));

    struct Choice {
        const char* key;
        int entry;
        std::string shown;
        int hitPoints, catapults;
    };
    for (const Choice& c : {Choice{"CastHP", 2, "50%", 50, 0}, Choice{"CastHP", 0, "50%", 50, 0},
                            Choice{"CastCat", 3, "3", 50, 3}}) {
        SCOPED_TRACE(std::string(c.key) + " " + std::to_string(c.entry));
        desk.ChooseInGridRow(c.key, c.entry);
        EXPECT_EQ(desk.GridText(c.key), c.shown);
        EXPECT_EQ(P(8).Castle.HitPoints, c.hitPoints);
        EXPECT_EQ((P(8).Castle.Flags & CCastleDataB::kCatapultMask) >> CCastleDataB::kCatapultShift, c.catapults);
    }
}

TEST_F(ProvinceGrid, TheNameRowComesWithASingleProvince) {
    desk.ClickProvinceRow(0);
    desk.ClickProvinceRow(1, {ssCtrl});
    EXPECT_EQ(desk.GridRow("ProvName"), nullptr);
    desk.ClickProvinceRow(1, {ssCtrl});
    EXPECT_EQ(desk.GridKeys().front(), "ProvName");

    // A name typed key by key may pass through a name another province
    // bears on its way.
    desk.ClickProvinceRow(1);
    desk.TypeIntoGridRow("ProvName", "Ash");
    desk.ClickProvinceRow(0);
    desk.TypeIntoGridRow("ProvName", "Ashford");
    EXPECT_EQ(desk.Project().CurrentProvinceName(&P(0)), "Ashford");
    EXPECT_EQ(desk.Main().LVProvinces->GetItems()->GetItem(0)->GetCaption(), "Ashford");

    // Another province's name, pasted whole, is refused; the row shows the
    // stored name again however the edit ends.
    struct End {
        const char* how;
        std::function<void()> act;
    };
    const End ends[] = {
        {"Enter", [&] { desk.Host().PressKey(VK_RETURN); }},
        {"another row", [&] { desk.GoToGridRow("Owner"); }},
        {"a click on another window", [&] { ClickOn(*EventFrame->Label16); }},
    };
    for (const End& end : ends) {
        SCOPED_TRACE(end.how);
        desk.GoToGridRow("ProvName");
        desk.Host().SetClipboardText("Ash");
        desk.Host().PressKey(VK_HOME);
        desk.Host().PressKey(VK_END, {ssShift});
        desk.Host().PressKey('V', {ssCtrl});
        EXPECT_EQ(desk.Main().RMIProvince->GetEditor()->GetText(), "Ash");
        EXPECT_EQ(desk.Project().CurrentProvinceName(&P(0)), "Ashford");
        EXPECT_EQ(desk.Project().CurrentProvinceName(&P(1)), "Ash");
        end.act();
        EXPECT_EQ(desk.GridText("ProvName"), "Ashford");
    }
}

}  // namespace
