// Help > Find as a player meets it: vantrel.exe in a folder whose name is
// outside the ANSI code page finds its pages there, and its messages (no
// program for the page, the pages missing) name the whole path.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class HelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              (L"Vantrel \u03A9\u03BC\u03AD\u03B3\u03B1 \u65E5\u672C " + std::to_wstring(GetCurrentProcessId()));
    fs::create_directories(folder_ / L"help");
    fs::copy_file(VANTREL_EXE, folder_ / L"vantrel.exe", fs::copy_options::overwrite_existing);
    std::ofstream(folder_ / L"help" / L"index.html") << "<title>Vantrel</title>\n";
    std::ofstream(folder_ / L"find.txt") << "command 40005\ntick 20\n";
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // Plays Help > Find in the copied game, which quits when the script ends,
  // and returns the text of every box it opened, closing each as a player
  // would.
  std::vector<std::wstring> boxesOfFind() {
    std::wstring command =
        L"\"" + (folder_ / L"vantrel.exe").wstring() + L"\" --hiscore hiscore.txt --play find.txt --screenshot end.png";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION game{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &startup,
                        &game)) {
      ADD_FAILURE() << "cannot start the copied game: error " << GetLastError();
      return {};
    }
    std::vector<std::wstring> texts;
    for (int i = 0; i < 600 && WaitForSingleObject(game.hProcess, 50) == WAIT_TIMEOUT; ++i) {
      HWND box = FindWindowW(L"#32770", L"Vantrel");
      DWORD owner = 0;
      if (!box || (GetWindowThreadProcessId(box, &owner), owner != game.dwProcessId)) continue;
      wchar_t text[1024] = L"";
      GetDlgItemTextW(box, 0xFFFF, text, 1024);  // a message box's text
      texts.emplace_back(text);
      SendMessageW(box, WM_COMMAND, IDOK, 0);
    }
    if (WaitForSingleObject(game.hProcess, 0) == WAIT_TIMEOUT) {
      ADD_FAILURE() << "the played game did not end";
      TerminateProcess(game.hProcess, 1);
    }
    CloseHandle(game.hThread);
    CloseHandle(game.hProcess);
    return texts;
  }

  fs::path folder_;
};

TEST_F(HelpTest, PagesInAFolderNamedOutsideTheCodePageAreFoundOrNamedWhole) {
  // Found, the page goes to the program for .html files; where Wine has
  // none, the player is told so, with the page to open by hand.
  const std::wstring page = (folder_ / L"help" / L"index.html").wstring();
  for (const std::wstring& text : boxesOfFind())
    EXPECT_EQ(text.rfind(L"No program opened the help page " + page + L" (error ", 0), 0u) << "the pages are there";

  fs::remove(folder_ / L"help" / L"index.html");
  const std::vector<std::wstring> texts = boxesOfFind();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NE(texts[0].find(L"missing"), std::wstring::npos);
  EXPECT_NE(texts[0].find(page), std::wstring::npos) << "the whole path, in its own letters";
}

}  // namespace
