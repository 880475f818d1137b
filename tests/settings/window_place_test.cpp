// A window's place on the screen, kept in a section of its own.
#include "settings/window_place.h"

#include <gtest/gtest.h>

#include <string>

#include "gbk.h"
#include "settings_support.h"

namespace lct {
namespace {

using test::G;
using test::readFile;
using test::TempFolder;
using test::writeFile;

class WindowPlaces : public ::testing::Test {
  protected:
    TempFolder folder;
    std::string path = folder / "s.ini";
    std::string section = G("主界面窗口");
};

TEST_F(WindowPlaces, ComeBackAsTheyWereSaved) {
    const WindowPlace saved{{-20, 35, 1024, 700}, true};
    {
        SettingsStore store;
        ASSERT_TRUE(store.open(path));
        store.beginSave();
        saveWindowPlace(store, section, saved);
        ASSERT_TRUE(store.finishSave().ok());
    }
    SettingsStore store;
    ASSERT_TRUE(store.load(path));
    EXPECT_EQ(loadWindowPlace(store, section), saved);
    EXPECT_NE(readFile(path).find(G("宽=1024")), std::string::npos);
}

struct StoredRow {
    const char* what;
    const char* text;
    bool found;
};

class StoredPlaces : public WindowPlaces, public ::testing::WithParamInterface<StoredRow> {};

TEST_P(StoredPlaces, AreTakenOnlyWhenWhole) {
    const StoredRow& row = GetParam();
    writeFile(path, G(row.text));
    SettingsStore store;
    ASSERT_TRUE(store.load(path));
    EXPECT_EQ(loadWindowPlace(store, section).has_value(), row.found) << row.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StoredPlaces,
    ::testing::Values(
        StoredRow{"whole", "[主界面窗口]\r\n左=1\r\n上=2\r\n宽=300\r\n高=200\r\n", true},
        StoredRow{"no file content", "", false},
        StoredRow{"a key missing", "[主界面窗口]\r\n左=1\r\n上=2\r\n宽=300\r\n", false},
        StoredRow{"an empty value", "[主界面窗口]\r\n左=\r\n上=2\r\n宽=300\r\n高=200\r\n", false},
        StoredRow{"no width", "[主界面窗口]\r\n左=1\r\n上=2\r\n宽=0\r\n高=200\r\n", false},
        StoredRow{"absurd", "[主界面窗口]\r\n左=99999999999\r\n上=2\r\n宽=300\r\n高=200\r\n",
                  false},
        StoredRow{"in another section", "[主界面]\r\n左=1\r\n上=2\r\n宽=300\r\n高=200\r\n",
                  false}));

}  // namespace
}  // namespace lct
