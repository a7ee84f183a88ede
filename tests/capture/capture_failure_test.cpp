// capture_failure_test.cpp: a capture that cannot finish says why, exits non-zero
// and leaves no file behind: not under the video's name, not under a temporary
// one, not in the temporary folder. A bad command line exits with status 2.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <thread>

#include "tests/capture/capture_bench.h"
#include "tests/support/file_bytes.h"
#include "tests/support/show_data.h"

namespace {

// A program named ffmpeg that does what the script says, first on a fresh PATH.
struct fake_ffmpeg {
  scratch_folder bin{"fake-ffmpeg"};
  explicit fake_ffmpeg(const std::string& script) {
    const auto program = bin.path / "ffmpeg";
    write_file(program, "#!/bin/sh\n" + script + "\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  }
  // The shell itself is still found, by its full path in the script's first line.
  std::string path() const { return "PATH=" + bin.path.string(); }
};

// The capture ended with that status and said each of these on standard error.
void expect_failure_saying(const program_run& result, std::initializer_list<const char*> parts, int status = 1) {
  EXPECT_TRUE(result.exited_with(status));
  for (const char* part : parts) EXPECT_NE(result.errors.find(part), std::string::npos) << result.errors;
}

const std::size_t data_files = show_data_file_names().size();

// Only what the test put there: the data files, and as many more (the video's older version).
void expect_nothing_new(const show_data_folder& folder, std::size_t more = 0) {
  EXPECT_EQ(folder.file_names().size(), data_files + more);
  for (const auto& name : folder.file_names()) EXPECT_NE(name.front(), '.') << name;
}

TEST(capture_failure, without_ffmpeg_says_which_program_and_package_are_missing_and_leaves_nothing) {
  const show_data_folder folder;
  const scratch_folder empty_path, temporary;
  const auto result = run_capture(folder.path, {"--frames=1-10", "show.mp4"},
                                  {"PATH=" + empty_path.path.string(), "TMPDIR=" + temporary.path.string()});
  expect_failure_saying(result, {"cannot start ffmpeg", "Debian package ffmpeg"});
  expect_nothing_new(folder);
  EXPECT_TRUE(temporary.file_names().empty());
}

TEST(capture_failure, when_ffmpeg_fails_at_once_reports_its_status_and_keeps_the_older_video) {
  const show_data_folder folder;
  write_file(folder.path / "show.mp4", "the older video");
  const fake_ffmpeg ffmpeg("echo 'ffmpeg: out of luck' >&2; exit 1");
  const auto result = run_capture(folder.path, {"--frames=1-120", "show.mp4"}, {ffmpeg.path()});
  expect_failure_saying(result, {"ffmpeg: out of luck", "ffmpeg exited with status 1"});
  expect_nothing_new(folder, 1);
  EXPECT_EQ(read_file(folder.path / "show.mp4"), "the older video");
}

TEST(capture_failure, when_ffmpeg_fails_after_writing_part_of_a_file_removes_that_part) {
  const show_data_folder folder;
  const scratch_folder temporary;
  // Writes into the file it was given (its last argument), reads every frame, then fails.
  const fake_ffmpeg ffmpeg(R"(for last; do :; done; echo half a video > "$last"; cat > /dev/null; exit 7)");
  const auto result =
      run_capture(folder.path, {"--frames=1-60", "show.mkv"}, {ffmpeg.path(), "TMPDIR=" + temporary.path.string()});
  expect_failure_saying(result, {"ffmpeg exited with status 7"});
  expect_nothing_new(folder);
  EXPECT_TRUE(temporary.file_names().empty());
}

TEST(capture_failure, into_a_missing_folder_names_the_folder) {
  const show_data_folder folder;
  expect_failure_saying(run_capture(folder.path, {"--frames=1-2", "missing/show.mp4"}), {"missing"});
  expect_nothing_new(folder);
}

TEST(capture_failure, interrupted_ends_by_the_signal_after_removing_its_files) {
  const show_data_folder folder;
  const scratch_folder temporary, errors;
  process_setup setup = capture_setup(folder.path, {"show.mp4"}, {"TMPDIR=" + temporary.path.string()});
  setup.error_file = errors.path / "errors.txt";
  child_process capture = start_process(setup);
  // Wait until the video is being written under its temporary name.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (folder.file_names().size() == data_files && std::chrono::steady_clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_EQ(folder.file_names().size(), data_files + 1) << "no temporary video appeared";
  std::this_thread::sleep_for(std::chrono::milliseconds(300));

  kill(capture.pid, SIGINT);
  const auto end = wait_for_end(capture, capture_limit);
  ASSERT_TRUE(end) << "still running after the interrupt";
  EXPECT_EQ(end->signal, SIGINT) << describe(*end) << ": " << read_file(setup.error_file);
  expect_nothing_new(folder);
  EXPECT_TRUE(temporary.file_names().empty());
}

TEST(capture_failure, refuses_a_bad_command_line_with_status_2_and_a_pointer_to_help) {
  const show_data_folder folder;
  const std::vector<std::vector<std::string>> bad_command_lines{
      {"--fps=0"}, {"--size=641x480"}, {"--frames=10-5"},      {"--png=3195"},
      {"--loud"},  {"show.avi"},       {"--png=5", "show.mp4"}};
  for (const auto& arguments : bad_command_lines) {
    SCOPED_TRACE(arguments.front());
    const auto result = run_capture(folder.path, arguments);
    expect_failure_saying(result, {"quorvan-capture: ", "Try 'quorvan-capture --help'"}, 2);
  }
  EXPECT_TRUE(run_capture(folder.path, {"--help"}).exited_with(0));
  expect_nothing_new(folder);
}

}  // namespace
