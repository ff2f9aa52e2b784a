#include "shell/tables.h"

#include "core/keys.h"
#include "version.h"

namespace {

constexpr MenuEntry menu[] = {
    {"&Game", "&New", CommandNew},          {nullptr, nullptr, {}},
    {nullptr, "E&xit", CommandExit},        {"&Edit", "Players &Name", CommandPlayersName},
    {"&View", "&Hi Score", CommandHiScore}, {nullptr, "&Full Screen\tF11", CommandFullScreen},
    {"&Speed", "&Slow", CommandSlow},       {nullptr, "&Normal", CommandNormal},
    {nullptr, "&Fast", CommandFast},        {nullptr, "&Sonic", CommandSonic},
    {"&Help", "&Find", CommandFind},        {nullptr, "&About ", CommandAbout},
};

constexpr Accelerator accelerators[] = {
    {'\b', false, CommandBackspace},
    {KeyF1, true, CommandHelpKey},
};

constexpr AboutTexts about = {
    "About Vantrel",
    {"Vantrel Game", VANTREL_ABOUT_VERSION, "Written by the Vantrel developers", "Built with C++ for Linux and Windows",
     "Free to play and share"},
    "OK",
};

}  // namespace

std::span<const MenuEntry> menuTable() { return menu; }
std::span<const Accelerator> acceleratorTable() { return accelerators; }
const AboutTexts& aboutTexts() { return about; }

const char* loadString(int id) {
  switch (id) {
    case StringTitle: return "Vantrel";
    case StringHelpFile: return "vantrel.hlp";
    default: return "";
  }
}
