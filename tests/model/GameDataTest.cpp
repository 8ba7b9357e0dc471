#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "FailingAllocation.h"
#include "MapProjectFixture.h"
#include "ProjectFiles.h"
#include "model/BitmapHelpers.h"
#include "model/GameData.h"
#include "support/PictureFiles.h"

namespace {

using thorn::test::kStartFolder;
using thorn::test::MapProjectTest;

// The start folder's catalogue, changed by the test, in a start folder of
// the test's own (holding a copy of the shipped pictures), opened as the
// editor's game-data document.
class CatalogueTest : public MapProjectTest {
protected:
    CatalogueTest() {
        std::filesystem::copy(kStartFolder / "res", dir / "res", std::filesystem::copy_options::recursive);
        editor.startFolder = dir.Path();
    }
    void OpenCatalogue(const std::function<void(pugi::xml_node)>& edit = {}) {
        WriteCatalogue(edit);
        editor.gameData = thorn::OpenGameData(dir / "pw.xml");
    }
    // The shipped catalogue edited into the start folder's "pw.xml".
    void WriteCatalogue(const std::function<void(pugi::xml_node)>& edit) {
        pugi::xml_document document;
        ASSERT_TRUE(document.load_file((kStartFolder / "pw.xml").c_str()));
        if (edit) edit(document.document_element());
        ASSERT_TRUE(document.save_file((dir / "pw.xml").c_str()));
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
    // The message of the first fault of the catalogue, empty when none.
    std::string LoadMessage() {
        try {
            LoadGameData(project);
            LoadAbilities(project);
        } catch (const thorn::EGameDataError& error) {
            return error.what();
        }
        return {};
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
    EXPECT_EQ(thorn::CheckGameData(editor.gameData->GetDocumentElement(), dir.Path()), "");
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

// Two castle types are a catalogue of its own: a capital then shows the
// castle picture (see the map layers' tests).
TEST_F(CatalogueTest, EntriesOfOtherNamesAreSkipped) {
    OpenCatalogue([](pugi::xml_node root) {
        pugi::xml_node castles = root.child("Castles");
        castles.remove_children();
        for (const char* name : {"Castle", "Tower", "Castle"}) {
            pugi::xml_node c = castles.append_child(name);
            c.append_attribute("name").set_value(name);
            c.append_attribute("path").set_value("res/castles/fort.bmp");
            c.append_attribute("pivot_x").set_value("3");
            c.append_attribute("pivot_y").set_value(" -4");
        }
    });
    LoadGameData(project);
    EXPECT_EQ(project.NumCastleTypes, 2);
    EXPECT_EQ(project.CastlePivots.GetCount(), 2 + 3);
    EXPECT_EQ(project.CastlePivots[1], (TPoint{3, -4}));
    EXPECT_EQ(editor.castles.GetBitmaps()->GetCount(), 5);
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

// The counts bound the lists: further children are not read.
TEST_F(CatalogueTest, StandardAndOtherUnitsAreNumberedOneAfterTheOther) {
    OpenCatalogue([](pugi::xml_node root) {
        pugi::xml_node units = root.child("Units");
        units.attribute("standart").set_value("3");
        units.attribute("non-standart").set_value("2");
    });
    project.Tables.Add(std::make_unique<CStringTable>());
    ASSERT_EQ(LoadUnits(project), 1);
    EXPECT_EQ(project.NumUnitTypesLoaded, 5);
    EXPECT_EQ(Table().GetUnitName(2), "Archers");
    EXPECT_EQ(Table().GetUnitName(3), "Forest Rangers");
    EXPECT_EQ(Table().GetUnitName(4), "Hill Dwarves");
    EXPECT_EQ(Table().GetUnitName(5), "Unit 5");
}

TEST_F(CatalogueTest, FindChildNodeAnswersTheFirstExactMatch) {
    const std::string xml = "<a><B n='1'/><b n='2'/><b n='3'/></a>";
    TXMLDocument document;
    document.LoadFromBytes(std::vector<uint8_t>(xml.begin(), xml.end()), "a.xml");
    EXPECT_FALSE(thorn::FindChildNode(IXMLNode(), "b"));
    EXPECT_EQ(thorn::FindChildNode(document.GetDocumentElement(), "b").Attributes("n"), "2");
    EXPECT_FALSE(thorn::FindChildNode(document.GetDocumentElement(), "c"));
}

struct Fault {
    const char* what;
    std::function<void(pugi::xml_node)> edit;
    std::vector<std::string> named;  // what the message must name
};

// A 56-byte run-length BMP whose header claims 32767 x 4096 pixels: it ends
// at once, so a reader that believed the header would fill gigabytes.
std::vector<uint8_t> HugeRunLengthBmp() {
    thorn::test::DibSpec spec;
    spec.width = 32767;
    spec.height = 4096;
    spec.bitCount = 8;
    spec.compression = 1;  // RLE8
    spec.pixels = {0, 1};  // end of the picture
    return thorn::test::BmpFile(spec);
}

// Each fault is reported, short, with its element, entry and attribute, and
// the project keeps nothing of the catalogue.
TEST_F(CatalogueTest, FaultsAreNamedAndLeaveTheProjectUntouched) {
    thorn::test::WriteFileBytes(dir / "res/castles/huge.bmp", HugeRunLengthBmp());
    // A link inside the start folder to pictures outside it.
    std::filesystem::create_directory_symlink(kStartFolder / "res", dir / "res/elsewhere");
    auto castle = [](int n) {
        return [n](pugi::xml_node root) { return Child(root.child("Castles"), "Castle", n); };
    };
    auto setCastle = [&](int n, const char* attribute, const char* value) {
        return [=](pugi::xml_node r) { SetAttribute(castle(n)(r), attribute, value); };
    };
    // A loop of links, and a folder that cannot be searched.
    std::filesystem::create_directory_symlink("loop", dir / "res/loop");
    std::filesystem::create_directory(dir / "res/locked");
    std::filesystem::copy(dir / "res/castles/castle.bmp", dir / "res/locked/castle.bmp");
    ASSERT_EQ(chmod((dir / "res/locked").c_str(), 0), 0);
    const std::string longText(1 << 20, '7');
    const std::string longName(1 << 20, 'n');
    const std::string longPath = "res/" + std::string(300, 'a') + "/castle.bmp";
    std::vector<Fault> faults = {
        {"pivot not a number", setCastle(1, "pivot_x", "ten"), {"\"Castle\" #2", "\"pivot_x\" is not a number: \"ten\""}},
        {"two signs", setCastle(1, "pivot_x", "+-5"), {"\"pivot_x\" is not a number: \"+-5\""}},
        {"empty pivot", setCastle(0, "pivot_y", ""), {"#1", "\"pivot_y\" is empty"}},
        {"missing pivot", [&](pugi::xml_node r) { castle(0)(r).remove_attribute("pivot_y"); },
         {"#1", "\"pivot_y\" is missing"}},
        {"pivot of 2^63", setCastle(0, "pivot_x", "9223372036854775808"),
         {"\"9223372036854775808\", outside -32768 to 32767"}},
        {"pivot of a million digits", setCastle(0, "pivot_x", longText.c_str()),
         {"\"7777777777777777777777777777777777777777...\", outside -32768 to 32767"}},
        {"standart not a number", [](pugi::xml_node r) { SetAttribute(r.child("Units"), "standart", "5x"); },
         {"\"Units\"", "standart"}},
        {"41 unit types", [](pugi::xml_node r) { SetAttribute(r.child("Units"), "non-standart", "36"); },
         {"\"Units\"", "41"}},
        {"standart past its children", [](pugi::xml_node r) { SetAttribute(r.child("Units"), "standart", "6"); },
         {"\"Standart\": holds 5 unit types but \"standart\" of \"Units\" says 6"}},
        {"17 castles",
         [](pugi::xml_node r) {
             for (int i = 0; i < 11; ++i) r.child("Castles").append_copy(r.child("Castles").child("Castle"));
         },
         {"\"Castles\"", "17"}},
        {"no castle", [](pugi::xml_node r) { r.child("Castles").remove_children(); }, {"\"Castles\"", "at least 1"}},
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
        {"name outside the code page", setCastle(1, "name", "Tower \xE2\x9C\x93"),
         {"\"Castle\" #2", "\"name\" holds a character outside Windows-1252"}},
        {"missing path", [&](pugi::xml_node r) { castle(2)(r).remove_attribute("path"); },
         {"\"Castle\" #3", "\"path\" is missing"}},
        {"empty path", setCastle(2, "path", ""), {"\"Castle\" #3", "\"path\" is empty"}},
        {"missing picture", setCastle(2, "path", "res/castles/none.bmp"),
         {"\"Castle\" #3", "\"path\"", "none.bmp", "cannot be loaded", "No such file or directory"}},
        {"picture that is no picture",
         [](pugi::xml_node r) { SetAttribute(r.child("Armies").child("Army"), "path", "pw.xml"); },
         {"\"Army\" #1", "\"path\"", "cannot be loaded", "not a BMP, JPEG or icon picture"}},
        {"folder as picture", setCastle(0, "path", "res"), {"\"path\"", "not a regular file"}},
        {"picture too large", setCastle(0, "path", "res/castles/huge.bmp"),
         {"\"Castle\" #1", "\"path\"", "too large (32767 x 4096"}},
        {"path up and out", setCastle(0, "path", "../startdir/res/castles/castle.bmp"),
         {"\"Castle\" #1", "\"path\": the picture \"../startdir/res/castles/castle.bmp\" lies outside the start folder"}},
        {"absolute path", setCastle(0, "path", "/etc/hostname"), {"\"/etc/hostname\" lies outside the start folder"}},
        {"link out of the folder", setCastle(0, "path", "res\\elsewhere\\castles\\castle.bmp"),
         {"lies outside the start folder"}},
        {"loop of links", setCastle(0, "path", "res/loop/castle.bmp"),
         {"\"res/loop/castle.bmp\" cannot be reached: Too many levels of symbolic links"}},
        {"name too long", setCastle(0, "path", longPath.c_str()),
         {"\"res/aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa...\" cannot be reached: File name too long"}},
        // Names from the file are cut as values are.
        {"long document element name",
         [&](pugi::xml_node r) {
             r.set_name(longName.c_str());
             SetAttribute(r, "dwID", "\xE2\x9C\x93");
         },
         {"\"nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn...\": attribute \"dwID\""}},
        {"long unit entry name",
         [&](pugi::xml_node r) {
             pugi::xml_node unit = r.child("Units").child("Standart").first_child();
             unit.set_name(longName.c_str());
             SetAttribute(unit, "name", "\xE2\x9C\x93");
         },
         {"\"Units > Standart\" > \"nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn...\" #1"}},
    };
    // Permissions do not stop root.
    if (geteuid() != 0)
        faults.push_back({"folder that cannot be searched", setCastle(0, "path", "res/locked/castle.bmp"),
                          {"\"res/locked/castle.bmp\" cannot be reached: Permission denied"}});
    for (const Fault& fault : faults) {
        OpenCatalogue(fault.edit);
        const std::string message = LoadMessage();
        for (const std::string& name : fault.named)
            EXPECT_NE(message.find(name), std::string::npos) << fault.what << ": " << message;
        EXPECT_LT(message.size(), 300u) << fault.what;
        EXPECT_EQ(thorn::CheckGameData(editor.gameData->GetDocumentElement(), dir.Path()), message) << fault.what;
        EXPECT_EQ(project.Tables.GetCount(), 0) << fault.what;
        EXPECT_EQ(project.NumCastleTypes, 0) << fault.what;
        EXPECT_EQ(project.NumResources, 0) << fault.what;
        EXPECT_EQ(project.ComputerPlayerTypes.GetCount(), 0u) << fault.what;
        EXPECT_EQ(editor.castles.GetBitmaps()->GetCount(), 0) << fault.what;
    }
    chmod((dir / "res/locked").c_str(), 0700);
}

// What XML does not allow is refused when the file is opened, naming it; a
// path with a NUL from elsewhere (a project file) is refused when loaded.
TEST_F(CatalogueTest, ARepeatedAttributeAndANulAreRefused) {
    struct Case {
        const char* what;
        std::function<void(pugi::xml_node)> edit;
        std::vector<std::string> named;
    };
    const Case cases[] = {
        {"repeated path",
         [](pugi::xml_node r) { Child(r.child("Castles"), "Castle", 1).append_attribute("path") = "res/castles/citadel.bmp"; },
         {"attribute \"path\" is given more than once in element \"Castle\""}},
        {"NUL in a path",
         [](pugi::xml_node r) { SetAttribute(r.child("Castles").child("Castle"), "path", "res/castles/village.bmp@.txt"); },
         {"\"&#0;\" in element \"Castle\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteCatalogue(c.edit);
        const std::vector<uint8_t> written = thorn::test::ReadFileBytes(dir / "pw.xml");
        std::string text(written.begin(), written.end());
        if (const size_t at = text.find("bmp@"); at != std::string::npos) text.replace(at + 3, 1, "&#0;");
        thorn::test::WriteFileBytes(dir / "pw.xml", std::vector<uint8_t>(text.begin(), text.end()));
        try {
            thorn::OpenGameData(dir / "pw.xml");
            ADD_FAILURE() << "opened";
        } catch (const thorn::EGameDataError& error) {
            for (const std::string& name : c.named) EXPECT_NE(std::string(error.what()).find(name), std::string::npos) << error.what();
        }
    }

    OpenCatalogue();
    LoadGameData(project);
    Table().SetCastleImagePath(1, std::string("res/castles/village.bmp\0.txt", 28));
    try {
        LoadCastlesAndArmies(project, 0);
        ADD_FAILURE() << "loaded";
    } catch (const thorn::EGameDataError& error) {
        EXPECT_NE(std::string(error.what()).find("castle picture 1 of the project: the picture path holds a NUL character after \"res/castles/village.bmp\""),
                  std::string::npos)
            << error.what();
    }
}

// Short of memory anywhere, the catalogue's check and its opening say so
// and throw nothing else.
TEST_F(CatalogueTest, ShortOfMemoryTheCheckSaysSo) {
    OpenCatalogue();
    const IXMLNode root = editor.gameData->GetDocumentElement();
    const std::filesystem::path file = dir / "pw.xml";
    struct Step {
        const char* what;
        std::function<std::string()> run;  // the message, empty when it went through
    };
    const Step steps[] = {
        {"check", [&] { return thorn::CheckGameData(root, dir.Path()); }},
        {"open",
         [&]() -> std::string {
             try {
                 thorn::OpenGameData(file);
             } catch (const thorn::EGameDataError& error) {
                 return error.what();
             }
             return {};
         }},
    };
    for (const Step& step : steps) {
        const uint64_t start = thorn::test::AllocationCount();
        ASSERT_EQ(step.run(), "") << step.what;
        const uint64_t needed = thorn::test::AllocationCount() - start;
        for (uint64_t n = 1; n <= needed; n += std::max<uint64_t>(1, needed / 50)) {
            SCOPED_TRACE(std::string(step.what) + ", allocation " + std::to_string(n) + " of " + std::to_string(needed));
            std::string message;
            const thorn::test::FailingAllocation failing(n);
            EXPECT_NO_THROW(message = step.run());
            EXPECT_NE(message.find("memory"), std::string::npos) << message;
        }
    }
}

// Texts are stored in the model's code page.
TEST_F(CatalogueTest, TextsAreConvertedToWindows1252) {
    OpenCatalogue([](pugi::xml_node root) {
        SetAttribute(Child(root.child("Castles"), "Castle", 1), "name", "Ch\xC3\xA2teau \xE2\x82\xAC");
        SetAttribute(root.child("Resources").child("Resource"), "name", "\xC3\x89" "cus");
        SetAttribute(root, "dwID", "\xC3\x89T\xC3\xA9");
    });
    ASSERT_EQ(LoadMessage(), "");
    EXPECT_EQ(Table().GetCastleTypeName(1), "Ch\xE2teau \x80");
    EXPECT_EQ(Table().GetResourceName(0), "\xC9" "cus");
    project.ReadGameDataId();
    EXPECT_EQ(project.MissionId, 0xC954E900u);
}

// The file itself: a catalogue cut before its closing tag is refused with
// where the parser stopped.
TEST_F(CatalogueTest, AnUnfinishedFileIsRefused) {
    std::vector<uint8_t> bytes = thorn::test::ReadFileBytes(kStartFolder / "pw.xml");
    bytes.resize(bytes.size() - 20);
    thorn::test::WriteFileBytes(dir / "pw.xml", bytes);
    try {
        thorn::OpenGameData(dir / "pw.xml");
        FAIL() << "opened";
    } catch (const thorn::EGameDataError& error) {
        EXPECT_NE(std::string(error.what()).find("Game data \"pw.xml\": Cannot read"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find(" at byte "), std::string::npos) << error.what();
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
