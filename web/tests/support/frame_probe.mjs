// frame_probe.mjs: notes, from outside the page, when each of the show's
// frames is drawn and when the first click came. Installed before the page's
// scripts run, it wraps the page's own frame callbacks.
function frame_probe() {
  window.frame_probe = {frame_times: [], click_time: null, first_frame_drawn: null};
  const request_frame = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => request_frame((time) => {
    const before = window.quorvan ? window.quorvan.frames : 0;
    callback(time);
    if (!window.quorvan || window.quorvan.frames === before) return;
    // The display frame's own time, which paces the show; and when the first was done.
    window.frame_probe.frame_times.push(time);
    window.frame_probe.first_frame_drawn ??= performance.now();
  });
  window.addEventListener('mousedown', (event) => {
    window.frame_probe.click_time ??= event.timeStamp;
  }, true);
}

export const install_frame_probe = (page) => page.evaluateOnNewDocument(frame_probe);

// {frame_times, click_time, first_frame_drawn}, in ms on the page's performance clock.
export const read_frame_probe = (page) => page.evaluate(() => window.frame_probe);

// The intervals between frames: count, frames a second, median, 99th
// percentile, worst and closest, in ms.
export function frame_pacing(frame_times) {
  const intervals = frame_times.slice(1).map((time, index) => time - frame_times[index]);
  const sorted = [...intervals].sort((a, b) => a - b);
  const seconds = (frame_times.at(-1) - frame_times[0]) / 1000;
  return {
    frames: frame_times.length,
    seconds,
    rate: intervals.length / seconds,
    median: sorted[sorted.length >> 1],
    percentile_99: sorted[Math.floor(sorted.length * 0.99)],
    worst: sorted.at(-1),
    closest: sorted[0],
  };
}

export function describe_pacing(pacing) {
  return `${pacing.frames} frames in ${pacing.seconds.toFixed(2)} s: ${pacing.rate.toFixed(2)} frames a second; ` +
         `median ${pacing.median.toFixed(2)} ms, 99th percentile ${pacing.percentile_99.toFixed(2)} ms, ` +
         `worst ${pacing.worst.toFixed(2)} ms, closest ${pacing.closest.toFixed(2)} ms`;
}
