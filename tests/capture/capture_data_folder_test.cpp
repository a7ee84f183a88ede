// capture_data_folder_test.cpp: with --data the capture reads the show's files
// from that folder and still writes its stills and video where it was started.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/capture/capture_bench.h"

namespace {

const std::filesystem::path data_folder = QUORVAN_DATA_DIR;
const std::string data_option = "--data=" + data_folder.string();

TEST(capture_data_folder, draws_the_same_stills_from_the_data_folder_into_the_working_directory) {
  const capture_folder beside_the_data;
  ASSERT_EQ(run_capture(beside_the_data.path, {"--png=40,2512"}).exit_status, 0);
  const scratch_folder elsewhere;
  const auto result = run_capture(elsewhere.path, {data_option, "--png=40,2512"});
  ASSERT_EQ(result.exit_status, 0) << result.errors;

  const std::vector<std::string> stills{"quorvan-frame-0040.png", "quorvan-frame-2512.png"};
  EXPECT_EQ(elsewhere.file_names(), stills);
  // Pictures that failed to load would leave white quads, unlike the stills beside the data.
  for (const auto& name : stills)
    EXPECT_EQ(read_png_rgb(elsewhere.path / name, 640, 480),
              read_png_rgb(beside_the_data.path / name, 640, 480))
        << name;
}

TEST(capture_data_folder, writes_the_video_where_it_was_started_and_nothing_into_the_data) {
  const scratch_folder elsewhere;
  const auto result = run_capture(elsewhere.path, {"--frames=1-5", data_option, "clip.mkv"});
  ASSERT_EQ(result.exit_status, 0) << result.errors;
  EXPECT_EQ(elsewhere.file_names(), std::vector<std::string>{"clip.mkv"});
  EXPECT_EQ(probe_stream(elsewhere.path / "clip.mkv", "v:0")["nb_read_frames"], "5");
  EXPECT_FALSE(std::filesystem::exists(data_folder / "clip.mkv"));
}

TEST(capture_data_folder, that_cannot_be_entered_fails_with_status_1_naming_it) {
  const scratch_folder elsewhere;
  const auto result = run_capture(elsewhere.path, {"--data=/no/such/folder", "--png=1"});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_NE(result.errors.find("/no/such/folder"), std::string::npos) << result.errors;
  EXPECT_TRUE(elsewhere.file_names().empty());
}

}  // namespace
