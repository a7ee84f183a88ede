// process_and_files_test.cpp: the pipe to a helper program, the temporary
// files that never outlive a failure, and the progress line.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <vector>

#include "capture/piped_process.h"
#include "capture/progress.h"
#include "capture/temporary_file.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> bytes_of(const std::string& text) { return {text.begin(), text.end()}; }

TEST(piped_process, delivers_every_byte_to_the_program_and_reports_its_success) {
  const scratch_folder here("capture-parts");
  const auto out = here.path / "out";
  piped_process cat({"sh", "-c", "cat > '" + out.string() + "'"});
  ASSERT_TRUE(cat.ok()) << cat.error();
  std::string big(3 << 20, '\0');  // far more than a pipe holds at once
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = char(i * 7);
  EXPECT_TRUE(cat.write(bytes_of(big)));
  EXPECT_TRUE(cat.write(bytes_of("end")));
  EXPECT_TRUE(cat.finish()) << cat.error();
  const std::string written = read_file(out);
  ASSERT_EQ(written.size(), big.size() + 3);
  EXPECT_TRUE(written.starts_with(big));
  EXPECT_EQ(written.substr(big.size()), "end");
}

TEST(piped_process, says_so_when_the_program_cannot_be_found) {
  piped_process missing({"quorvan-no-such-program"});
  EXPECT_FALSE(missing.ok());
  EXPECT_NE(missing.error().find("quorvan-no-such-program"), std::string::npos);
  EXPECT_FALSE(missing.write(bytes_of("x")));
  EXPECT_FALSE(missing.finish());
}

TEST(piped_process, fails_a_write_to_a_program_that_has_gone_instead_of_dying_of_sigpipe) {
  piped_process gone({"true"});
  ASSERT_TRUE(gone.ok());
  const std::vector<std::uint8_t> frame(640 * 480 * 3);
  bool written = true;
  for (int i = 0; i < 64 && written; ++i) written = gone.write(frame);
  EXPECT_FALSE(written);
  EXPECT_NE(gone.error().find("stopped reading"), std::string::npos) << gone.error();
  EXPECT_FALSE(gone.finish());
}

TEST(piped_process, reports_a_failing_exit_status_or_a_killing_signal) {
  for (const auto& [script, said] :
       {std::pair{"exit 3", "exited with status 3"}, {"kill -KILL $$", "killed by signal"}}) {
    piped_process shell({"sh", "-c", script});
    EXPECT_FALSE(shell.finish()) << script;
    EXPECT_NE(shell.error().find(said), std::string::npos) << shell.error();
  }
}

TEST(piped_process, starts_the_program_with_sigpipe_at_its_default) {
  const scratch_folder here("capture-parts");
  const auto status = here.path / "status";
  piped_process shell({"sh", "-c", "grep SigIgn /proc/$$/status > '" + status.string() + "'"});
  ASSERT_TRUE(shell.finish()) << shell.error();
  const std::string line = read_file(status);  // "SigIgn:\t<hex mask>\n"
  ASSERT_EQ(line.rfind("SigIgn:", 0), 0u) << line;
  const unsigned long long ignored = std::stoull(line.substr(line.find('\t') + 1), nullptr, 16);
  EXPECT_EQ(ignored & (1ull << (SIGPIPE - 1)), 0u) << line;
}

TEST(piped_process, stops_an_unfinished_program_when_it_goes_out_of_scope) {
  const auto started = std::chrono::steady_clock::now();
  {
    piped_process sleeper({"sleep", "60"});
    ASSERT_TRUE(sleeper.ok());
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

TEST(temporary_file, is_removed_unless_renamed) {
  const scratch_folder here("capture-parts");
  fs::path made;
  {
    const temporary_file file(here.path, ".video.mp4");
    ASSERT_TRUE(file.ok()) << file.error();
    made = file.path();
    EXPECT_EQ(made.parent_path(), here.path);
    EXPECT_EQ(made.filename().string().rfind(".video.mp4.", 0), 0u) << made;
    EXPECT_TRUE(fs::exists(made));
  }
  EXPECT_FALSE(fs::exists(made));
  EXPECT_TRUE(fs::is_empty(here.path));
}

TEST(temporary_file, renamed_replaces_the_final_file_whole_with_the_usual_permissions) {
  const scratch_folder here("capture-parts");
  const auto final_name = here.path / "video.mp4";
  write_file(final_name, "an older video");
  const mode_t old_mask = umask(022);
  {
    temporary_file file = temporary_file_next_to(final_name);
    ASSERT_TRUE(file.ok()) << file.error();
    write_file(file.path(), "the new video");
    EXPECT_TRUE(file.rename_to(final_name)) << file.error();
  }
  umask(old_mask);
  EXPECT_EQ(read_file(final_name), "the new video");
  EXPECT_EQ(fs::status(final_name).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(here.file_names(), std::vector<std::string>{"video.mp4"});
}

TEST(temporary_file, says_why_when_the_folder_is_missing) {
  const temporary_file file = temporary_file_next_to("/nonexistent/folder/video.mp4");
  EXPECT_FALSE(file.ok());
  EXPECT_NE(file.error().find("/nonexistent/folder"), std::string::npos) << file.error();
}

TEST(progress_line, shows_the_frame_the_pace_and_the_time_left_from_the_pace_so_far) {
  const std::string line = progress_line(1597, 3194, 15.97);
  EXPECT_NE(line.find("frame 1597 of 3194"), std::string::npos) << line;
  EXPECT_NE(line.find("[" + std::string(15, '#') + std::string(15, '.') + "]"), std::string::npos) << line;
  EXPECT_NE(line.find("100.0 fps"), std::string::npos) << line;
  EXPECT_NE(line.find("0:16 left"), std::string::npos) << line;
  EXPECT_NE(progress_line(3194, 3194, 40.0).find("[" + std::string(30, '#') + "]"), std::string::npos);
}

}  // namespace
