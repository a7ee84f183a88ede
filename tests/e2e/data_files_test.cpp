// data_files_test.cpp: the show with damaged data: a picture missing, one byte
// short or longer than needed, and the music missing or not a module at all.
// Each time the show must say what the picture loader says and run to its end.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/music_capture.h"
#include "tests/e2e/saved_frame.h"
#include "tests/e2e/show_expectations.h"
#include "tests/e2e/show_run.h"
#include "tests/e2e/x_server_fixture.h"

namespace {

constexpr std::size_t picture_bytes = 196'608;
constexpr std::size_t long_picture_bytes = 200'000;

// Frames on which only one scene is on screen: scene 1 (smiley), scene 2 (who)
// and scene 3 (greets).
constexpr int smiley_frame = 100;
constexpr int who_frame = 800;
constexpr int greets_frame = 1600;

// Rows surely clear of the letterbox bars (about 73 rows each).
constexpr int first_open_row = 80;
constexpr int last_open_row = screen_height - 81;

std::string lines(std::initializer_list<const char*> each) {
  std::string text;
  for (const char* line : each) text += line;
  return text;
}

// A picture that did not load leaves its scene's quad plain white, the
// colour of the cleared screen: white from bar to bar.
void expect_white_between_the_bars(const std::filesystem::path& file) {
  const std::optional<saved_frame> frame = read_saved_frame(file);
  ASSERT_TRUE(frame.has_value()) << file;
  for (int row = first_open_row; row <= last_open_row; ++row)
    ASSERT_TRUE(row_is_all(*frame, row, white)) << "row " << row << " of " << file;
}

// The device ran the whole time, and played nothing.
void expect_silence(const show_result& result) {
  const std::optional<capture_format> format = capture_format_of(result.events);
  ASSERT_TRUE(format.has_value()) << "no sound device was opened";
  const std::vector<float> music = read_capture(result.capture, *format);
  EXPECT_FALSE(music.empty());
  EXPECT_EQ(loudest(music), 0.0f);
}

using damaged_data = on_x_server;

TEST_F(damaged_data, a_missing_picture_prints_nothing_for_it_and_its_scene_shows_white) {
  show_folder folder("missing-picture");
  folder.remove_file("who_256.raw");
  running_show show = start_show(folder, {.display = display, .hold_frames = {}, .saved_frames = {who_frame}});
  const show_result result = finish_show(show, run_limit);

  expect_ran_to_its_end(result);
  EXPECT_EQ(result.output, repeated(loaded_line, 6));
  expect_white_between_the_bars(saved_frame_file(folder.path, who_frame));
}

TEST_F(damaged_data, a_picture_one_byte_short_prints_error_while_reading_file_in_its_place) {
  show_folder folder("short-picture");
  folder.write_file("greets_256.raw", data_file_bytes("greets_256.raw").substr(0, picture_bytes - 1));
  running_show show = start_show(folder, {.display = display, .hold_frames = {}, .saved_frames = {greets_frame}});
  const show_result result = finish_show(show, run_limit);

  expect_ran_to_its_end(result);
  EXPECT_EQ(result.output, lines({loaded_line, loaded_line, short_file_line, loaded_line, loaded_line,
                                  loaded_line, loaded_line}));
  expect_white_between_the_bars(saved_frame_file(folder.path, greets_frame));
}

TEST_F(damaged_data, a_picture_of_200000_bytes_loads_from_its_first_196608_bytes) {
  show_folder original("original-picture");
  running_show original_show =
      start_show(original, {.display = display, .hold_frames = {}, .saved_frames = {smiley_frame}});
  expect_ran_to_its_end(finish_show(original_show, run_limit));

  show_folder folder("long-picture");
  std::string long_picture = data_file_bytes("smiley_256.raw");
  ASSERT_EQ(long_picture.size(), picture_bytes);
  long_picture.resize(long_picture_bytes, '\x5a');  // bytes that must not show anywhere
  folder.write_file("smiley_256.raw", long_picture);
  running_show show = start_show(folder, {.display = display, .hold_frames = {}, .saved_frames = {smiley_frame}});
  const show_result result = finish_show(show, run_limit);

  expect_ran_to_its_end(result);
  EXPECT_EQ(result.output, repeated(loaded_line, 7));
  const std::optional<saved_frame> expected = read_saved_frame(saved_frame_file(original.path, smiley_frame));
  const std::optional<saved_frame> seen = read_saved_frame(saved_frame_file(folder.path, smiley_frame));
  ASSERT_TRUE(expected && seen);
  EXPECT_TRUE(seen->rgb == expected->rgb) << "the smiley differs from the one drawn from the original file";
}

TEST_F(damaged_data, a_missing_music_file_leaves_the_show_silent_to_its_end) {
  show_folder folder("missing-music");
  folder.remove_file("quorvan.xm");
  running_show show = start_show(folder, {.display = display, .hold_frames = {}, .saved_frames = {}});
  const show_result result = finish_show(show, run_limit);

  expect_ran_to_its_end(result);
  EXPECT_EQ(result.output, repeated(loaded_line, 7));
  expect_silence(result);
}

TEST_F(damaged_data, a_music_file_that_is_no_module_leaves_the_show_silent_to_its_end) {
  show_folder folder("garbage-music");
  folder.write_file("quorvan.xm", repeated("This is no music module. ", 400));
  running_show show = start_show(folder, {.display = display, .hold_frames = {}, .saved_frames = {}});
  const show_result result = finish_show(show, run_limit);

  expect_ran_to_its_end(result);
  EXPECT_EQ(result.output, repeated(loaded_line, 7));
  expect_silence(result);
}

}  // namespace
