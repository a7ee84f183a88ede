// raw_image_test.cpp: reading a raw picture file: what is accepted, what is
// printed on standard output and standard error, and what the caller gets on
// each path.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "assets/raw_texture.h"
#include "assets/show_pictures.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_folder.h"

namespace {

// When set, the next nothrow array allocation of a picture's size fails, as
// it would on a machine out of memory.
bool fail_picture_allocation = false;

// The folder of this test's files; every test runs in a process of its own.
const std::filesystem::path& scratch() {
  static const scratch_folder folder("raw-image");
  return folder.path;
}

std::filesystem::path file_of_size(const std::string& name, std::size_t size) {
  const std::filesystem::path path = scratch() / name;
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 768);
  write_file(path, bytes);
  return path;
}

struct load_result {
  pixel_buffer pixels;
  int width;
  int height;
  std::string printed;
  std::string said;  // on standard error
};

load_result load(const std::filesystem::path& path) {
  int width = -1;
  int height = -1;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  pixel_buffer pixels = load_raw_image(path.c_str(), width, height);
  std::string printed = testing::internal::GetCapturedStdout();
  return {std::move(pixels), width, height, std::move(printed), testing::internal::GetCapturedStderr()};
}

// The line on standard error that names the picture and what was wrong.
std::string picture_problem(const std::filesystem::path& path, const std::string& what) {
  return std::string(program_invocation_short_name) + ": picture " + path.string() + ": " + what + "\n";
}

// A load that gave no pixels and a size of 0 by 0, printed this and said what was wrong.
void expect_refused(const std::filesystem::path& path, const std::string& printed, const std::string& what) {
  const load_result result = load(path);
  EXPECT_EQ(result.pixels, nullptr) << path;
  EXPECT_EQ(result.printed, printed) << path;
  EXPECT_EQ(result.said, picture_problem(path, what));
  EXPECT_EQ(result.width, 0) << path;
  EXPECT_EQ(result.height, 0) << path;
}

}  // namespace

// Every array allocation comes from malloc, so the delete[] below may free any
// of them (the sanitizers' own new[] would not pair with it).
void* operator new[](std::size_t size) {
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (size == picture_bytes && std::exchange(fail_picture_allocation, false)) return nullptr;
  return std::malloc(size == 0 ? 1 : size);
}
void operator delete[](void* pointer) noexcept { std::free(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { std::free(pointer); }

TEST(raw_image, files_of_196608_bytes_or_more_load_as_256_by_256_from_their_first_196608_bytes) {
  for (const std::size_t size : {std::size_t{picture_bytes}, std::size_t{200000}}) {
    const auto path = file_of_size("picture-" + std::to_string(size) + ".raw", size);
    const load_result result = load(path);
    EXPECT_EQ(result.printed, " ca passe \n") << size;
    ASSERT_NE(result.pixels, nullptr) << size;
    EXPECT_EQ(result.width, 256);
    EXPECT_EQ(result.height, 256);
    EXPECT_EQ(0, std::memcmp(result.pixels.get(), read_file(path).data(), picture_bytes)) << size;
  }
}

TEST(raw_image, file_one_byte_short_is_reported_and_gives_nothing) {
  expect_refused(file_of_size("short.raw", picture_bytes - 1), "Error while reading file\n",
                 "shorter than 196608 bytes (196607)");
}

TEST(raw_image, empty_file_is_reported_as_short) {
  expect_refused(file_of_size("empty.raw", 0), "Error while reading file\n", "shorter than 196608 bytes (0)");
}

TEST(raw_image, missing_file_prints_nothing_says_why_on_stderr_and_gives_zero_size) {
  expect_refused(scratch() / "no-such-picture.raw", "", "No such file or directory");
}

TEST(raw_image, out_of_memory_is_reported_and_gives_zero_size) {
  const auto path = file_of_size("no-memory.raw", picture_bytes);
  fail_picture_allocation = true;
  expect_refused(path, "Error out of Memory\n", "out of memory");
  // The file was closed: it can be loaded again at once.
  EXPECT_EQ(load(path).printed, " ca passe \n");
}

// Only regular files are read; anything else opens without blocking and is
// reported like a file too short. A load that blocks is ended by the alarm,
// which fails the test.
TEST(raw_image, directory_fifo_and_device_are_reported_as_short_without_blocking) {
  const std::filesystem::path folder = scratch() / "folder";
  std::filesystem::create_directories(folder);
  const std::filesystem::path fifo = scratch() / "picture.fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

  alarm(10);
  for (const std::filesystem::path& path : {folder, fifo, std::filesystem::path("/dev/zero")})
    expect_refused(path, "Error while reading file\n", "not a regular file");

  // With a writer holding the FIFO open and bytes waiting in it, it is still
  // not read: the bytes stay in the FIFO.
  const int writer = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  const std::vector<char> written(4096, 'w');
  ASSERT_EQ(write(writer, written.data(), written.size()), ssize_t(written.size()));
  EXPECT_EQ(load(fifo).printed, "Error while reading file\n");
  std::vector<char> left(2 * written.size());
  EXPECT_EQ(read(writer, left.data(), left.size()), ssize_t(written.size()));
  close(writer);
  alarm(0);
}

TEST(raw_image, symbolic_link_to_a_picture_loads) {
  const std::filesystem::path link = scratch() / "link-to-picture.raw";
  std::filesystem::create_symlink(file_of_size("linked.raw", picture_bytes), link);
  const load_result result = load(link);
  EXPECT_NE(result.pixels, nullptr);
  EXPECT_EQ(result.printed, " ca passe \n");
}

TEST(raw_texture, missing_file_name_fails_without_touching_the_file_system) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(load_texture(nullptr, 1), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}
