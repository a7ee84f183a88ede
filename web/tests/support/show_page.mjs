// show_page.mjs: asks the page how the show stands: its state and frame
// count (window.quorvan), and what its music worklet says.
import {setTimeout as sleep} from 'node:timers/promises';

import {install_frame_probe} from './frame_probe.mjs';

export const page_state = (page) => page.evaluate(() => window.quorvan.state);
export const frames_drawn = (page) => page.evaluate(() => window.quorvan.frames);

// A new tab at `viewport` with the frame probe, gone to `url`; and its console's lines, as they come.
export async function open_show_page(browser, url, viewport = {width: 800, height: 600}) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  const lines = [];
  page.on('console', (message) => lines.push(message.text()));
  await install_frame_probe(page);
  await page.goto(url);
  return {page, lines};
}

// Waits until the page's state is `state`; throws after `seconds`.
export async function wait_for_state(page, state, seconds) {
  for (const started = Date.now(); Date.now() - started < seconds * 1000; await sleep(100)) {
    if (await page_state(page) === state) return;
  }
  throw new Error(`the page did not reach '${state}' within ${seconds} s (it is '${await page_state(page)}')`);
}

// What the worklet says of the music: {position in seconds, peak of its last
// block}, and the steps drawn when its answer came (frames).
export function music_status(page) {
  return page.evaluate(() => new Promise((resolve, reject) => {
    setTimeout(() => reject(new Error('the music worklet does not answer')), 5000);
    const port = window.quorvan.music.node.port;
    const page_listener = port.onmessage;
    port.onmessage = (event) => {
      if (event.data.type !== 'status') return page_listener(event);
      port.onmessage = page_listener;
      resolve({...event.data, frames: window.quorvan.frames});
    };
    port.postMessage({type: 'status'});
  }));
}

// The music's position less the time of the newest step drawn, in ms:
// positive when the music is ahead (the worklet's position is what it has
// mixed, not yet what is heard). A reading falls anywhere within a frame, so
// this is the median of five.
export async function music_against_picture(page) {
  const readings = [];
  for (let reading = 0; reading < 5; reading++) {
    const {position, frames} = await music_status(page);
    readings.push((position - (frames - 1) / 60) * 1000);
    await sleep(37);
  }
  return readings.sort((a, b) => a - b)[2];
}

// Another tab in front for a while, as a user switching tabs does; the page's
// visibility while it was behind.
export async function hide_for(browser, page, ms) {
  const other = await browser.newPage();
  await other.bringToFront();
  const hidden = await page.evaluate(() => document.visibilityState);
  await sleep(ms);
  await page.bringToFront();
  await other.close();
  return hidden;
}
