// The README's layout is the rule the code keeps: in each folder's list a
// room uses only the rooms above it, and every room is listed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace {

std::string Read(const std::filesystem::path& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// The rooms the README lists under `folder`, in their order: each
// backquoted name of a file in the folder (its extension optional).
std::map<std::string, size_t> ListedRooms(const std::string& readme, const std::string& folder) {
  const size_t start = readme.find("- `" + folder + "/`");
  const size_t end = readme.find("\n- `", start + 1);
  std::map<std::string, size_t> ranks;
  const std::string section = readme.substr(start, end - start);
  const std::regex name("`([a-z_0-9]+)(\\.h|\\.css)?`");
  size_t rank = 0;
  for (auto match = std::sregex_iterator(section.begin(), section.end(), name); match != std::sregex_iterator();
       ++match) {
    const std::string room = (*match)[1];
    const std::filesystem::path base = std::filesystem::path(FORM13F_SOURCE_DIR) / folder / room;
    const bool exists = std::filesystem::exists(base.string() + ".h") || std::filesystem::exists(base.string() + ".cpp");
    if (exists && !ranks.count(room)) ranks[room] = rank++;
  }
  return ranks;
}

TEST(ReadmeLayout, EachRoomUsesOnlyTheRoomsAboveIt) {
  const std::string readme = Read(std::filesystem::path(FORM13F_SOURCE_DIR) / "README.md");
  for (const std::string folder : {"storage", "infotable", "workbook"}) {
    const std::map<std::string, size_t> ranks = ListedRooms(readme, folder);
    const std::regex include("#include \"" + folder + "/([a-z_0-9]+)\\.h\"");
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(FORM13F_SOURCE_DIR) / folder)) {
      const std::string extension = entry.path().extension();
      if (extension != ".h" && extension != ".cpp") continue;
      const std::string room = entry.path().stem();
      ASSERT_TRUE(ranks.count(room)) << folder << "/" << room << " is not in the README's layout";
      const std::string text = Read(entry.path());
      for (auto match = std::sregex_iterator(text.begin(), text.end(), include); match != std::sregex_iterator();
           ++match) {
        const std::string used = (*match)[1];
        if (used == room) continue;
        ASSERT_TRUE(ranks.count(used)) << used;
        EXPECT_LT(ranks.at(used), ranks.at(room)) << folder << "/" << room << " uses " << used << ", listed below it";
      }
    }
  }
}

}  // namespace
