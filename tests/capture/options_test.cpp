// options_test.cpp: the capture's command line, what it accepts and what it
// refuses before anything is rendered.
#include "capture/options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

// getopt_long may permute argv, so every parse gets its own copy.
parsed_command_line parse(std::initializer_list<std::string> arguments) {
  std::vector<std::string> texts{"quorvan-capture"};
  texts.insert(texts.end(), arguments);
  std::vector<char*> argv;
  for (auto& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);
  return parse_command_line(int(texts.size()), argv.data());
}

void expect_refused(std::initializer_list<std::string> arguments, const std::string& naming) {
  const auto parsed = parse(arguments);
  EXPECT_EQ(parsed.outcome, parse_outcome::bad_usage) << naming;
  EXPECT_NE(parsed.error.find(naming), std::string::npos) << parsed.error;
}

TEST(capture_command_line, without_options_captures_the_whole_show_at_60_fps_into_quorvan_mp4) {
  const auto parsed = parse({});
  ASSERT_EQ(parsed.outcome, parse_outcome::run);
  EXPECT_EQ(parsed.options.fps, 60);
  EXPECT_EQ(parsed.options.width, 640);
  EXPECT_EQ(parsed.options.height, 480);
  EXPECT_EQ(parsed.options.first_frame, 1);
  EXPECT_EQ(parsed.options.last_frame, 3194);
  EXPECT_TRUE(parsed.options.stills.empty());
  EXPECT_EQ(parsed.options.output, "quorvan.mp4");
  EXPECT_EQ(parsed.options.format, container::mp4);
}

TEST(capture_command_line, reads_values_given_with_an_equals_sign_or_as_the_next_argument) {
  const auto parsed = parse({"--fps=50", "--size", "1280x960", "--frames", "2800-2830", "out.mkv"});
  ASSERT_EQ(parsed.outcome, parse_outcome::run) << parsed.error;
  EXPECT_EQ(parsed.options.fps, 50);
  EXPECT_EQ(parsed.options.width, 1280);
  EXPECT_EQ(parsed.options.height, 960);
  EXPECT_EQ(parsed.options.first_frame, 2800);
  EXPECT_EQ(parsed.options.last_frame, 2830);
  EXPECT_EQ(parsed.options.output, "out.mkv");
  EXPECT_EQ(parsed.options.format, container::mkv);
}

TEST(capture_command_line, takes_the_video_name_before_the_options_too) {
  const auto parsed = parse({"folder/show.mp4", "--frames=1-1"});
  ASSERT_EQ(parsed.outcome, parse_outcome::run) << parsed.error;
  EXPECT_EQ(parsed.options.output, "folder/show.mp4");
  EXPECT_EQ(parsed.options.last_frame, 1);
}

TEST(capture_command_line, sorts_the_stills_and_drops_repeats) {
  const auto parsed = parse({"--png", "2800,1,481,1"});
  ASSERT_EQ(parsed.outcome, parse_outcome::run) << parsed.error;
  EXPECT_EQ(parsed.options.stills, (std::vector<int>{1, 481, 2800}));
}

TEST(capture_command_line, answers_help_with_the_usage_naming_every_option_and_both_formats) {
  EXPECT_EQ(parse({"--help"}).outcome, parse_outcome::help);
  EXPECT_EQ(parse({"--fps=7", "-h"}).outcome, parse_outcome::help);
  const std::string usage = usage_text();
  for (const char* mentioned : {"--fps", "--size", "--frames", "--png", "--help", ".mp4", ".mkv",
                                "quorvan-frame-NNNN.png", "3194", "53.23", "ffmpeg"})
    EXPECT_NE(usage.find(mentioned), std::string::npos) << mentioned;
}

TEST(capture_command_line, refuses_frame_rates_that_are_not_whole_numbers_from_1_to_240) {
  for (const char* fps : {"0", "241", "-5", "59.94", "60fps", ""}) expect_refused({"--fps", fps}, "--fps");
  for (const char* fps : {"--fps=240", "--fps=1"}) EXPECT_EQ(parse({fps}).outcome, parse_outcome::run) << fps;
}

TEST(capture_command_line, refuses_sizes_that_are_odd_out_of_range_or_malformed) {
  for (const char* size : {"641x480", "640x481", "14x14", "8194x480", "640", "640x", "x480", "640*480", "640x480x2"})
    expect_refused({"--size", size}, "--size");
  EXPECT_EQ(parse({"--size=16x8192"}).outcome, parse_outcome::run);
}

TEST(capture_command_line, refuses_frame_ranges_outside_the_show_or_backwards) {
  for (const char* frames : {"0-10", "10-5", "3190-3195", "5", "1-", "-10", "a-b", "1-2-3"})
    expect_refused({"--frames", frames}, "--frames");
  EXPECT_EQ(parse({"--frames=3194-3194"}).outcome, parse_outcome::run);
}

TEST(capture_command_line, refuses_stills_outside_the_show_or_badly_listed) {
  for (const char* stills : {"0", "3195", "1,,2", "1,", ",1", "1;2", ""}) expect_refused({"--png", stills}, "--png");
}

TEST(capture_command_line, refuses_a_video_name_without_a_known_extension) {
  expect_refused({"quorvan.avi"}, "quorvan.avi");
  expect_refused({"quorvan"}, ".mp4");
  expect_refused({"quorvan.MP4"}, ".mkv");
}

TEST(capture_command_line, refuses_two_video_names_and_stills_mixed_with_a_video) {
  expect_refused({"a.mp4", "b.mp4"}, "b.mp4");
  expect_refused({"--png=5", "a.mp4"}, "--png");
  expect_refused({"--png=5", "--frames=1-10"}, "--png");
}

TEST(capture_command_line, reads_the_data_folder_and_refuses_an_empty_one) {
  EXPECT_EQ(parse({}).options.data_folder, "");
  EXPECT_EQ(parse({"--data=/usr/share/games/quorvan"}).options.data_folder, "/usr/share/games/quorvan");
  EXPECT_EQ(parse({"--data", "my show"}).options.data_folder, "my show");
  expect_refused({"--data="}, "--data");
}

TEST(capture_command_line, refuses_unknown_options_and_options_missing_their_value) {
  expect_refused({"--speed=2"}, "--speed=2");
  expect_refused({"-x"}, "-x");
  expect_refused({"--fps"}, "--fps");
  expect_refused({"--help=yes"}, "--help");
}

}  // namespace
