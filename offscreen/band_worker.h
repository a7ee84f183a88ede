// band_worker.h: a second thread for work that splits into two halves: the
// caller does one while the worker does the other. Scaling a frame for a
// large screen is such work, and takes half the time on two cores.
#pragma once

#include <semaphore>
#include <thread>

class band_worker {
 public:
  band_worker();
  band_worker(const band_worker&) = delete;
  band_worker& operator=(const band_worker&) = delete;
  ~band_worker();

  // Starts work(context) on the worker and returns at once.
  void start(void (*work)(const void* context), const void* context);
  // Waits until the work started last is done.
  void finish();

 private:
  void serve(std::stop_token stop);

  std::binary_semaphore started_{0};
  std::binary_semaphore finished_{0};
  void (*work_)(const void*) = nullptr;
  const void* context_ = nullptr;
  std::jthread thread_;  // last, so that it starts once the rest is there
};
