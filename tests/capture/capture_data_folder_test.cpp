// capture_data_folder_test.cpp: with --data the capture reads the show's files
// from that folder and still writes its stills and video where it was started.
#include <gtest/gtest.h>

#include "capture/options.h"
#include "tests/capture/capture_bench.h"
#include "tests/support/show_data.h"

namespace {

const std::string data_option = "--data=" + built_data_folder().string();

TEST(capture_data_folder, draws_the_same_stills_from_the_data_folder_into_the_working_directory) {
  const show_data_folder beside_the_data;
  ASSERT_TRUE(run_capture(beside_the_data.path, {"--png=40,2512"}).exited_with(0));
  const scratch_folder elsewhere;
  const auto result = run_capture(elsewhere.path, {data_option, "--png=40,2512"});
  ASSERT_TRUE(result.exited_with(0)) << result.errors;

  const std::vector<std::string> stills{still_file_name(40), still_file_name(2512)};
  EXPECT_EQ(elsewhere.file_names(), stills);
  // Pictures that failed to load would leave white quads, unlike the stills beside the data.
  for (const auto& name : stills) {
    const auto still = read_png(elsewhere.path / name);
    ASSERT_TRUE(still) << name;
    EXPECT_EQ(still, read_png(beside_the_data.path / name)) << name;
  }
}

TEST(capture_data_folder, writes_the_video_where_it_was_started_and_nothing_into_the_data) {
  const scratch_folder elsewhere;
  const auto result = run_capture(elsewhere.path, {"--frames=1-5", data_option, "clip.mkv"});
  ASSERT_TRUE(result.exited_with(0)) << result.errors;
  EXPECT_EQ(elsewhere.file_names(), std::vector<std::string>{"clip.mkv"});
  EXPECT_EQ(probe_stream(elsewhere.path / "clip.mkv", "v:0")["nb_read_frames"], "5");
  EXPECT_FALSE(std::filesystem::exists(built_data_file("clip.mkv")));
}

TEST(capture_data_folder, that_cannot_be_entered_fails_with_status_1_naming_it) {
  const scratch_folder elsewhere;
  const auto result = run_capture(elsewhere.path, {"--data=/no/such/folder", "--png=1"});
  EXPECT_TRUE(result.exited_with(1));
  EXPECT_NE(result.errors.find("/no/such/folder"), std::string::npos) << result.errors;
  EXPECT_TRUE(elsewhere.file_names().empty());
}

}  // namespace
