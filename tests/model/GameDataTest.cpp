#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "MapProjectFixture.h"
#include "ProjectFiles.h"
#include "model/BitmapHelpers.h"
#include "model/GameData.h"

namespace {

using thorn::test::kStartFolder;
using thorn::test::MapProjectTest;

// The start folder's catalogue, changed by the test, written to a file of
// its own and opened as the editor's game-data document.
class CatalogueTest : public MapProjectTest {
protected:
    void OpenCatalogue(const std::function<void(pugi::xml_node)>& edit = {}) {
        pugi::xml_document document;
        ASSERT_TRUE(document.load_file((kStartFolder / "pw.xml").c_str()));
        if (edit) edit(document.document_element());
        ASSERT_TRUE(document.save_file((dir / "pw.xml").c_str()));
        ASSERT_TRUE(editor.gameData.load_file((dir / "pw.xml").c_str()));
        editor.startFolder = kStartFolder;
    }
    static pugi::xml_node Child(pugi::xml_node node, const char* name, int n = 0) {
        pugi::xml_node child = node.child(name);
        while (n-- > 0) child = child.next_sibling(name);
        return child;
    }
    static void SetAttribute(pugi::xml_node node, const char* name, const char* value) {
        if (!node.attribute(name)) node.append_attribute(name);
        node.attribute(name).set_value(value);
    }
    CStringTable& Table() { return *project.Tables.GetAt(0); }
};

TEST_F(CatalogueTest, StartFolderCatalogueFillsTheProject) {
    OpenCatalogue();
    LoadGameData(project);
    ASSERT_EQ(LoadAbilities(project), 1);
    // Standard and other units, units loaded, castle and army types, resources.
    EXPECT_EQ((std::vector<int>{project.NumStandardUnits, project.NumNonStandardUnits, project.NumUnitTypesLoaded,
                                project.NumCastleTypes, project.NumArmyTypes, project.NumResources}),
              (std::vector<int>{5, 6, 11, 6, 3, 5}));
    EXPECT_EQ(project.CurrentStringTable, 0);
    ASSERT_EQ(project.Tables.GetCount(), 1);
    const CStringTable& t = Table();
    EXPECT_EQ((std::vector<std::string>{t.GetUnitName(0), t.GetUnitName(5), t.GetUnitName(10), t.GetUnitName(11),
                                        t.GetCastleTypeName(2), t.GetCastleImagePath(1), t.GetArmyImagePath(2),
                                        t.GetResourceName(4), t.GetSkillName(2)}),
              (std::vector<std::string>{"Militia", "Forest Rangers", "Sea Raiders", "Unit 11", "Capital",
                                        "res/castles/castle.bmp", "res/armies/camp.bmp", "Grain", "Lore"}));
    EXPECT_EQ(project.ResourceMax[0], 9);
    ASSERT_EQ(project.CastlePivots.GetCount(), 9);
    EXPECT_EQ(project.CastlePivots[0], (TPoint{10, 14}));
    EXPECT_EQ(project.CastlePivots[6], (TPoint{8, 10}));
    EXPECT_EQ(editor.castles.GetBitmaps()->GetCount(), 9);
    EXPECT_EQ(editor.CallsStartingWith("BuildCastleLegend").size(), 1u);
    ASSERT_EQ(project.Abilities.GetCount(), 5u);
    EXPECT_EQ(project.Abilities[0], (CAbilityStruct{"Born Leader", 1}));
    ASSERT_EQ(project.ComputerPlayerTypes.GetCount(), 5u);
    EXPECT_EQ(project.ComputerPlayerTypes[4], (CAbilityStruct{"Expansionist", 5}));
    EXPECT_EQ(thorn::CheckGameData(editor.gameData.document_element(), kStartFolder), "");
}

TEST_F(CatalogueTest, MagentaOfThePicturesBecomesTransparentBlack) {
    OpenCatalogue();
    LoadGameData(project);
    int magenta = 0;
    const char* files[] = {"res/castles/village.bmp", "res/armies/banner.bmp"};
    const int items[] = {0, 6};
    for (int k = 0; k < 2; ++k) {
        TBitmap32 original;
        original.LoadFromFile(kStartFolder / files[k]);
        const TBitmap32& loaded = *editor.castles.GetBitmap(items[k]);
        ASSERT_EQ(loaded.Width(), original.Width());
        EXPECT_EQ(loaded.DrawMode(), dmBlend);
        for (int32_t y = 0; y < original.Height(); ++y)
            for (int32_t x = 0; x < original.Width(); ++x) {
                const TColor32 c = original.GetPixel(x, y);
                magenta += c == 0xFFFF00FF;
                ASSERT_EQ(loaded.GetPixel(x, y), c == 0xFFFF00FF ? 0u : c);
            }
    }
    EXPECT_GT(magenta, 0);
}

TEST_F(CatalogueTest, EntriesOfOtherNamesAreSkipped) {
    OpenCatalogue([](pugi::xml_node root) {
        pugi::xml_node castles = root.child("Castles");
        castles.remove_children();
        for (const char* name : {"Castle", "Tower", "Castle", "Castle"}) {
            pugi::xml_node c = castles.append_child(name);
            c.append_attribute("name").set_value(name);
            c.append_attribute("path").set_value("res/castles/fort.bmp");
            c.append_attribute("pivot_x").set_value("3");
            c.append_attribute("pivot_y").set_value(" -4");
        }
    });
    LoadGameData(project);
    EXPECT_EQ(project.NumCastleTypes, 3);
    EXPECT_EQ(project.CastlePivots.GetCount(), 3 + 3);
    EXPECT_EQ(project.CastlePivots[1], (TPoint{3, -4}));
    EXPECT_EQ(editor.castles.GetBitmaps()->GetCount(), 6);
}

TEST_F(CatalogueTest, EmptyMinimumAndMissingMaximumReadAsZero) {
    OpenCatalogue([](pugi::xml_node root) {
        pugi::xml_node resource = root.child("Resources").child("Resource");
        resource.attribute("min").set_value("");
        resource.remove_attribute("max");
    });
    project.ResourceMin[0] = 5;
    project.ResourceMax[0] = 5;
    ASSERT_EQ(LoadResources(project), 1);
    EXPECT_EQ(project.ResourceMin[0], 0);
    EXPECT_EQ(project.ResourceMax[0], 0);
    EXPECT_EQ(project.ResourceMax[1], 6);
}

TEST_F(CatalogueTest, StandardAndOtherUnitsAreNumberedOneAfterTheOther) {
    OpenCatalogue([](pugi::xml_node root) {
        pugi::xml_node units = root.child("Units");
        units.attribute("standart").set_value("3");
        units.attribute("non-standart").set_value("2");
        units.child("Standart").remove_child(units.child("Standart").last_child());
        units.child("Standart").remove_child(units.child("Standart").last_child());
        for (int i = 0; i < 4; ++i) units.child("NonStandart").remove_child(units.child("NonStandart").last_child());
    });
    project.Tables.Add(std::make_unique<CStringTable>());
    ASSERT_EQ(LoadUnits(project), 1);
    EXPECT_EQ(project.NumUnitTypesLoaded, 5);
    EXPECT_EQ(Table().GetUnitName(2), "Archers");
    EXPECT_EQ(Table().GetUnitName(3), "Forest Rangers");
    EXPECT_EQ(Table().GetUnitName(4), "Hill Dwarves");
}

TEST_F(CatalogueTest, FindChildNodeAnswersTheFirstExactMatch) {
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string("<a><B n='1'/><b n='2'/><b n='3'/></a>"));
    EXPECT_FALSE(thorn::FindChildNode(pugi::xml_node(), "b"));
    EXPECT_EQ(std::string(thorn::FindChildNode(document.child("a"), "b").attribute("n").value()), "2");
    EXPECT_FALSE(thorn::FindChildNode(document.child("a"), "c"));
}

struct Fault {
    const char* what;
    std::function<void(pugi::xml_node)> edit;
    std::vector<std::string> named;  // what the message must name
};

// Each fault is reported with its element and attribute, and the project
// keeps nothing of the catalogue.
TEST_F(CatalogueTest, FaultsAreNamedAndLeaveTheProjectUntouched) {
    auto castle = [](int n) {
        return [n](pugi::xml_node root) { return Child(root.child("Castles"), "Castle", n); };
    };
    const std::vector<Fault> faults = {
        {"pivot not a number", [&](pugi::xml_node r) { SetAttribute(castle(1)(r), "pivot_x", "ten"); },
         {"\"Castle\" #2", "pivot_x", "ten"}},
        {"empty pivot", [&](pugi::xml_node r) { SetAttribute(castle(0)(r), "pivot_y", ""); }, {"#1", "pivot_y"}},
        {"standart not a number", [](pugi::xml_node r) { SetAttribute(r.child("Units"), "standart", "5x"); },
         {"\"Units\"", "standart"}},
        {"41 unit types", [](pugi::xml_node r) { SetAttribute(r.child("Units"), "non-standart", "36"); },
         {"\"Units\"", "41"}},
        {"standart past its children", [](pugi::xml_node r) { SetAttribute(r.child("Units"), "standart", "6"); },
         {"\"Standart\"", "standart"}},
        {"17 castles",
         [](pugi::xml_node r) {
             for (int i = 0; i < 11; ++i) r.child("Castles").append_copy(r.child("Castles").child("Castle"));
         },
         {"\"Castles\"", "17"}},
        {"two castles",
         [](pugi::xml_node r) {
             for (int i = 0; i < 4; ++i) r.child("Castles").remove_child(r.child("Castles").last_child());
         },
         {"\"Castles\"", "at least 3"}},
        {"no army", [](pugi::xml_node r) { r.child("Armies").remove_children(); }, {"\"Armies\"", "at least 1"}},
        {"no resources", [](pugi::xml_node r) { r.remove_child("Resources"); }, {"\"Resources\"", "missing"}},
        {"17 resources",
         [](pugi::xml_node r) {
             for (int i = 0; i < 12; ++i) r.child("Resources").append_copy(r.child("Resources").child("Resource"));
         },
         {"\"Resources\"", "17"}},
        {"minimum above maximum",
         [](pugi::xml_node r) { SetAttribute(Child(r.child("Resources"), "Resource", 2), "min", "7"); },
         {"\"Resource\" #3", "min", "max"}},
        {"computer id 0", [](pugi::xml_node r) { SetAttribute(r.child("AIs").child("AI"), "val", "0"); },
         {"\"AI\" #1", "val", "1 to 127"}},
        {"computer id 128",
         [](pugi::xml_node r) { SetAttribute(Child(r.child("AIs"), "AI", 3), "val", "128"); },
         {"\"AI\" #4", "val"}},
        {"no computer player", [](pugi::xml_node r) { r.child("AIs").remove_children(); }, {"\"AIs\"", "at least 1"}},
        {"missing picture",
         [&](pugi::xml_node r) { SetAttribute(castle(2)(r), "path", "res/castles/none.bmp"); },
         {"\"Castle\" #3", "\"path\"", "none.bmp", "cannot be loaded"}},
        {"picture that is no picture",
         [](pugi::xml_node r) { SetAttribute(r.child("Armies").child("Army"), "path", "pw.xml"); },
         {"\"Army\" #1", "\"path\"", "cannot be loaded"}},
    };
    for (const Fault& fault : faults) {
        OpenCatalogue(fault.edit);
        std::string message;
        try {
            LoadGameData(project);
            LoadAbilities(project);
        } catch (const thorn::EGameDataError& error) {
            message = error.what();
        }
        for (const std::string& name : fault.named)
            EXPECT_NE(message.find(name), std::string::npos) << fault.what << ": " << message;
        EXPECT_EQ(thorn::CheckGameData(editor.gameData.document_element(), kStartFolder), message) << fault.what;
        EXPECT_EQ(project.Tables.GetCount(), 0) << fault.what;
        EXPECT_EQ(project.NumCastleTypes, 0) << fault.what;
        EXPECT_EQ(project.NumResources, 0) << fault.what;
        EXPECT_EQ(project.ComputerPlayerTypes.GetCount(), 0u) << fault.what;
        EXPECT_EQ(editor.castles.GetBitmaps()->GetCount(), 0) << fault.what;
    }
}

TEST_F(CatalogueTest, NewMissionOnAFaultyCatalogueShowsTheFaultAndResets) {
    OpenCatalogue([](pugi::xml_node root) { SetAttribute(root.child("AIs").child("AI"), "val", "200"); });
    ASSERT_EQ(Import(*thorn::test::DrawPicture(200, 200, [](int32_t x, int32_t) {
                  return x < 100 ? thorn::test::ProvinceColour(1) : thorn::test::ProvinceColour(2);
              })),
              1);
    EXPECT_EQ(project.NewMissionFromImage(), 0);
    ASSERT_EQ(editor.errors.size(), 1u);
    EXPECT_NE(editor.errors[0].find("\"val\""), std::string::npos);
    EXPECT_EQ(project.MapPieces.GetCount(), 0);
    EXPECT_EQ(project.Provinces.GetCount(), 0);
    EXPECT_EQ(project.WorldWidth, 1);
}

TEST_F(CatalogueTest, PicturesAfterALoadFollowTheProjectNotTheCatalogue) {
    OpenCatalogue();
    LoadGameData(project);
    // The catalogue changes after the mission was made: its first castle
    // now shows another picture and a castle type is added.
    OpenCatalogue([](pugi::xml_node root) {
        SetAttribute(root.child("Castles").child("Castle"), "path", "res/castles/citadel.bmp");
        root.child("Castles").append_copy(root.child("Castles").child("Castle"));
    });
    ASSERT_EQ(LoadCastlesAndArmies(project, 0), 1);
    ASSERT_EQ(editor.castles.GetBitmaps()->GetCount(), 9);
    TBitmap32 village;
    village.LoadFromFile(kStartFolder / "res/castles/village.bmp");
    ReplaceColor(village, 0xFFFF00FF, 0);
    EXPECT_TRUE(editor.castles.GetBitmap(0)->Equal(&village));
    EXPECT_EQ(project.NumCastleTypes, 6);
    EXPECT_EQ(project.CastlePivots.GetCount(), 9);
}

}  // namespace
