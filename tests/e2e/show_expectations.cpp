// show_expectations.cpp: the checks every full run shares.
#include "tests/e2e/show_expectations.h"

#include <gtest/gtest.h>

#include <cstdio>

void expect_ran_to_its_end(const show_result& result) {
  ASSERT_TRUE(result.end.has_value()) << "still running after the time limit";
  EXPECT_TRUE(result.end->exited_with(0)) << describe(*result.end) << '\n' << result.errors;
  EXPECT_EQ(result.frames_presented, frames_in_show);
}

std::filesystem::path saved_frame_file(const std::filesystem::path& folder, int frame) {
  char name[32];
  std::snprintf(name, sizeof name, "frame_%04d.png", frame);
  return folder / name;
}

std::string repeated(const std::string& line, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += line;
  return text;
}

std::vector<probe_event> full_screen_requests_after_start(const std::vector<probe_event>& events) {
  std::vector<probe_event> requests = events_named(events, "place_window");
  std::erase_if(requests, [](const probe_event& event) { return event.frame <= 0; });
  return requests;
}
