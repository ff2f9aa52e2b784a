// The resources as vantrel.exe carries them, loaded the way the window loads
// them, against the game's tables: menu, accelerators, strings, About box,
// cursor, icon, version and manifest.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/game_window.h"
#include "shell/tables.h"

namespace {

class ResourcesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    exe = LoadLibraryExA(VANTREL_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  }
  static void TearDownTestSuite() { FreeLibrary(exe); }
  void SetUp() override { ASSERT_NE(exe, nullptr) << "cannot load " << VANTREL_EXE; }

  static inline HMODULE exe = nullptr;
};

std::string menuText(HMENU menu, UINT position) {
  char text[64] = "";
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

TEST_F(ResourcesTest, MenuHasThePopupsItemsAndCommandsOfTheTable) {
  HMENU menu = LoadMenuA(exe, MAKEINTRESOURCEA(1));
  ASSERT_NE(menu, nullptr);
  int popup = -1;
  UINT item = 0;
  for (const MenuEntry& entry : menuTable()) {
    if (entry.popup) {
      ++popup;
      item = 0;
      EXPECT_EQ(menuText(menu, popup), entry.popup);
    }
    HMENU sub = GetSubMenu(menu, popup);
    ASSERT_NE(sub, nullptr) << entry.popup;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE;
    ASSERT_TRUE(GetMenuItemInfoA(sub, item, TRUE, &info));
    if (!entry.text) {
      EXPECT_TRUE(info.fType & MFT_SEPARATOR) << "item " << item << " of pop-up " << popup;
    } else {
      EXPECT_EQ(menuText(sub, item), entry.text);
      EXPECT_EQ(info.wID, entry.command) << entry.text;
      EXPECT_FALSE(info.fState & MFS_CHECKED) << entry.text;
    }
    ++item;
    if (&entry == &menuTable().back() || (&entry)[1].popup) {
      EXPECT_EQ(GetMenuItemCount(sub), static_cast<int>(item)) << "pop-up " << popup;
    }
  }
  EXPECT_EQ(GetMenuItemCount(menu), popup + 1);
  DestroyMenu(menu);
}

TEST_F(ResourcesTest, AcceleratorsAreTheTables) {
  HACCEL table = LoadAcceleratorsA(exe, "MAINACC");
  ASSERT_NE(table, nullptr);
  std::vector<ACCEL> entries(CopyAcceleratorTableA(table, nullptr, 0));
  CopyAcceleratorTableA(table, entries.data(), static_cast<int>(entries.size()));
  ASSERT_EQ(entries.size(), acceleratorTable().size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const Accelerator& expected = acceleratorTable()[i];
    EXPECT_EQ(entries[i].key, expected.key) << i;
    EXPECT_EQ(entries[i].cmd, expected.command) << i;
    EXPECT_EQ((entries[i].fVirt & FVIRTKEY) != 0, expected.virtualKey) << i;
  }
  DestroyAcceleratorTable(table);
}

TEST_F(ResourcesTest, StringsAreTheTables) {
  for (int id : {StringTitle, StringHelpFile}) {
    char text[64] = "";
    LoadStringA(exe, id, text, sizeof text);
    EXPECT_STREQ(text, loadString(id)) << id;
  }
}

TEST_F(ResourcesTest, AboutBoxHasTheTextsAndEndsOnAnyCommand) {
  HWND box = CreateDialogParamA(exe, MAKEINTRESOURCEA(3), nullptr, aboutDialogProc, 0);
  ASSERT_NE(box, nullptr);
  char text[80] = "";
  GetWindowTextA(box, text, sizeof text);
  EXPECT_STREQ(text, aboutTexts().caption);
  std::vector<std::string> texts;
  HWND button = nullptr;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    GetWindowTextA(c, text, sizeof text);
    if (GetDlgCtrlID(c) == IDOK) {
      button = c;
    } else {
      texts.push_back(text);
    }
  }
  ASSERT_EQ(texts.size(), 5u);
  for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(texts[i], aboutTexts().lines[i]);
  ASSERT_NE(button, nullptr);
  GetWindowTextA(button, text, sizeof text);
  EXPECT_STREQ(text, aboutTexts().button);
  EXPECT_TRUE(GetWindowLongA(button, GWL_STYLE) & BS_DEFPUSHBUTTON);
  EXPECT_TRUE(aboutDialogProc(box, WM_INITDIALOG, 0, 0));
  EXPECT_FALSE(aboutDialogProc(box, WM_MOUSEMOVE, 0, 0));
  DestroyWindow(box);
}

TEST_F(ResourcesTest, BatZoneCursorIsTransparentAllOver) {
  HCURSOR cursor = LoadCursorA(exe, MAKEINTRESOURCEA(1));
  ASSERT_NE(cursor, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_EQ(info.xHotspot, 0u);
  EXPECT_EQ(info.yHotspot, 0u);
  EXPECT_EQ(info.hbmColor, nullptr);  // monochrome: the mask holds both halves
  BITMAP mask{};
  GetObjectA(info.hbmMask, sizeof mask, &mask);
  ASSERT_EQ(mask.bmWidth, 32);
  ASSERT_EQ(mask.bmHeight, 64);
  std::vector<unsigned char> bits(mask.bmWidthBytes * mask.bmHeight);
  GetBitmapBits(info.hbmMask, static_cast<LONG>(bits.size()), bits.data());
  const size_t half = bits.size() / 2;
  for (size_t i = 0; i < bits.size(); ++i) {
    ASSERT_EQ(bits[i], i < half ? 0xFF : 0x00) << "byte " << i;  // AND all set, XOR all clear
  }
  DeleteObject(info.hbmMask);
}

TEST_F(ResourcesTest, IconHasThreeImagesOf32By32) {
  HRSRC group = FindResourceA(exe, MAKEINTRESOURCEA(3), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  const auto* directory = static_cast<const WORD*>(LockResource(LoadResource(exe, group)));
  EXPECT_EQ(directory[2], 3);  // idCount
  HICON icon = static_cast<HICON>(LoadImageA(exe, MAKEINTRESOURCEA(3), IMAGE_ICON, 32, 32, 0));
  EXPECT_NE(icon, nullptr);
  DestroyIcon(icon);
}

TEST_F(ResourcesTest, VersionAndManifest) {
  DWORD ignored = 0;
  std::vector<char> data(GetFileVersionInfoSizeA(VANTREL_EXE, &ignored));
  ASSERT_FALSE(data.empty());
  ASSERT_TRUE(GetFileVersionInfoA(VANTREL_EXE, 0, static_cast<DWORD>(data.size()), data.data()));
  VS_FIXEDFILEINFO* info = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &size));
  EXPECT_EQ(info->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(info->dwFileVersionLS, 0u);
  EXPECT_EQ(info->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(info->dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_NE(FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)), nullptr);  // RT_MANIFEST
}

}  // namespace
