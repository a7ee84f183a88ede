// benchmark.mjs: the page's figures, for docs/benchmarks.md: what it costs to
// fetch (as served and compressed), how soon the first frame follows the
// click, and the frame pacing of a whole run in headless Chromium on
// SwiftShader, with its tab hidden for 5 s: the show's length by its own
// clock and where the music is against the picture. Also saves the README's
// screenshot. Not a test.
// Usage: node web/tests/benchmark.mjs [SCREENSHOT.png]
import {readdirSync, readFileSync} from 'node:fs';
import {join} from 'node:path';
import {setTimeout as sleep} from 'node:timers/promises';
import {brotliCompressSync, gzipSync} from 'node:zlib';

import {launch_browser} from './support/browser.mjs';
import {describe_pacing, frame_pacing, read_frame_probe} from './support/frame_probe.mjs';
import {site_folder, test_pages_folder} from './support/paths.mjs';
import {frames_drawn, hide_for, music_against_picture, open_show_page, wait_for_state} from './support/show_page.mjs';
import {serve_site} from './support/site_server.mjs';

const first_frame_runs = 5;
const screenshot_frame = 600;
const hidden_from_frame = 700;
const hidden_ms = 5000;
const kb = (bytes) => (bytes / 1024).toFixed(1);

// The served site's files (what the page fetches), then the single file
// that stands for them all when opened from disk.
const single_file = 'quorvan.html';

function transfer_sizes() {
  console.log('| File | Bytes | gzip -9 | brotli |\n|---|---|---|---|');
  const sizes_of = (file) => {
    const bytes = readFileSync(join(site_folder, file));
    return [bytes.length, gzipSync(bytes, {level: 9}).length, brotliCompressSync(bytes).length];
  };
  const row = (name, sizes) => console.log(`| ${name} | ${sizes.map((size) => `${kb(size)} KB`).join(' | ')} |`);
  const files = readdirSync(site_folder).sort().filter((name) => name !== single_file);
  const served = files.map(sizes_of);
  files.forEach((file, index) => row(file, served[index]));
  row('the served site', [0, 1, 2].map((kind) => served.reduce((total, sizes) => total + sizes[kind], 0)));
  row(`${single_file} (the same in one file)`, sizes_of(single_file));
}

// A new tab at `url`, once it invites, clicked to start the show.
async function start_show(browser, url) {
  const {page} = await open_show_page(browser, url, {width: 960, height: 540});
  await wait_for_state(page, 'inviting', 30);
  await page.mouse.click(480, 270);
  return page;
}

async function first_frame_delays(browser, url) {
  const delays = [];
  for (let run = 0; run < first_frame_runs; ++run) {
    const page = await start_show(browser, url);
    await sleep(1500);
    const {first_frame_drawn, click_time} = await read_frame_probe(page);
    delays.push(first_frame_drawn - click_time);
    await page.close();
  }
  console.log(`first frame after the click, ${first_frame_runs} loads: ` +
              delays.map((delay) => `${delay.toFixed(1)} ms`).join(', '));
}

async function whole_run(browser, url, screenshot) {
  const page = await start_show(browser, url);
  if (screenshot) {
    while (await frames_drawn(page) < screenshot_frame) await sleep(5);
    await page.screenshot({path: screenshot});
  }
  while (await frames_drawn(page) < hidden_from_frame) await sleep(5);
  const before = await music_against_picture(page);
  const visibility = await hide_for(browser, page, hidden_ms);
  await sleep(1000);
  const after = await music_against_picture(page);
  console.log(`music against picture: ${before.toFixed(1)} ms before the tab was ${visibility} for ` +
              `${hidden_ms / 1000} s, ${after.toFixed(1)} ms a second after it was shown again`);
  await wait_for_state(page, 'ended', 90);
  const ended_at = await page.evaluate(() => window.quorvan.ended_at);
  console.log(`the show's last step at ${ended_at.toFixed(3)} s by its own clock`);
  console.log(describe_pacing(frame_pacing((await read_frame_probe(page)).frame_times)));
  await page.close();
}

transfer_sizes();
const server = await serve_site(site_folder, test_pages_folder);
const browser = await launch_browser();
try {
  await first_frame_delays(browser, server.url);
  await whole_run(browser, server.url, process.argv[2]);
} finally {
  await browser.close();
  await server.close();
}
