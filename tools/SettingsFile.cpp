#include "tools/SettingsFile.h"

#include "tools/XmlText.h"

namespace thorn::startdir {

std::string SettingsXml() {
    XmlText xml;
    xml.Open("Thornvale", {});
    xml.Open("Editor", {{"AutoResize", "1"},
                        {"AutoShowErr", "1"},
                        {"ConvertCapTo", "0"},
                        {"MaxCapPopulation", "150"},
                        {"MaxPopulation", "125"},
                        {"MinCapPopulation", "50"},
                        {"MinPopulation", "25"},
                        {"OwnerColors", "1"},
                        {"ShArmies", "0"},
                        {"ShCastles", "0"},
                        {"ShIcons", "1"},
                        {"ShNames", "0"},
                        {"ShPaths", "0"},
                        {"TransArmies", "0"},
                        {"TransCastles", "1"},
                        {"TransValue", "120"}});
    // 8 points at 96 pixels per inch is a character height of 11 pixels.
    xml.Empty("Font", {{"Charset", "1"},
                       {"Color", "0"},
                       {"Height", "-11"},
                       {"Name", "Tahoma"},
                       {"Pitch", "0"},
                       {"PixelsPerInch", "96"},
                       {"Size", "8"},
                       {"Bold", "0"},
                       {"Italic", "0"},
                       {"Underline", "0"},
                       {"StrikeOut", "0"}});
    // Places for a desktop of 1280 x 800 or more, each frame (up to 6
    // pixels at the sides and bottom and 30 at the top) clear of the others
    // and on the screen: the tool windows beside the main window, one below
    // the other. On a smaller desktop the windows are placed to fit it.
    xml.Empty("MissForm", {{"Visible", "True"},
                           {"Width", "300"},
                           {"Height", "350"},
                           {"Left", "966"},
                           {"Top", "30"},
                           {"SplitPos", "130"}});
    // The events grid's split leaves its longest caption, "Occurrence Turn,
    // No.", room to show whole.
    xml.Empty("EventsForm", {{"Visible", "True"},
                             {"Width", "300"},
                             {"Height", "350"},
                             {"Left", "966"},
                             {"Top", "420"},
                             {"SplitPos", "120"},
                             {"Splitter", "160"}});
    xml.Empty("ErrorsForm", {{"Width", "480"}, {"Height", "240"}, {"Left", "248"}, {"Top", "480"}});
    xml.Empty("MainForm", {{"Width", "940"},
                           {"Height", "764"},
                           {"Left", "6"},
                           {"Top", "30"},
                           {"State", "0"},
                           {"Splitter", "233"},
                           {"SplitPlPos", "120"},
                           {"SplitPrPos", "120"},
                           {"FilePanel", "True"},
                           {"ShowPanel", "True"},
                           {"ZoomPanel", "True"},
                           {"ProvHeight", "84"},
                           {"ProvWidName", "110"},
                           {"ProvWidOwner", "90"}});
    xml.Close();
    xml.Close();
    return xml.Text();
}

}  // namespace thorn::startdir
