// picture_files_test.cpp: the show with pictures missing, short, long, or a
// directory or a FIFO in their place: the loader's lines, white scenes, its end.
#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "assets/show_pictures.h"
#include "tests/e2e/show_expectations.h"
#include "tests/e2e/show_run.h"
#include "tests/e2e/x_server_fixture.h"
#include "tests/support/file_bytes.h"
#include "tests/support/rgb_frame.h"

namespace {

enum class picture_kind { missing, empty, one_byte, one_byte_short, whole, longer, directory, fifo };
// By kind, as the test cases are named.
constexpr const char* kind_names[] = {"missing",      "0_bytes",      "1_byte",      "196607_bytes",
                                      "196608_bytes", "200000_bytes", "a_directory", "a_fifo"};
constexpr std::size_t kind_count = std::size(kind_names);

constexpr std::size_t longer_picture_bytes = 200'000;

std::string name_of(picture_kind kind) { return kind_names[std::size_t(kind)]; }

bool loads(picture_kind kind) { return kind == picture_kind::whole || kind == picture_kind::longer; }

// What the loader prints for it: nothing for a missing file, and anything
// else that is not a regular file of at least 196,608 bytes reads as short.
std::string line_for(picture_kind kind) {
  if (kind == picture_kind::missing) return "";
  return loads(kind) ? loaded_line : short_file_line;
}

void put_picture(const show_data_folder& folder, const std::string& name, picture_kind kind) {
  const std::string original = read_file(built_data_file(name));
  switch (kind) {
    case picture_kind::missing: folder.remove_file(name); break;
    case picture_kind::empty: folder.write_file(name, ""); break;
    case picture_kind::one_byte: folder.write_file(name, original.substr(0, 1)); break;
    case picture_kind::one_byte_short: folder.write_file(name, original.substr(0, picture_bytes - 1)); break;
    case picture_kind::whole: break;  // the build's own file
    case picture_kind::longer:
      // Bytes past the picture that would show if they were read.
      folder.write_file(name, original + std::string(longer_picture_bytes - picture_bytes, '\x5a'));
      break;
    case picture_kind::directory:
      folder.remove_file(name);
      std::filesystem::create_directory(folder.path / name);
      break;
    // With no writer: opening it for reading could wait forever.
    case picture_kind::fifo: put_fifo(folder, name); break;
  }
}

struct picture_layout {
  std::string name;
  std::array<picture_kind, show_pictures.size()> kinds;  // in the order the show loads them
};

void PrintTo(const picture_layout& layout, std::ostream* out) { *out << layout.name; }

// Every kind in the place of every picture over eight runs: in run r picture p
// is of kind (p + r) mod 8. Then all seven missing at once.
std::vector<picture_layout> layouts() {
  std::vector<picture_layout> all;
  for (std::size_t run = 0; run < kind_count; ++run) {
    picture_layout& layout = all.emplace_back();
    for (std::size_t picture = 0; picture < show_pictures.size(); ++picture)
      layout.kinds[picture] = picture_kind((picture + run) % kind_count);
    layout.name = "kinds_in_turn_from_smiley_" + name_of(layout.kinds[0]);
  }
  all.emplace_back(picture_layout{.name = "all_seven_missing", .kinds = {}}).kinds.fill(picture_kind::missing);
  return all;
}

// Frames on which one picture alone is on screen: scenes 1, 2, 3 and 5.
struct single_picture_frame {
  std::size_t picture;  // index in the loading order
  int frame;
};
constexpr single_picture_frame single_picture_frames[] = {{0, 100}, {1, 800}, {2, 1600}, {6, 3000}};

// A picture that did not load leaves its quad plain white, the colour of the
// cleared screen: white from bar to bar.
bool white_between_the_bars(const rgb_frame& frame) {
  for (int row = open_from_edge; row < picture_height - open_from_edge; ++row)
    if (!frame.row_is_all(row, white_level)) return false;
  return true;
}

class broken_pictures : public on_x_server, public testing::WithParamInterface<picture_layout> {};

TEST_P(broken_pictures, each_prints_its_line_shows_white_if_not_loaded_and_the_show_runs_to_its_end) {
  const picture_layout& layout = GetParam();
  show_data_folder folder("pictures");
  std::string expected_output;
  for (std::size_t picture = 0; picture < show_pictures.size(); ++picture) {
    put_picture(folder, show_pictures[picture].file_name, layout.kinds[picture]);
    expected_output += line_for(layout.kinds[picture]);
  }
  std::vector<int> saved;
  for (const single_picture_frame& shown : single_picture_frames) saved.push_back(shown.frame);
  running_show show = start_show(folder, {.saved_frames = saved});
  const show_result result = finish_show(show, run_limit);

  expect_ran_to_its_end(result);
  EXPECT_EQ(result.output, expected_output);
  for (const single_picture_frame& shown : single_picture_frames) {
    const picture_kind kind = layout.kinds[shown.picture];
    const std::optional<rgb_frame> frame = read_png(saved_frame_file(folder.path, shown.frame));
    ASSERT_TRUE(frame.has_value()) << "frame " << shown.frame;
    EXPECT_EQ(white_between_the_bars(*frame), !loads(kind))
        << show_pictures[shown.picture].file_name << " " << name_of(kind) << " on frame " << shown.frame;
  }
}

INSTANTIATE_TEST_SUITE_P(picture_files, broken_pictures, testing::ValuesIn(layouts()),
                         testing::PrintToStringParamName());

}  // namespace
