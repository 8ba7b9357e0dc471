#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "PlayersPage.h"
#include "editor/Eventsframe.h"
#include "editor/PlayerCapital.h"
#include "editor/PlayerInspector.h"
#include "gui/Application.h"
#include "model/GridItemKeys.h"

namespace {

using thorn::test::PlayersPage;
namespace Keys = InspectorKeys;

std::string Key(const char* format, int n) { return thorn::NumberedKey(format, n); }

// The choices of a combo row, in order.
std::vector<std::string> Choices(TrmCustomInspectorItem& row) {
    std::vector<std::string> out;
    TStrings& items = dynamic_cast<TrmComboInspectorItem&>(row).GetItems();
    for (int i = 0; i < items.GetCount(); ++i) out.push_back(items.Get(i));
    return out;
}

// A castle record, for comparing.
std::tuple<int, int, int> CastleOf(const CProvince& province) {
    return {province.Castle.Flags, province.Castle.Buildings, province.Castle.HitPoints};
}

constexpr uint8_t kFullCapital = CCastleDataB::kPresent | CCastleDataB::kMoat | CCastleDataB::kWalls |
                                 (CCastleDataB::kMaxCatapults << CCastleDataB::kCatapultShift);

struct Step {
    const char* what;
    std::function<void()> act;
    std::function<void()> check;
};

void Walk(std::initializer_list<Step> steps) {
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        step.check();
    }
}

TEST(PlayersList, ShowsEverySlotAndItsCheckMarksTurnPlayersOnAndOff) {
    PlayersPage page;
    ASSERT_EQ(page.Main().LVPlayers->GetItems()->GetCount(), 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(page.PlayerColumn(i, 0), std::to_string(i + 1));
        EXPECT_EQ(page.PlayerColumn(i, 1), "Player " + std::to_string(i + 1));
        EXPECT_EQ(page.PlayerColumn(i, 2), "(2,2,2)");
        EXPECT_EQ(page.PlayerColumn(i, 3), "H/C");
        EXPECT_EQ(page.PlayerRow(i).GetChecked(), i < 2);
    }
    EXPECT_EQ(MapProject->Modified, 0u) << "the marks the list was filled with changed nothing";

    page.GiveProvince(0, 0);
    page.GiveProvince(1, 0);
    page.ClickPlayer(0);
    page.Pick(Keys::Capital, 2);
    ASSERT_EQ(page.Player(0).Capital, &page.Province(1));

    // What the list shows of a check box, to compare rows by.
    auto box = [&](int row) {
        const TRect rect = page.PlayerRow(row).DisplayRect();
        std::vector<TColor32> pixels;
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = 4; dx <= 12; ++dx) {
                const TPoint at = page.OnMain(*page.Main().LVPlayers, {rect.Left + dx, (rect.Top + rect.Bottom) / 2 + dy});
                pixels.push_back(page.Host().PixelAt(page.Main(), at.X, at.Y));
            }
        return pixels;
    };
    const auto ticked = box(1);
    const auto clear = box(3);
    ASSERT_NE(ticked, clear);

    struct Case {
        const char* what;
        int row;
        bool active;
    };
    for (const Case& c : {Case{"a slot switched on", 2, true}, Case{"and off again", 2, false},
                          Case{"the selected player, with provinces and a capital, switched off", 0, false}}) {
        SCOPED_TRACE(c.what);
        MapProject->Modified = 0;
        page.TickPlayer(c.row);
        EXPECT_EQ(page.Player(c.row).Active, c.active ? 1u : 0u);
        EXPECT_EQ(page.PlayerRow(c.row).GetChecked(), c.active);
        EXPECT_EQ(box(c.row), c.active ? ticked : clear);
        EXPECT_EQ(MapProject->Modified, 1u);
    }
    // Player 1 let go of everything it held, and its grid shows it.
    EXPECT_EQ(page.Player(0).Capital, nullptr);
    for (int i : {0, 1}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(page.Province(i).Owner, 255);
        EXPECT_EQ(page.Main().LVProvinces->FindData(0, &page.Province(i), true, false)->GetSubItems()->Get(0), "none");
    }
    EXPECT_EQ(page.Row(Keys::Active).GetAsString(), "False");
    EXPECT_EQ(Choices(page.Row(Keys::Capital)), std::vector<std::string>{"none"});
    EXPECT_EQ(page.Row(Keys::Capital).GetAsString(), "none");
}

TEST(PlayerGrid, EveryRowEditedReachesThePlayerAndShowsWhatItStores) {
    PlayersPage page;
    page.GiveProvince(5, 2);
    page.GiveProvince(6, 2);
    page.ClickPlayer(2);
    const CPlayerData& player = page.Player(2);
    auto shows = [&](std::string_view key, const std::string& text) { EXPECT_EQ(page.Row(key).GetAsString(), text); };
    Walk({
        {"the player switched on", [&] { page.Toggle(Keys::Active); },
         [&] {
             EXPECT_EQ(player.Active, 1u);
             EXPECT_TRUE(page.PlayerRow(2).GetChecked());
         }},
        {"a name typed", [&] { page.Type(Keys::Name, "Ulric"); },
         [&] {
             EXPECT_EQ(page.Table().GetPlayerName(2), "Ulric");
             EXPECT_EQ(page.PlayerColumn(2, 1), "Ulric");
             for (int i : {5, 6})
                 EXPECT_EQ(page.Main().LVProvinces->GetItems()->GetItem(i)->GetSubItems()->Get(0), "Ulric");
         }},
        {"a skill lowered", [&] { page.Type(Key(Keys::SkillN, 0), "0"); },
         [&] { EXPECT_EQ(page.PlayerColumn(2, 2), "(0,2,2)"); }},
        {"another raised to the top", [&] { page.Type(Key(Keys::SkillN, 1), "4"); },
         [&] { EXPECT_EQ(page.PlayerColumn(2, 2), "(0,4,2)"); }},
        {"a level past the top is taken as 4, which the sum refuses", [&] { page.Type(Key(Keys::SkillN, 2), "9"); },
         [&] {
             EXPECT_EQ(page.PlayerColumn(2, 2), "(0,4,2)");
             shows(Key(Keys::SkillN, 2), "2");
             EXPECT_EQ(page.Grid().GetEditor()->GetText(), "9") << "as typed until the edit ends";
         }},
        {"Enter ends the edit", [&] { page.Host().PressKey(VK_RETURN); },
         [&] { EXPECT_EQ(page.Grid().GetEditor()->GetText(), "2"); }},
        {"a capital chosen", [&] { page.Pick(Keys::Capital, 2); },
         [&] {
             EXPECT_EQ(player.Capital, &page.Province(6));
             EXPECT_EQ(page.Province(6).Castle.Flags, kFullCapital);
             EXPECT_EQ(BlinkProvince, &page.Province(6));
         }},
        {"made a computer player", [&] { page.Pick(Keys::Playab, 1); },
         [&] {
             EXPECT_EQ(player.PlayerType, 1);
             EXPECT_EQ(page.PlayerColumn(2, 3), "Computer");
             shows(Keys::PlType, "Balanced");
         }},
        {"its computer kind chosen", [&] { page.Pick(Keys::PlType, 2); },
         [&] { EXPECT_EQ(player.PlayerType, 3); }},
        {"human and computer keeps the kind", [&] { page.Pick(Keys::Playab, 2); },
         [&] {
             EXPECT_EQ(player.PlayerType, 3 + 127);
             EXPECT_EQ(page.PlayerColumn(2, 3), "H/C");
             shows(Keys::PlType, "Defender");
         }},
        {"made human: the kind's row goes", [&] { page.Pick(Keys::Playab, 0); },
         [&] {
             EXPECT_EQ(player.PlayerType, 0);
             EXPECT_FALSE(page.HasRow(Keys::PlType));
         }},
        {"a treasury past the field's width", [&] { page.Type(Key(Keys::PlResN, 0), "70000"); },
         [&] {
             EXPECT_EQ(player.Treasury[0], 65535);
             shows(Key(Keys::PlResN, 0), "65535");
             EXPECT_EQ(page.Grid().GetEditor()->GetText(), "70000") << "as typed until the edit ends";
         }},
        {"Tab ends the edit", [&] { page.Host().PressKey(VK_TAB); },
         [&] { EXPECT_EQ(page.Grid().GetEditor()->GetText(), "65535"); }},
        {"a treasury typed", [&] { page.Type(Key(Keys::PlResN, 4), "12"); },
         [&] { EXPECT_EQ(player.Treasury[4], 12); }},
        {"a sign alone is no number yet", [&] { page.Type(Key(Keys::PlResN, 4), "-"); },
         [&] {
             EXPECT_EQ(player.Treasury[4], 12);
             EXPECT_TRUE(page.Host().ShownDialogs().empty());
         }},
        {"a unit slot's unit chosen", [&] { page.Pick(Key(Keys::UnitN, 7), 3); },
         [&] {
             EXPECT_EQ(player.UnitTypes[7], 8u);
             shows(Key(Keys::UnitN, 7), "Stone Golems");
             EXPECT_EQ(page.Row(Key(Keys::ArmyN, 7)).GetNode()->GetText(), "Stone Golems");
         }},
        {"an army past the range", [&] { page.Type(Key(Keys::ArmyN, 7), "123456"); },
         [&] {
             EXPECT_EQ(player.CampaignArmy[7], 99999u);
             shows(Key(Keys::ArmyN, 7), "99999");
         }},
        {"switched off: provinces and capital let go", [&] { page.Toggle(Keys::Active); },
         [&] {
             EXPECT_EQ(player.Active, 0u);
             EXPECT_FALSE(page.PlayerRow(2).GetChecked());
             EXPECT_EQ(player.Capital, nullptr);
             EXPECT_EQ(page.Province(5).Owner, 255);
             EXPECT_EQ(page.Province(6).Owner, 255);
             EXPECT_EQ(Choices(page.Row(Keys::Capital)), std::vector<std::string>{"none"});
         }},
    });
}

TEST(PlayerGrid, ARefusedNameGivesWayToTheStoredOneWhenTheEditEnds) {
    PlayersPage page;
    ASSERT_EQ(page.Table().SetPlayerName(2, "X"), 1);
    page.ClickPlayer(1);
    auto& name = page.Row(Keys::Name);
    struct Case {
        const char* what;
        const char* typed;
        bool enter;
        const char* shown;
        const char* stored;
    };
    const Case cases[] = {
        {"another player's name stays in the row while it is typed", "X", false, "X", "Player 2"},
        {"and gives way to the stored one on Enter", "X", true, "Player 2", "Player 2"},
        {"a name typed through another's (Player 1) on the way", "Player 10", false, "Player 10", "Player 10"},
        {"an emptied name waits", "", false, "", "Player 10"},
        {"and gives way on Enter", "", true, "Player 10", "Player 10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        page.Type(Keys::Name, c.typed);
        if (c.enter) page.Host().PressKey(VK_RETURN);
        EXPECT_EQ(name.GetAsString(), c.shown);
        EXPECT_EQ(page.Table().GetPlayerName(1), c.stored);
        EXPECT_EQ(page.PlayerColumn(1, 1), c.stored);
    }
    // Leaving the row ends the edit too, and so does the keyboard leaving
    // the grid for another window.
    struct End {
        const char* how;
        std::function<void()> act;
    };
    const End ends[] = {
        {"another row", [&] { page.ClickValue(Key(Keys::SkillN, 0)); }},
        {"a click on another window",
         [&] {
             TLabel& label = *EventFrame->Label16;
             const TPoint at = label.ClientToScreen({label.GetWidth() / 2, label.GetHeight() / 2});
             page.Host().Click(*EventFrame.Get(), at.X - EventFrame->GetLeft(), at.Y - EventFrame->GetTop());
         }},
    };
    for (const End& end : ends) {
        SCOPED_TRACE(end.how);
        page.Type(Keys::Name, "X");
        end.act();
        EXPECT_EQ(name.GetAsString(), "Player 10");
    }
}

TEST(Capitals, EachFormerCapitalGetsBackItsOwnCastle) {
    PlayersPage page;
    CProvince& a = page.Province(0);
    CProvince& b = page.Province(4);
    CProvince& c = page.Province(1);
    page.GiveProvince(0, 0);
    page.GiveProvince(1, 0);
    page.GiveProvince(4, 1);
    a.Castle = {CCastleDataB::kPresent | CCastleDataB::kMoat, CCastleDataB::kMarket, 50};
    b.Castle = {0, CCastleDataB::kBank, 75};
    c.Castle = {CCastleDataB::kPresent, 0, 25};
    const auto castleOfA = CastleOf(a), castleOfB = CastleOf(b), castleOfC = CastleOf(c);
    // Choices of player 1: none, A, C; of player 2: none, B.
    Walk({
        {"A becomes player 1's capital", [&] { page.ClickPlayer(0); page.Pick(Keys::Capital, 1); },
         [&] { EXPECT_EQ(CastleOf(a), (std::tuple<int, int, int>{kFullCapital, CCastleDataB::kMarket, 100})); }},
        {"B becomes player 2's", [&] { page.ClickPlayer(1); page.Pick(Keys::Capital, 1); },
         [&] { EXPECT_EQ(CastleOf(b), (std::tuple<int, int, int>{kFullCapital, CCastleDataB::kBank, 100})); }},
        {"player 1 moves to C: A gets its own castle back, not B's", [&] { page.ClickPlayer(0); page.Pick(Keys::Capital, 2); },
         [&] {
             EXPECT_EQ(CastleOf(a), castleOfA);
             EXPECT_EQ(a.CastlePicture, 1) << "a castle, no more the capital";
             EXPECT_EQ(page.Player(0).Capital, &c);
             EXPECT_EQ(CastleOf(b), (std::tuple<int, int, int>{kFullCapital, CCastleDataB::kBank, 100}));
         }},
        {"player 1 has none", [&] { page.Pick(Keys::Capital, 0); },
         [&] {
             EXPECT_EQ(CastleOf(c), castleOfC);
             EXPECT_EQ(page.Player(0).Capital, nullptr);
             EXPECT_EQ(BlinkProvince, nullptr);
         }},
        {"player 2 has none", [&] { page.ClickPlayer(1); page.Pick(Keys::Capital, 0); },
         [&] {
             EXPECT_EQ(CastleOf(b), castleOfB);
             EXPECT_EQ(b.CastlePicture, 0) << "no castle to show";
         }},
        {"a capital taken from another player keeps its first castle",
         [&] {
             SwitchCapital(0, &a);
             SwitchCapital(1, &a);
             SwitchCapital(1, nullptr);
         },
         [&] {
             EXPECT_EQ(page.Player(0).Capital, nullptr);
             EXPECT_EQ(CastleOf(a), castleOfA);
         }},
    });
}

TEST(Capitals, AChoiceIsTakenByItsPlaceNotItsName) {
    PlayersPage page;
    page.GiveProvince(0, 0);
    page.GiveProvince(1, 0);
    ASSERT_EQ(page.Table().SetProvinceName(&page.Province(0), "none"), 1);
    page.ClickPlayer(0);
    ASSERT_EQ(Choices(page.Row(Keys::Capital)),
              (std::vector<std::string>{"none", "none", page.Table().GetProvinceName(&page.Province(1))}));
    struct Case {
        int choice;
        CProvince* capital;
    };
    for (const Case& c : {Case{1, &page.Province(0)}, Case{2, &page.Province(1)}, Case{0, nullptr}, Case{1, &page.Province(0)}}) {
        SCOPED_TRACE(c.choice);
        page.Pick(Keys::Capital, c.choice);
        EXPECT_EQ(page.Player(0).Capital, c.capital);
    }
}

TEST(PlayerGrid, WrittenValuesFollowThePlayerAndChangeNothing) {
    PlayersPage page;
    page.GiveProvince(0, 0);
    page.GiveProvince(1, 0);
    page.GiveProvince(2, 0);
    page.ClickPlayer(0);
    page.Pick(Keys::Capital, 1);

    // A capital off the map is still named, but only provinces on it are
    // offered.
    MapProject->DetachProvince(&page.Province(0));
    page.Player(0).PlayerType = 129;
    page.Player(0).CampaignArmy[0] = 250000;
    MapProject->Modified = 0;
    UpdatePlayerInspector(*MapProject, 0);
    const std::string first = page.Table().GetProvinceName(&page.Province(0));
    EXPECT_EQ(page.Row(Keys::Capital).GetAsString(), first);
    EXPECT_EQ(Choices(page.Row(Keys::Capital)),
              (std::vector<std::string>{"none", page.Table().GetProvinceName(&page.Province(1)),
                                        page.Table().GetProvinceName(&page.Province(2))}));
    EXPECT_EQ(page.Row(Keys::Playab).GetAsString(), "Human & Computer");
    EXPECT_EQ(page.Row(Keys::PlType).GetAsString(), "Aggressor");
    EXPECT_EQ(page.Row(Key(Keys::ArmyN, 0)).GetAsString(), "250000") << "the stored count, past the row's range";

    UpdatePlayerInspector(*MapProject, 6);
    EXPECT_EQ(page.Main().LVPlayers->GetTag(), 0) << "no player 7";
    EXPECT_EQ(MapProject->Modified, 0u) << "nothing written into the grid reached the project";

    // The capital deleted with its province, chosen alone on the provinces
    // page (the players page selects all the player's provinces): the grid
    // follows.
    MapProject->AttachFreeProvinces();
    page.ShowPage(1);
    page.ClickProvinceRow(0);
    ASSERT_EQ(MapProject->Selection.Provinces, std::vector<CProvince*>{&page.Province(0)});
    MapProject->DeleteSelectedProvinces();
    EXPECT_EQ(page.Player(0).Capital, nullptr);
    EXPECT_EQ(page.Row(Keys::Capital).GetAsString(), "none");
    EXPECT_EQ(Choices(page.Row(Keys::Capital)).size(), 3u);
}

TEST(ComputerKinds, NamesAndIdsOfTheCatalogueLookEachOtherUp) {
    PlayersPage page;
    struct Kind {
        uint16_t id;
        const char* name;
    };
    for (const Kind& k : {Kind{1, "Balanced"}, Kind{3, "Defender"}, Kind{5, "Expansionist"}}) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(GetAiTypeName(*MapProject, k.id), k.name);
        EXPECT_EQ(FindAiTypeId(*MapProject, k.name), k.id);
    }
    EXPECT_EQ(GetAiTypeName(*MapProject, 6), "") << "no kind of that id";
    EXPECT_EQ(FindAiTypeId(*MapProject, "balanced"), 0xFFFF) << "names are matched exactly";
}

}  // namespace
