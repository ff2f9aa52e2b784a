// Tabs of the page share one stored table, each playing on its own copy.
// When a tab has saved a score while another tab stored a newer table, the
// scores the tab added go into the newer table by the game's own rules.
#pragma once
#include <string>

// Reads the tables at basePath (the stored table as this tab last had it)
// and oursPath (this tab's table since), then puts each entry of ours that
// base lacks into the table at tablePath, as a game's end puts its score.
void mergeTables(const std::string& basePath, const std::string& oursPath, const std::string& tablePath);
