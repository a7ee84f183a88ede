// band_worker.cpp: the worker waits for work, does it and says so, until stopped.
#include "offscreen/band_worker.h"

band_worker::band_worker() : thread_([this](std::stop_token stop) { serve(stop); }) {}

band_worker::~band_worker() {
  thread_.request_stop();
  started_.release();  // wakes the worker to see that it is stopped
}

void band_worker::start(void (*work)(const void*), const void* context) {
  work_ = work;
  context_ = context;
  started_.release();
}

void band_worker::finish() { finished_.acquire(); }

void band_worker::serve(std::stop_token stop) {
  while (true) {
    started_.acquire();
    if (stop.stop_requested()) return;
    work_(context_);
    finished_.release();
  }
}
