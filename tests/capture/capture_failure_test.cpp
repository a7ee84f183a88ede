// capture_failure_test.cpp: a capture that cannot finish says why, exits non-zero
// and leaves no file behind: not under the video's name, not under a temporary
// one, not in the temporary folder. A bad command line exits with status 2.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "tests/capture/capture_bench.h"

namespace {

namespace fs = std::filesystem;

// A program named ffmpeg that does what the script says, first on a fresh PATH.
struct fake_ffmpeg {
  scratch_folder bin;
  explicit fake_ffmpeg(const std::string& script) {
    const auto program = bin.path / "ffmpeg";
    std::ofstream(program) << "#!/bin/sh\n" << script << "\n";
    fs::permissions(program, fs::perms::owner_all);
  }
  // The shell itself is still found, by its full path in the script's first line.
  environment_changes path() const { return {{"PATH", bin.path.string()}}; }
};

std::string read_text(const fs::path& file) {
  std::ifstream stream(file);
  return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

bool holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Only what the test put there: the eight data files, and the video's older version.
void expect_nothing_new(const capture_folder& folder, std::size_t files_before) {
  EXPECT_EQ(folder.file_names().size(), files_before);
  for (const auto& name : folder.file_names()) EXPECT_NE(name.front(), '.') << name;
}

TEST(capture_failure,
     without_ffmpeg_says_which_program_and_package_are_missing_and_leaves_nothing) {
  const capture_folder folder;
  const scratch_folder empty_path, temporary;
  const auto result =
      run_capture(folder.path, {"--frames=1-10", "show.mp4"},
                  {{"PATH", empty_path.path.string()}, {"TMPDIR", temporary.path.string()}});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_TRUE(holds(result.errors, "cannot start ffmpeg")) << result.errors;
  EXPECT_TRUE(holds(result.errors, "Debian package ffmpeg")) << result.errors;
  expect_nothing_new(folder, 8);
  EXPECT_TRUE(temporary.file_names().empty());
}

TEST(capture_failure, when_ffmpeg_fails_at_once_reports_its_status_and_keeps_the_older_video) {
  const capture_folder folder;
  std::ofstream(folder.path / "show.mp4") << "the older video";
  const fake_ffmpeg ffmpeg("echo 'ffmpeg: out of luck' >&2; exit 1");
  const auto result = run_capture(folder.path, {"--frames=1-120", "show.mp4"}, ffmpeg.path());
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_TRUE(holds(result.errors, "ffmpeg: out of luck")) << result.errors;
  EXPECT_TRUE(holds(result.errors, "ffmpeg exited with status 1")) << result.errors;
  expect_nothing_new(folder, 9);
  EXPECT_EQ(read_text(folder.path / "show.mp4"), "the older video");
}

TEST(capture_failure, when_ffmpeg_fails_after_writing_part_of_a_file_removes_that_part) {
  const capture_folder folder;
  const scratch_folder temporary;
  // Writes into the file it was given (its last argument), reads every frame, then fails.
  const fake_ffmpeg ffmpeg(
      R"(for last; do :; done; echo half a video > "$last"; cat > /dev/null; exit 7)");
  auto changes = ffmpeg.path();
  changes["TMPDIR"] = temporary.path.string();
  const auto result = run_capture(folder.path, {"--frames=1-60", "show.mkv"}, changes);
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_TRUE(holds(result.errors, "ffmpeg exited with status 7")) << result.errors;
  expect_nothing_new(folder, 8);
  EXPECT_TRUE(temporary.file_names().empty());
}

TEST(capture_failure, into_a_missing_folder_names_the_folder) {
  const capture_folder folder;
  const auto result = run_capture(folder.path, {"--frames=1-2", "missing/show.mp4"});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_TRUE(holds(result.errors, "missing")) << result.errors;
  expect_nothing_new(folder, 8);
}

TEST(capture_failure, interrupted_ends_by_the_signal_after_removing_its_files) {
  const capture_folder folder;
  const scratch_folder temporary, errors;
  const auto errors_file = errors.path / "errors.txt";
  child_process capture =
      start_capture(folder.path, {"show.mp4"}, {{"TMPDIR", temporary.path.string()}}, errors_file);
  // Wait until the video is being written under its temporary name.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (folder.file_names().size() == 8 && std::chrono::steady_clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_EQ(folder.file_names().size(), 9u) << "no temporary video appeared";
  std::this_thread::sleep_for(std::chrono::milliseconds(300));

  kill(capture.pid, SIGINT);
  const auto result = wait_for_capture(capture, errors_file);
  EXPECT_EQ(result.signal, SIGINT) << "exit status " << result.exit_status << ": " << result.errors;
  expect_nothing_new(folder, 8);
  EXPECT_TRUE(temporary.file_names().empty());
}

TEST(capture_failure, refuses_a_bad_command_line_with_status_2_and_a_pointer_to_help) {
  const capture_folder folder;
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"--fps=0"},
                                                    {"--size=641x480"},
                                                    {"--frames=10-5"},
                                                    {"--png=3195"},
                                                    {"--loud"},
                                                    {"show.avi"},
                                                    {"--png=5", "show.mp4"}}) {
    const auto result = run_capture(folder.path, arguments);
    EXPECT_EQ(result.exit_status, 2) << arguments.front();
    EXPECT_TRUE(holds(result.errors, "quorvan-capture: ")) << result.errors;
    EXPECT_TRUE(holds(result.errors, "Try 'quorvan-capture --help'")) << result.errors;
  }
  EXPECT_EQ(run_capture(folder.path, {"--help"}).exit_status, 0);
  expect_nothing_new(folder, 8);
}

}  // namespace
